#include "core/store/storedtext.h"

#include <cstdint>
#include <optional>

namespace fdk {

namespace {

// Length of the UTF-8 sequence that starts at bytes[i], or 0 when it is not a
// valid, shortest-form sequence of a scalar value.
std::size_t sequenceLength(std::string_view bytes, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) return 1;
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || i + length > bytes.size()) return 0;
  std::uint32_t code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (at(i + k) & 0x3F);
  }
  const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::string latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

// The Latin-1 bytes of valid UTF-8 text, when every character is below U+0100.
std::optional<std::string> utf8ToLatin1(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(text[i++]);
    } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < text.size()) {
      out.push_back(static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
      i += 2;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = sequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string TextForDisplay(std::string_view stored) {
  return IsValidUtf8(stored) ? std::string(stored) : latin1ToUtf8(stored);
}

std::string StoredAfterEdit(std::string_view shown, const std::string& stored) {
  if (shown == TextForDisplay(stored)) return stored;
  if (!IsValidUtf8(stored) && IsValidUtf8(shown))
    if (auto latin1 = utf8ToLatin1(shown)) return *latin1;
  return std::string(shown);
}

}  // namespace fdk
