#pragma once
// The rules of the launch-option switches and value fields, on the store's values.
// The pages call these and then show the resulting pictures and texts.
#include <string>
#include <string_view>

#include "core/store/settings.h"

namespace fdk::options {

// Dedicated and Listen exclude each other (Quake); Quake 2 has no listen switch.
void ClickDedicated(GameSettings& g, Game game);
void ClickListen(GameSettings& g);
// NoDemos only turns on while neither Connect nor map is on.
void ClickNoDemos(GameSettings& g);
// Connect on turns NoDemos and map off.
void ClickConnect(GameSettings& g);
// map stays off while Connect is on; map on turns NoDemos off.
void ClickMap(GameSettings& g);
// Quake's HostName stays off while the name field is empty; Quake 2's just toggles.
void ClickHostName(GameSettings& g, Game game, bool nameEmpty);
// Quake's config-set switch only turns on with a chosen set; Quake 2's just toggles.
void ClickUseCfg(GameSettings& g, Game game);

// Text fields.
void ConnectTextChanged(GameSettings& g, const std::string& text);
void HostNameTextChanged(GameSettings& g, const std::string& text);
void MapTextChanged(GameSettings& g, const std::string& text);
void CdDirTextChanged(GameSettings& g, const std::string& text);

// After loading: an option whose text is empty cannot be on (HostName, Connect, map),
// whatever the file says. The CD folder is not checked here: an empty one loaded
// with cddir on stays on.
void TurnOffOptionsWithoutText(GameSettings& g);

// A choice in a config-set combo: "(none)" means no set.
void ChooseConfigSet(GameSettings& g, const std::string& item);

// Team mode of Quake 2 team play: either choice also turns TeamPlay on.
void ChooseTeamMode(GameSettings& g, bool byModel);
const char* TeamModeText(const GameSettings& g);

struct FieldResult {
  std::string text;  // what the field shows afterwards
  int value;         // what the store holds afterwards
};
// Count fields: empty becomes "0", 0..255 is stored, anything else restores the stored value.
FieldResult CountField(std::string_view text, int stored);
// Number fields: a text that is not a whole number empties the field; the value is its number (0 when empty).
FieldResult NumberField(std::string_view text);

inline constexpr int kMaxCount = 255;
inline int Raise(int value) { return value < kMaxCount ? value + 1 : value; }
inline int Lower(int value) { return value > 0 ? value - 1 : value; }

}  // namespace fdk::options
