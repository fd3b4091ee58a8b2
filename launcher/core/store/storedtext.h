#pragma once
// Text values keep the bytes they were stored with. A settings file written on
// another system may hold Latin-1 text, which is not UTF-8; the windows show such
// a value readably and give back the very same bytes unless the user edits it.
#include <string>
#include <string_view>

namespace fdk {

bool IsValidUtf8(std::string_view bytes);

// What a field shows for a stored value, as UTF-8: valid UTF-8 as it is,
// anything else read as Latin-1 (every byte one character).
std::string TextForDisplay(std::string_view stored);

// What the store holds after a field showing `stored` now shows `shown` (UTF-8):
// the stored bytes when the text is what they display as (nothing was edited);
// otherwise the edited text, in Latin-1 when the value was Latin-1 before and
// every character still fits, else in UTF-8.
std::string StoredAfterEdit(std::string_view shown, const std::string& stored);

}  // namespace fdk
