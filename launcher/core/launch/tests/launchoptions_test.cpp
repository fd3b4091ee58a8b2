// The rules of the launch-option switches and value fields, on the store's values
// alone. Each row names the state before a step and the whole state after it, so a
// rule that changes a switch it should leave alone fails as well as one that misses.
#include "core/launch/launchoptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

using namespace fdk;

namespace {

// The switches and texts the rules read or write, by their settings names.
struct BoolKey {
  const char* name;
  bool GameSettings::*member;
};
constexpr BoolKey kSwitches[] = {
    {"Dedicated", &GameSettings::Dedicated},
    {"Listen", &GameSettings::Listen},
    {"NoDemos", &GameSettings::NoDemos},
    {"Connect", &GameSettings::Connect},
    {"map", &GameSettings::map},
    {"HostName", &GameSettings::HostName},
    {"UseCFG", &GameSettings::UseCFG},
    {"TeamPlay", &GameSettings::TeamPlay},
    {"teamsbymodel", &GameSettings::teamsbymodel},
    {"teamsbyskin", &GameSettings::teamsbyskin},
    {"cddir", &GameSettings::cddir},
};
struct TextKey {
  const char* name;
  std::string GameSettings::*member;
};
constexpr TextKey kTexts[] = {{"ACFG", &GameSettings::ACFG},
                              {"Connectb", &GameSettings::Connectb},
                              {"HostNameb", &GameSettings::HostNameb},
                              {"mapb", &GameSettings::mapb},
                              {"cddirb", &GameSettings::cddirb}};

// Sets the switch a word names, or the text of a "name=value" word; false for a word no row may use.
bool Set(GameSettings& g, std::string_view word) {
  const std::size_t eq = word.find('=');
  for (const BoolKey& k : kSwitches)
    if (eq == std::string_view::npos && word == k.name) {
      g.*k.member = true;
      return true;
    }
  for (const TextKey& k : kTexts)
    if (eq != std::string_view::npos && word.substr(0, eq) == k.name) {
      g.*k.member = std::string(word.substr(eq + 1));
      return true;
    }
  return false;
}

// "Connect mapb=e1m1": the named switches on and the named texts set, all else off and empty.
GameSettings With(std::string_view state) {
  GameSettings g;
  while (!state.empty()) {
    const std::size_t end = std::min(state.find(' '), state.size());
    EXPECT_TRUE(Set(g, state.substr(0, end))) << "unknown word in a test row: " << state.substr(0, end);
    state.remove_prefix(std::min(end + 1, state.size()));
  }
  return g;
}

// The same notation back, in table order, so that rows compare as text.
std::string Describe(const GameSettings& g) {
  std::string out;
  auto add = [&out](const std::string& word) { out += (out.empty() ? "" : " ") + word; };
  for (const BoolKey& k : kSwitches)
    if (g.*k.member) add(k.name);
  for (const TextKey& k : kTexts)
    if (!(g.*k.member).empty()) add(std::string(k.name) + "=" + g.*k.member);
  return out;
}

// A click or choice on the page, with the game of the page where the rule differs.
struct Step {
  const char* name;
  void (*apply)(GameSettings&);
};
constexpr Step kQ1Dedicated{"Quake Dedicated", [](GameSettings& g) { options::ClickDedicated(g, Game::Quake1); }};
constexpr Step kQ2Dedicated{"Quake 2 Dedicated", [](GameSettings& g) { options::ClickDedicated(g, Game::Quake2); }};
constexpr Step kListen{"Listen", options::ClickListen};
constexpr Step kNoDemos{"NoDemos", options::ClickNoDemos};
constexpr Step kConnect{"Connect", options::ClickConnect};
constexpr Step kMap{"map", options::ClickMap};
// The page passes whether the hostname field is empty; the field shows HostNameb.
constexpr Step kQ1HostName{"Quake HostName",
                           [](GameSettings& g) { options::ClickHostName(g, Game::Quake1, g.HostNameb.empty()); }};
constexpr Step kQ2HostName{"Quake 2 HostName",
                           [](GameSettings& g) { options::ClickHostName(g, Game::Quake2, g.HostNameb.empty()); }};
constexpr Step kQ1UseCfg{"Quake UseCFG", [](GameSettings& g) { options::ClickUseCfg(g, Game::Quake1); }};
constexpr Step kQ2UseCfg{"Quake 2 UseCFG", [](GameSettings& g) { options::ClickUseCfg(g, Game::Quake2); }};
constexpr Step kByModel{"team mode by Model", [](GameSettings& g) { options::ChooseTeamMode(g, true); }};
constexpr Step kBySkin{"team mode by Skin", [](GameSettings& g) { options::ChooseTeamMode(g, false); }};
constexpr Step kChooseLan{"choose set lan", [](GameSettings& g) { options::ChooseConfigSet(g, "lan"); }};
constexpr Step kChooseNone{"choose (none)", [](GameSettings& g) { options::ChooseConfigSet(g, "(none)"); }};
constexpr Step kLoaded{"after loading", options::TurnOffOptionsWithoutText};

struct Row {
  const char* before;
  Step step;
  const char* after;
};

void ExpectRows(std::initializer_list<Row> rows) {
  for (const Row& r : rows) {
    GameSettings g = With(r.before);
    r.step.apply(g);
    EXPECT_EQ(Describe(g), r.after) << r.step.name << " from \"" << r.before << "\"";
  }
}

}  // namespace

