#include "pages/q1stuffpage.h"

#include "core/launch/launch.h"
#include "core/launch/launchoptions.h"
#include "app/storedfield.h"
#include "dialogs/cfgeditor.h"
#include "pages/mapcombo.h"

namespace fdk {

namespace {
constexpr int kTop = 52;
constexpr int kStep = 26;
constexpr int kLeft = 16;
constexpr int kRight = 330;
int row(int i) { return kTop + i * kStep; }
}  // namespace

Q1StuffPage::Q1StuffPage(LauncherContext& ctx, QWidget* box)
    : OptionPage(ctx, ctx.vars.q1, box) {
  buildLeftColumn();
  buildRightColumn();
  rows_.addLabel("lq1cmdline", QStringLiteral("Command Line"), kLeft, row(10) + 14, 110);
  eq1cmdline = rows_.addField("eq1cmdline", kLeft + 112, row(10) + 14, 500);
  wirePlainSwitches();
  wireRuleSwitches();
  wireFields();
}

void Q1StuffPage::buildLeftColumn() {
  auto sw = [&](const char* name, const char* label, bool* value, int i) {
    return rows_.addSwitch(name, QString::fromLatin1(label), value, kLeft, row(i), 120);
  };
  auto field = [&](const char* name, int i) { return rows_.addField(name, kLeft + 164, row(i), 50); };
  bq1dedicated = sw("bq1dedicated", " Dedicated Server", &g_.Dedicated, 0);
  eq1dedicatedb = field("eq1dedicatedb", 0);
  bq1listen = sw("bq1listen", " Listen Server", &g_.Listen, 1);
  eq1listenb = field("eq1listenb", 1);
  bq1dm = sw("bq1dm", " DeathMatch", &g_.Deathmatch, 2);
  eq1dm = field("eq1dm", 2);
  bq1coop = sw("bq1coop", " Coop", &g_.Coop, 3);
  eq1coop = field("eq1coop", 3);
  bq1tp = sw("bq1tp", " TeamPlay", &g_.TeamPlay, 4);
  eq1tp = field("eq1tp", 4);
  bq1noexit = sw("bq1noexit", " NoExit", &g_.NoExit, 5);
  eq1noexit = field("eq1noexit", 5);
  bq1winmem = sw("bq1winmem", " WinMem", &g_.WinMem, 6);
  eq1winmem = field("eq1winmem", 6);
  bq1samelevel = sw("bq1samelevel", " SameLevel", &g_.SameLevel, 7);
  eq1samelevel = field("eq1samelevel", 7);
  bq1timelimit = sw("bq1timelimit", " TimeLimit", &g_.timelimit, 8);
  eq1timelimit = field("eq1timelimit", 8);
  bq1fraglimit = sw("bq1fraglimit", " FragLimit", &g_.fraglimit, 9);
  eq1fraglimitb = field("eq1fraglimitb", 9);
}

void Q1StuffPage::buildRightColumn() {
  auto sw = [&](const char* name, const char* label, bool* value, int i) {
    return rows_.addSwitch(name, QString::fromLatin1(label), value, kRight, row(i), 96);
  };
  const int valueX = kRight + 136;
  bq1nojoy = sw("bq1nojoy", " NoJoy", &g_.NoJoy, 0);
  bq1nosound = sw("bq1nosound", " NoSound", &g_.NoSound, 1);
  bq1NoCDAudio = sw("bq1NoCDAudio", " NoCDAudio", &g_.Nocdaudio, 2);
  bq1pause = sw("bq1pause", " Pausable", &g_.Pausable, 3);
  bq1nodemo = sw("bq1nodemo", " NoDemo", &g_.NoDemos, 4);
  bq1map = sw("bq1map", " Map:", &g_.map, 5);
  auto* mapCombo = MapCombo::replacing(rows_.addCombo("Cbq1map", valueX, row(5), 160));
  connect(mapCombo, &MapCombo::droppingDown, this, &Q1StuffPage::Cbq1mapDropDown);
  Cbq1map = mapCombo;
  bq1hostname = sw("bq1hostname", " HostName:", &g_.HostName, 6);
  eq1hostname = rows_.addField("eq1hostname", valueX, row(6), 160);
  bq1connect = sw("bq1connect", " Connect:", &g_.Connect, 7);
  eq1connect = rows_.addField("eq1connect", valueX, row(7), 160);
  bq1cfg = sw("bq1cfg", " Cfg:", &g_.UseCFG, 8);
  Cbq1cfg = rows_.addCombo("Cbq1cfg", valueX, row(8), 160 - kEditWidth - 4);
  q1editcfg = AddEditButton("q1editcfg", Cbq1cfg);
  bq1useterm = sw("bq1useterm", " Use Terminator", &g_.Terminatr, 9);
  MakeDecorative(bq1useterm);
}

void Q1StuffPage::wirePlainSwitches() {
  for (OptionSwitch* sw : {bq1useterm, bq1nojoy, bq1nosound, bq1NoCDAudio, bq1dm, bq1coop, bq1tp, bq1noexit,
                           bq1pause, bq1winmem, bq1samelevel, bq1timelimit, bq1fraglimit})
    sw->useFlipOnClick();
}

void Q1StuffPage::wireRuleSwitches() {
  auto rule = [this](OptionSwitch* sw, std::function<void()> apply) { wireRule(sw, std::move(apply)); };
  rule(bq1dedicated, [this] { options::ClickDedicated(g_, Game::Quake1); });
  rule(bq1listen, [this] { options::ClickListen(g_); });
  rule(bq1nodemo, [this] { options::ClickNoDemos(g_); });
  rule(bq1connect, [this] { options::ClickConnect(g_); });
  rule(bq1map, [this] { options::ClickMap(g_); });
  rule(bq1hostname, [this] { options::ClickHostName(g_, Game::Quake1, eq1hostname->text().isEmpty()); });
  rule(bq1cfg, [this] { options::ClickUseCfg(g_, Game::Quake1); });
}

void Q1StuffPage::wireFields() {
  wireCountField(eq1dedicatedb, g_.Dedicatedb);
  wireCountField(eq1listenb, g_.Listenb);
  struct Numbers {
    QLineEdit* field;
    int* value;
    const char* raise;
    const char* lower;
  };
  const Numbers numbers[] = {{eq1dm, &g_.Deathmatchb, "q1dmi", "q1dmd"},
                             {eq1coop, &g_.Coopb, "q1coopi", "q1coppd"},
                             {eq1tp, &g_.TeamPlayb, "q1tpi", "q1tpd"},
                             {eq1noexit, &g_.NoExitb, "q1noexi", "q1noexd"},
                             {eq1winmem, &g_.WinMemb, "q1memi", "q1memd"},
                             {eq1samelevel, &g_.SameLevelb, "q1sli", "q1sld"},
                             {eq1timelimit, &g_.timelimitb, "q1tli", "q1tld"},
                             {eq1fraglimitb, &g_.fraglimitb, "q1fli", "fld"}};
  addStepper("q1dedi", "q1dedd", eq1dedicatedb, g_.Dedicatedb, kLeft + 218, row(0));
  addStepper("q1lisi", "q1lisd", eq1listenb, g_.Listenb, kLeft + 218, row(1));
  for (int i = 0; i < 8; ++i) {
    wireNumberField(numbers[i].field, *numbers[i].value);
    addStepper(numbers[i].raise, numbers[i].lower, numbers[i].field, *numbers[i].value, kLeft + 218, row(i + 2));
  }
  wireText(eq1hostname, g_.HostNameb, [this](const std::string& t) { options::HostNameTextChanged(g_, t); });
  wireText(eq1connect, g_.Connectb, [this](const std::string& t) { options::ConnectTextChanged(g_, t); });
  wireText(eq1cmdline, g_.CmdLine, [this](const std::string& t) { g_.CmdLine = t; });
  connect(Cbq1map, &QComboBox::editTextChanged, this, &Q1StuffPage::Cbq1mapChange);
  connect(Cbq1cfg, &QComboBox::textActivated, this, &Q1StuffPage::Cbq1cfgClick);
  connect(Cbq1cfg, &QComboBox::editTextChanged, this, &Q1StuffPage::Cbq1cfgChange);
  connect(q1editcfg, &QPushButton::clicked, this, &Q1StuffPage::q1editcfgClick);
}

void Q1StuffPage::Cbq1mapChange(const QString& text) {
  options::MapTextChanged(g_, FromField(text, g_.mapb));
  changed();
}

void Q1StuffPage::Cbq1mapDropDown() { FillStartMapCombo(ctx_, Game::Quake1, Cbq1map); }

void Q1StuffPage::Cbq1cfgClick(const QString& item) { chooseConfigSet(Cbq1cfg, item); }

// The combo only takes choices: typed text is put back to the chosen set.
void Q1StuffPage::Cbq1cfgChange(const QString&) { putBackConfigSet(Cbq1cfg); }

void Q1StuffPage::q1editcfgClick() {
  if (editor_ == nullptr) editor_ = new TfQ1cfgedit(ctx_, q1editcfg->window());
  OpenConfigEditor(ctx_, Game::Quake1, *editor_, q1editcfg->window());
}

void Q1StuffPage::loadControls() {
  for (auto [field, value] : {std::pair{eq1dedicatedb, g_.Dedicatedb}, {eq1listenb, g_.Listenb},
                              {eq1dm, g_.Deathmatchb}, {eq1coop, g_.Coopb}, {eq1tp, g_.TeamPlayb},
                              {eq1noexit, g_.NoExitb}, {eq1winmem, g_.WinMemb}, {eq1samelevel, g_.SameLevelb},
                              {eq1timelimit, g_.timelimitb}, {eq1fraglimitb, g_.fraglimitb}})
    ShowNumber(field, value);
  eq1hostname->setText(ShowStored(g_.HostNameb));
  eq1connect->setText(ShowStored(g_.Connectb));
  Cbq1map->setEditText(ShowStored(g_.mapb));
  options::TurnOffOptionsWithoutText(g_);
  eq1cmdline->setText(ShowStored(g_.CmdLine));
  changed();
}

void Q1StuffPage::fillConfigSets() { fillConfigSetCombo(Cbq1cfg); }

}  // namespace fdk
