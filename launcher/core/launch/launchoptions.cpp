#include "core/launch/launchoptions.h"

#include "core/launch/launch.h"
#include "core/platform/util.h"

namespace fdk::options {

void ClickDedicated(GameSettings& g, Game game) {
  if (game == Game::Quake1 && g.Listen) g.Dedicated = false;
  else FlipFlag(g.Dedicated);
}

void ClickListen(GameSettings& g) {
  if (g.Dedicated) g.Listen = false;
  else FlipFlag(g.Listen);
}

void ClickNoDemos(GameSettings& g) {
  if (g.Connect || g.map) g.NoDemos = false;
  else FlipFlag(g.NoDemos);
}

void ClickConnect(GameSettings& g) {
  FlipFlag(g.Connect);
  if (g.Connect) g.NoDemos = g.map = false;
}

void ClickMap(GameSettings& g) {
  FlipFlag(g.map);
  if (g.Connect) g.map = false;
  if (g.map) g.NoDemos = false;
}

void ClickHostName(GameSettings& g, Game game, bool nameEmpty) {
  FlipFlag(g.HostName);
  if (game == Game::Quake1 && nameEmpty) g.HostName = false;
}

void ClickUseCfg(GameSettings& g, Game game) {
  if (game == Game::Quake1 && g.ACFG.empty()) g.UseCFG = false;
  else FlipFlag(g.UseCFG);
}

void ConnectTextChanged(GameSettings& g, const std::string& text) {
  g.Connectb = text;
  if (text.empty()) g.Connect = false;
}

void HostNameTextChanged(GameSettings& g, const std::string& text) {
  g.HostNameb = text;
  if (text.empty()) g.HostName = false;
}

void MapTextChanged(GameSettings& g, const std::string& text) {
  g.mapb = text;
  if (text.empty()) g.map = false;
  else if (g.map) g.NoDemos = false;
}

void CdDirTextChanged(GameSettings& g, const std::string& text) {
  g.cddirb = text;
  if (text.empty()) g.cddir = false;
}

void TurnOffOptionsWithoutText(GameSettings& g) {
  if (g.HostNameb.empty()) g.HostName = false;
  if (g.Connectb.empty()) g.Connect = false;
  if (g.mapb.empty()) g.map = false;
}

void ChooseConfigSet(GameSettings& g, const std::string& item) {
  g.ACFG = item == kNoneItem ? std::string() : item;
  g.UseCFG = !g.ACFG.empty();
}

void ChooseTeamMode(GameSettings& g, bool byModel) {
  g.teamsbymodel = byModel;
  g.teamsbyskin = !byModel;
  g.TeamPlay = true;
}

const char* TeamModeText(const GameSettings& g) { return g.teamsbymodel ? "by Model" : "by Skin"; }

FieldResult CountField(std::string_view text, int stored) {
  if (text.empty()) return {"0", 0};
  int value = TextToIntOrZero(text);
  if (IsWholeNumber(text) && value >= 0 && value <= kMaxCount) return {std::string(text), value};
  return {IntToText(stored), stored};
}

FieldResult NumberField(std::string_view text) {
  if (!IsWholeNumber(text)) return {"", 0};
  return {std::string(text), TextToIntOrZero(text)};
}

}  // namespace fdk::options