TEST(SwitchRules, DedicatedAndListenExcludeEachOtherInQuakeOnly) {
  ExpectRows({
      {"", kQ1Dedicated, "Dedicated"},
      {"Dedicated", kQ1Dedicated, ""},
      {"Listen", kQ1Dedicated, "Listen"},
      {"Dedicated Listen", kQ1Dedicated, "Listen"},  // a file with both on: the click leaves Listen alone
      {"", kListen, "Listen"},
      {"Listen", kListen, ""},
      {"Dedicated", kListen, "Dedicated"},
      {"Dedicated Listen", kListen, "Dedicated"},
      // Quake 2 has no listen switch: its Listen key is kept but never blocks Dedicated.
      {"", kQ2Dedicated, "Dedicated"},
      {"Dedicated", kQ2Dedicated, ""},
      {"Listen", kQ2Dedicated, "Dedicated Listen"},
      {"Dedicated Listen", kQ2Dedicated, "Listen"},
  });
}

// NoDemos, Connect and map take no game: both pages share these rows.
TEST(SwitchRules, NoDemosConnectAndMap) {
  ExpectRows({
      {"", kNoDemos, "NoDemos"},
      {"NoDemos", kNoDemos, ""},
      {"Connect", kNoDemos, "Connect"},
      {"map", kNoDemos, "map"},
      {"NoDemos Connect", kNoDemos, "Connect"},
      {"NoDemos map", kNoDemos, "map"},

      {"", kConnect, "Connect"},
      {"NoDemos map", kConnect, "Connect"},
      {"Dedicated HostName UseCFG", kConnect, "Dedicated Connect HostName UseCFG"},
      {"Connect", kConnect, ""},
      {"NoDemos Connect", kConnect, "NoDemos"},  // turning Connect off leaves NoDemos as it was

      {"", kMap, "map"},
      {"NoDemos", kMap, "map"},
      {"map", kMap, ""},
      {"NoDemos map", kMap, "NoDemos"},  // turning map off leaves NoDemos as it was
      {"Connect", kMap, "Connect"},
      {"NoDemos Connect", kMap, "NoDemos Connect"},
      {"Connect map", kMap, "Connect"},
  });
}

TEST(SwitchRules, HostNameNeedsANameInQuakeOnly) {
  ExpectRows({
      {"HostNameb=lan", kQ1HostName, "HostName HostNameb=lan"},
      {"HostName HostNameb=lan", kQ1HostName, "HostNameb=lan"},
      {"", kQ1HostName, ""},
      {"HostName", kQ1HostName, ""},
      {"HostNameb=lan", kQ2HostName, "HostName HostNameb=lan"},
      {"HostName HostNameb=lan", kQ2HostName, "HostNameb=lan"},
      {"", kQ2HostName, "HostName"},
      {"HostName", kQ2HostName, ""},
  });
}

