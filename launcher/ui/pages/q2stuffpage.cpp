#include "pages/q2stuffpage.h"

#include <QSignalBlocker>

#include "core/launch/launch.h"
#include "core/launch/launchoptions.h"
#include "app/storedfield.h"
#include "dialogs/cfgeditor.h"
#include "pages/mapcombo.h"

namespace fdk {

namespace {
constexpr int kTop = 52;
constexpr int kStep = 26;
constexpr int kLeft = 12;
constexpr int kMiddle = 236;
constexpr int kFlags = 456;
int row(int i) { return kTop + i * kStep; }
const char* const kByModel = "by Model";
const char* const kBySkin = "by Skin";
}  // namespace

Q2StuffPage::Q2StuffPage(LauncherContext& ctx, QWidget* box)
    : OptionPage(ctx, ctx.vars.q2, box) {
  buildLeftColumn();
  buildMiddleColumn();
  buildFlagColumn();
  rows_.addLabel("lq2cmdline", QStringLiteral("Command Line"), kLeft, row(12) + 16, 110);
  eq2cmdline = rows_.addField("eq2cmdline", kLeft + 112, row(12) + 16, 500);
  wireSwitches();
  wireFields();
  wireTexts();
}

void Q2StuffPage::buildLeftColumn() {
  auto sw = [&](const char* name, const char* label, bool* value, int i) {
    return rows_.addSwitch(name, QString::fromLatin1(label), value, kLeft, row(i), 116);
  };
  auto field = [&](const char* name, int i) { return rows_.addField(name, kLeft + 156, row(i), 38); };
  bq2dedicated = sw("bq2dedicated", " Dedicated Server", &g_.Dedicated, 0);
  eq2dedicatedb = field("eq2dedicatedb", 0);
  bq2maxclients = sw("bq2maxclients", " MaxClients", &g_.maxclients, 1);
  Eq2maxclients = field("Eq2maxclients", 1);
  bq2dm = sw("bq2dm", " DeathMatch", &g_.Deathmatch, 2);
  eq2dm = field("eq2dm", 2);
  bq2coop = sw("bq2coop", " Coop", &g_.Coop, 3);
  eq2coop = field("eq2coop", 3);
  bq2fraglimit = sw("bq2fraglimit", " FragLimit", &g_.fraglimit, 4);
  eq2fraglimitb = field("eq2fraglimitb", 4);
  bq2timelimit = sw("bq2timelimit", " TimeLimit", &g_.timelimit, 5);
  eq2timelimit = field("eq2timelimit", 5);
  bq2tp = sw("bq2tp", " TeamPlay", &g_.TeamPlay, 6);
  cbq2tp = rows_.addCombo("cbq2tp", kLeft + 120, row(6), 86);
  cbq2tp->addItems({QString::fromLatin1(kByModel), QString::fromLatin1(kBySkin)});
  bq2noexit = sw("bq2noexit", " NoExit", &g_.NoExit, 7);
  bq2nodemo = sw("bq2nodemo", " NoDemo", &g_.NoDemos, 8);
  bq2samelevel = sw("bq2samelevel", " SameLevel", &g_.SameLevel, 9);
}

void Q2StuffPage::buildMiddleColumn() {
  auto sw = [&](const char* name, const char* label, bool* value, int i) {
    return rows_.addSwitch(name, QString::fromLatin1(label), value, kMiddle, row(i), 150);
  };
  const int valueX = kMiddle + 120;
  bq2map = sw("bq2map", " Map:", &g_.map, 0);
  auto* mapCombo = MapCombo::replacing(rows_.addCombo("cbq2map", valueX, row(0), 92));
  connect(mapCombo, &MapCombo::droppingDown, this, &Q2StuffPage::cbq2mapDropDown);
  cbq2map = mapCombo;
  bq2hostname = sw("bq2hostname", " HostName:", &g_.HostName, 1);
  eq2hostname = rows_.addField("eq2hostname", valueX, row(1), 92);
  bq2connect = sw("bq2connect", " Connect:", &g_.Connect, 2);
  eq2connect = rows_.addField("eq2connect", valueX, row(2), 92);
  bq2cfg = sw("bq2cfg", " Cfg:", &g_.UseCFG, 3);
  // The short label leaves room to the combo's left, so the set's name keeps the
  // column's width and "edit" ends where the column's fields end.
  Cbq2cfg = rows_.addCombo("Cbq2cfg", valueX - kEditWidth - 4, row(3), 92);
  bq2editcfg = AddEditButton("bq2editcfg", Cbq2cfg);
  bq2cd = sw("bq2cd", " CD Dir", &g_.cddir, 4);
  Eq2cd = rows_.addField("Eq2cd", valueX, row(4), 92);
  bq2cml = sw("bq2cml", " Create maps.lst", &g_.cmaplist, 5);
  bq2useterm = sw("bq2useterm", " Use Terminator", &g_.Terminatr, 7);
  MakeDecorative(bq2useterm);
  ldmflags = rows_.addLabel("ldmflags", QString(), kMiddle, row(10), 200);
}

void Q2StuffPage::buildFlagColumn() {
  struct Flag {
    OptionSwitch** sw;
    const char* name;
    const char* label;
    bool* value;
  };
  const Flag flags[] = {
      {&bq2quaddrop, "bq2quaddrop", " QuadDrop", &g_.quaddrop},
      {&bq2weaponstay, "bq2weaponstay", " Weapon Stay", &g_.weaponstay},
      {&bq2spawnf, "bq2spawnf", " Spawn Farthest", &g_.spawnfarthest},
      {&bq2NoHealth, "bq2NoHealth", " No Health", &g_.nohelth},
      {&bq2NoPowerups, "bq2NoPowerups", " No Powerups", &g_.nopowerups},
      {&bq2NoFallDam, "bq2NoFallDam", " No Falling Damage", &g_.nofallingdamage},
      {&bq2InPower, "bq2InPower", " Instand Powerups", &g_.inpower},
      {&bq2Fspawn, "bq2Fspawn", " Force Respawn", &g_.forcerespawn},
      {&bq2noarmor, "bq2noarmor", " No Armor", &g_.noarmor},
      {&bq2InAmmo, "bq2InAmmo", " Infinite Ammo", &g_.inammo},
      {&bq2NoFriendFire, "bq2NoFriendFire", " No Friendly Fire", &g_.nofriendlifire},
      {&bq2FixedFov, "bq2FixedFov", " Fixed Fov", &g_.fixfov},
  };
  for (int i = 0; i < 12; ++i)
    *flags[i].sw = rows_.addSwitch(flags[i].name, QString::fromLatin1(flags[i].label), flags[i].value, kFlags, row(i),
                                   150);
}

// After any change: every picture again, and the flags value that "q.cfg" will carry.
void Q2StuffPage::changed() {
  rows_.refreshAll();
  ldmflags->setText(QStringLiteral("dmflags %1").arg(DeathmatchFlags(g_)));
}

void Q2StuffPage::wireSwitches() {
  auto rule = [this](OptionSwitch* sw, std::function<void()> apply) { wireRule(sw, std::move(apply)); };
  for (OptionSwitch* sw : {bq2useterm, bq2dm, bq2coop, bq2tp, bq2noexit, bq2samelevel, bq2timelimit, bq2fraglimit,
                           bq2cml, bq2maxclients, bq2quaddrop, bq2weaponstay, bq2spawnf, bq2NoHealth, bq2NoPowerups,
                           bq2NoFallDam, bq2InPower, bq2Fspawn, bq2noarmor, bq2InAmmo, bq2NoFriendFire, bq2FixedFov,
                           bq2cd})
    rule(sw, [this, sw] { sw->setValue(!sw->value()); });
  // The rules both games share live in the core, whatever they do for Quake 2.
  rule(bq2dedicated, [this] { options::ClickDedicated(g_, Game::Quake2); });
  rule(bq2hostname, [this] { options::ClickHostName(g_, Game::Quake2, eq2hostname->text().isEmpty()); });
  rule(bq2cfg, [this] { options::ClickUseCfg(g_, Game::Quake2); });
  rule(bq2nodemo, [this] { options::ClickNoDemos(g_); });
  rule(bq2connect, [this] { options::ClickConnect(g_); });
  rule(bq2map, [this] { options::ClickMap(g_); });
}

void Q2StuffPage::countField(QLineEdit* field, int& value, const char* raise, const char* lower, int y) {
  wireCountField(field, value);
  addStepper(raise, lower, field, value, kLeft + 196, y);
}

void Q2StuffPage::wireFields() {
  countField(eq2dedicatedb, g_.Dedicatedb, "bq2dedi", "bq2dedd", row(0));
  countField(Eq2maxclients, g_.maxclientsb, "bq2maxclii", "bq2maclid", row(1));
  countField(eq2dm, g_.Deathmatchb, "bq2dmi", "bq2dmd", row(2));
  countField(eq2coop, g_.Coopb, "bq2coopi", "bq2coopd", row(3));
  countField(eq2fraglimitb, g_.fraglimitb, "bq2fli", "bq2fld", row(4));
  countField(eq2timelimit, g_.timelimitb, "bq2tli", "bq2tld", row(5));
}

void Q2StuffPage::wireTexts() {
  wireText(eq2hostname, g_.HostNameb, [this](const std::string& t) { options::HostNameTextChanged(g_, t); });
  wireText(eq2connect, g_.Connectb, [this](const std::string& t) { options::ConnectTextChanged(g_, t); });
  wireText(Eq2cd, g_.cddirb, [this](const std::string& t) { options::CdDirTextChanged(g_, t); });
  wireText(eq2cmdline, g_.CmdLine, [this](const std::string& t) { g_.CmdLine = t; });
  connect(cbq2map, &QComboBox::editTextChanged, this, [this](const QString& t) {
    options::MapTextChanged(g_, FromField(t, g_.mapb));
    changed();
  });
  connect(cbq2tp, &QComboBox::textActivated, this, &Q2StuffPage::cbq2tpz);
  connect(cbq2tp, &QComboBox::editTextChanged, this, &Q2StuffPage::cbq2tpChange);
  connect(Cbq2cfg, &QComboBox::textActivated, this, &Q2StuffPage::Cbq2cfgClick);
  connect(Cbq2cfg, &QComboBox::editTextChanged, this, &Q2StuffPage::Cbq2cfgChange);
  connect(bq2editcfg, &QPushButton::clicked, this, &Q2StuffPage::bq2editcfgClick);
}

void Q2StuffPage::cbq2mapDropDown() { FillStartMapCombo(ctx_, Game::Quake2, cbq2map); }

void Q2StuffPage::cbq2tpz(const QString& item) {
  options::ChooseTeamMode(g_, item == QLatin1String(kByModel));
  cbq2tpChange(QString());
  changed();
}

// The team-mode combo only takes its two choices.
void Q2StuffPage::cbq2tpChange(const QString&) { putBack(cbq2tp, QString::fromLatin1(options::TeamModeText(g_))); }

void Q2StuffPage::Cbq2cfgClick(const QString& item) { chooseConfigSet(Cbq2cfg, item); }

void Q2StuffPage::Cbq2cfgChange(const QString&) { putBackConfigSet(Cbq2cfg); }

void Q2StuffPage::bq2editcfgClick() {
  if (editor_ == nullptr) editor_ = new Tfq2cfgedit(ctx_, bq2editcfg->window());
  OpenConfigEditor(ctx_, Game::Quake2, *editor_, bq2editcfg->window());
}

void Q2StuffPage::loadControls() {
  for (auto [field, value] : {std::pair{eq2dedicatedb, g_.Dedicatedb}, {Eq2maxclients, g_.maxclientsb},
                              {eq2dm, g_.Deathmatchb}, {eq2coop, g_.Coopb}, {eq2fraglimitb, g_.fraglimitb},
                              {eq2timelimit, g_.timelimitb}})
    ShowNumber(field, value);
  eq2hostname->setText(ShowStored(g_.HostNameb));
  eq2connect->setText(ShowStored(g_.Connectb));
  cbq2map->setEditText(ShowStored(g_.mapb));
  {
    // The CD folder is shown as stored: an empty one loaded with cddir on stays on.
    QSignalBlocker quiet(Eq2cd);
    Eq2cd->setText(ShowStored(g_.cddirb));
  }
  options::TurnOffOptionsWithoutText(g_);
  eq2cmdline->setText(ShowStored(g_.CmdLine));
  cbq2tpChange(QString());
  changed();
}

void Q2StuffPage::fillConfigSets() { fillConfigSetCombo(Cbq2cfg); }

}  // namespace fdk