TEST(SwitchRules, UseCfgNeedsAChosenSetInQuakeOnly) {
  ExpectRows({
      {"ACFG=lan", kQ1UseCfg, "UseCFG ACFG=lan"},
      {"UseCFG ACFG=lan", kQ1UseCfg, "ACFG=lan"},
      {"", kQ1UseCfg, ""},
      {"UseCFG", kQ1UseCfg, ""},
      {"ACFG=lan", kQ2UseCfg, "UseCFG ACFG=lan"},
      {"UseCFG ACFG=lan", kQ2UseCfg, "ACFG=lan"},
      {"", kQ2UseCfg, "UseCFG"},
      {"UseCFG", kQ2UseCfg, ""},
  });
}

TEST(SwitchRules, ChoosingAConfigSetSetsUseCfg) {
  ExpectRows({
      {"", kChooseLan, "UseCFG ACFG=lan"},
      {"UseCFG ACFG=duel", kChooseLan, "UseCFG ACFG=lan"},
      {"UseCFG ACFG=lan", kChooseNone, ""},
      {"", kChooseNone, ""},
  });
}

TEST(SwitchRules, TeamModeChoiceTurnsTeamPlayOn) {
  ExpectRows({
      {"", kByModel, "TeamPlay teamsbymodel"},
      {"teamsbyskin", kByModel, "TeamPlay teamsbymodel"},
      {"TeamPlay teamsbymodel", kByModel, "TeamPlay teamsbymodel"},
      {"", kBySkin, "TeamPlay teamsbyskin"},
      {"TeamPlay teamsbymodel", kBySkin, "TeamPlay teamsbyskin"},
      {"teamsbymodel teamsbyskin", kBySkin, "TeamPlay teamsbyskin"},
  });
}

TEST(SwitchRules, TeamModeTextFollowsTeamsByModel) {
  const struct {
    const char* state;
    const char* text;
  } rows[] = {{"teamsbymodel", "by Model"},
              {"teamsbyskin", "by Skin"},
              {"", "by Skin"},
              {"teamsbymodel teamsbyskin", "by Model"}};
  for (const auto& r : rows) EXPECT_STREQ(options::TeamModeText(With(r.state)), r.text) << r.state;
}

TEST(SwitchRules, LoadedOptionsWithoutTextAreOff) {
  ExpectRows({
      {"HostName Connect map", kLoaded, ""},
      {"HostName HostNameb=lan", kLoaded, "HostName HostNameb=lan"},
      {"Connect Connectb=192.0.2.7", kLoaded, "Connect Connectb=192.0.2.7"},
      {"map mapb=e1m1", kLoaded, "map mapb=e1m1"},
      {"HostName Connect map HostNameb=lan", kLoaded, "HostName HostNameb=lan"},
      {"HostName Connect map Connectb=192.0.2.7", kLoaded, "Connect Connectb=192.0.2.7"},
      {"HostName Connect map mapb=e1m1", kLoaded, "map mapb=e1m1"},
      // Only those three: an empty CD folder loaded with cddir on stays on, and
      // switches without a text are untouched.
      {"cddir", kLoaded, "cddir"},
      {"Dedicated NoDemos UseCFG", kLoaded, "Dedicated NoDemos UseCFG"},
  });
}

// Text fields store their text on every change; an empty text turns its switch off.
// Both pages call the same rules.
TEST(TextRules, EmptyTextTurnsItsSwitchOff) {
  using Change = void (*)(GameSettings&, const std::string&);
  const struct {
    const char* name;
    Change change;
    const char* before;
    const char* text;
    const char* after;
  } rows[] = {
      {"connect", options::ConnectTextChanged, "Connect Connectb=x", "", ""},
      {"connect", options::ConnectTextChanged, "Connect", "192.0.2.7", "Connect Connectb=192.0.2.7"},
      {"connect", options::ConnectTextChanged, "", "192.0.2.7", "Connectb=192.0.2.7"},
      {"connect", options::ConnectTextChanged, "Connect NoDemos map mapb=e1m1", "", "NoDemos map mapb=e1m1"},
      {"hostname", options::HostNameTextChanged, "HostName HostNameb=x", "", ""},
      {"hostname", options::HostNameTextChanged, "HostName", "lan party", "HostName HostNameb=lan party"},
      {"hostname", options::HostNameTextChanged, "", "lan", "HostNameb=lan"},
      {"map", options::MapTextChanged, "map mapb=x", "", ""},
      {"map", options::MapTextChanged, "NoDemos map", "", "NoDemos"},
      {"map", options::MapTextChanged, "NoDemos map", "e1m1", "map mapb=e1m1"},
      {"map", options::MapTextChanged, "NoDemos", "e1m1", "NoDemos mapb=e1m1"},
      {"map", options::MapTextChanged, "NoDemos Connect", "e1m1", "NoDemos Connect mapb=e1m1"},
      {"cd folder", options::CdDirTextChanged, "cddir cddirb=/cd", "", ""},
      {"cd folder", options::CdDirTextChanged, "cddir", "/mnt/cdrom", "cddir cddirb=/mnt/cdrom"},
      {"cd folder", options::CdDirTextChanged, "", "/mnt/cdrom", "cddirb=/mnt/cdrom"},
  };
  for (const auto& r : rows) {
    GameSettings g = With(r.before);
    r.change(g, r.text);
    EXPECT_EQ(Describe(g), r.after) << r.name << " \"" << r.text << "\" from \"" << r.before << "\"";
  }
}

// Every numeric field of Quake 2, and Quake's two server counts.
TEST(FieldRules, CountFieldsTakeZeroTo255AndOtherwiseKeepTheStoredValue) {
  const struct {
    const char* text;
    int stored;
    const char* shown;
    int value;
  } rows[] = {
      {"", 5, "0", 0},    {"0", 5, "0", 0},           {"12", 5, "12", 12},  {"255", 5, "255", 255},
      {"256", 5, "5", 5}, {"-1", 5, "5", 5},          {"abc", 7, "7", 7},   {"1x", 7, "7", 7},
      {" 3", 7, "7", 7},  {"99999999999", 7, "7", 7}, {"007", 5, "007", 7}, {"+8", 5, "+8", 8},
  };
  for (const auto& r : rows) {
    const options::FieldResult out = options::CountField(r.text, r.stored);
    EXPECT_EQ(out.text, r.shown) << "\"" << r.text << "\" over " << r.stored;
    EXPECT_EQ(out.value, r.value) << "\"" << r.text << "\" over " << r.stored;
  }
}

// Quake's other numeric fields: no range, and what is not a number is cleared.
TEST(FieldRules, NumberFieldsEmptyWhatIsNotAWholeNumber) {
  const struct {
    const char* text;
    const char* shown;
    int value;
  } rows[] = {
      {"", "", 0},      {"0", "0", 0},       {"12", "12", 12},       {"12a", "", 0}, {"abc", "", 0},
      {"-3", "-3", -3}, {"300", "300", 300}, {"99999999999", "", 0}, {" 4", "", 0},
  };
  for (const auto& r : rows) {
    const options::FieldResult out = options::NumberField(r.text);
    EXPECT_EQ(out.text, r.shown) << "\"" << r.text << "\"";
    EXPECT_EQ(out.value, r.value) << "\"" << r.text << "\"";
  }
}

// Raise adds 1 only below 255, lower subtracts 1 only above 0; a typed value outside
// that range (number fields allow it) is only ever moved back towards it.
TEST(FieldRules, RaiseAndLowerStopAtTheLimits) {
  const struct {
    int value;
    int raised;
    int lowered;
  } rows[] = {{0, 1, 0}, {1, 2, 0}, {100, 101, 99}, {254, 255, 253}, {255, 255, 254}, {300, 300, 299}, {-3, -2, -3}};
  for (const auto& r : rows) {
    EXPECT_EQ(options::Raise(r.value), r.raised) << r.value;
    EXPECT_EQ(options::Lower(r.value), r.lowered) << r.value;
  }
}
