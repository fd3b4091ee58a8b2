#include "pages/q2stuffpage.h"

#include "core/launch/launch.h"
#include "core/launch/launchoptions.h"
#include "dialogs/cfgeditor.h"

namespace fdk {

namespace {
constexpr int kLeft = 12;
constexpr int kMiddle = 236;
constexpr int kFlags = 456;
enum Column { LeftColumn, MiddleColumn, FlagColumn };
constexpr OptionColumn kColumns[] = {
    {kLeft, 116, kLeft + 156, 38, kLeft + 196},
    {kMiddle, 150, kMiddle + 120, 92, 0},
    {kFlags, 150, 0, 0, 0},
};

using G = GameSettings;
using R = OptionRule;
constexpr OptionRowDef kRows[] = {
    SwitchRow(LeftColumn, 0, "bq2dedicated", " Dedicated Server", &G::Dedicated, R::Dedicated)
        .counted("eq2dedicatedb", &G::Dedicatedb, "bq2dedi", "bq2dedd"),
    SwitchRow(LeftColumn, 1, "bq2maxclients", " MaxClients", &G::maxclients)
        .counted("Eq2maxclients", &G::maxclientsb, "bq2maxclii", "bq2maclid"),
    SwitchRow(LeftColumn, 2, "bq2dm", " DeathMatch", &G::Deathmatch)
        .counted("eq2dm", &G::Deathmatchb, "bq2dmi", "bq2dmd"),
    SwitchRow(LeftColumn, 3, "bq2coop", " Coop", &G::Coop).counted("eq2coop", &G::Coopb, "bq2coopi", "bq2coopd"),
    SwitchRow(LeftColumn, 4, "bq2fraglimit", " FragLimit", &G::fraglimit)
        .counted("eq2fraglimitb", &G::fraglimitb, "bq2fli", "bq2fld"),
    SwitchRow(LeftColumn, 5, "bq2timelimit", " TimeLimit", &G::timelimit)
        .counted("eq2timelimit", &G::timelimitb, "bq2tli", "bq2tld"),
    // The team mode takes the room the raise and lower buttons have on the other lines.
    SwitchRow(LeftColumn, 6, "bq2tp", " TeamPlay", &G::TeamPlay).teamMode("cbq2tp").placed(kLeft + 120, 86),
    SwitchRow(LeftColumn, 7, "bq2noexit", " NoExit", &G::NoExit),
    SwitchRow(LeftColumn, 8, "bq2nodemo", " NoDemo", &G::NoDemos, R::NoDemos),
    SwitchRow(LeftColumn, 9, "bq2samelevel", " SameLevel", &G::SameLevel),
    SwitchRow(MiddleColumn, 0, "bq2map", " Map:", &G::map, R::Map).startMap("cbq2map"),
    SwitchRow(MiddleColumn, 1, "bq2hostname", " HostName:", &G::HostName, R::HostName)
        .texted("eq2hostname", &G::HostNameb, options::HostNameTextChanged),
    SwitchRow(MiddleColumn, 2, "bq2connect", " Connect:", &G::Connect, R::Connect)
        .texted("eq2connect", &G::Connectb, options::ConnectTextChanged),
    // The short label leaves room to the combo's left, so the set's name keeps the
    // column's width and "edit" ends where the column's fields end.
    SwitchRow(MiddleColumn, 3, "bq2cfg", " Cfg:", &G::UseCFG, R::UseCfg)
        .configSet("Cbq2cfg", "bq2editcfg")
        .placed(kMiddle + 120 - kEditWidth - 4, 92),
    SwitchRow(MiddleColumn, 4, "bq2cd", " CD Dir", &G::cddir).texted("Eq2cd", &G::cddirb, options::CdDirTextChanged),
    SwitchRow(MiddleColumn, 5, "bq2cml", " Create maps.lst", &G::cmaplist),
    SwitchRow(MiddleColumn, 7, "bq2useterm", " Use Terminator", &G::Terminatr).inDecorativeLetters(),
    SwitchRow(FlagColumn, 0, "bq2quaddrop", " QuadDrop", &G::quaddrop),
    SwitchRow(FlagColumn, 1, "bq2weaponstay", " Weapon Stay", &G::weaponstay),
    SwitchRow(FlagColumn, 2, "bq2spawnf", " Spawn Farthest", &G::spawnfarthest),
    SwitchRow(FlagColumn, 3, "bq2NoHealth", " No Health", &G::nohelth),
    SwitchRow(FlagColumn, 4, "bq2NoPowerups", " No Powerups", &G::nopowerups),
    SwitchRow(FlagColumn, 5, "bq2NoFallDam", " No Falling Damage", &G::nofallingdamage),
    SwitchRow(FlagColumn, 6, "bq2InPower", " Instand Powerups", &G::inpower),
    SwitchRow(FlagColumn, 7, "bq2Fspawn", " Force Respawn", &G::forcerespawn),
    SwitchRow(FlagColumn, 8, "bq2noarmor", " No Armor", &G::noarmor),
    SwitchRow(FlagColumn, 9, "bq2InAmmo", " Infinite Ammo", &G::inammo),
    SwitchRow(FlagColumn, 10, "bq2NoFriendFire", " No Friendly Fire", &G::nofriendlifire),
    SwitchRow(FlagColumn, 11, "bq2FixedFov", " Fixed Fov", &G::fixfov),
};
}  // namespace

Q2StuffPage::Q2StuffPage(LauncherContext& ctx, QWidget* box) : OptionPage(ctx, Game::Quake2, box) {
  addRows(kColumns, kRows);
  ldmflags_ = rows_.addLabel("ldmflags", QString(), kMiddle, OptionLineY(10), 200);
  addCommandLine("lq2cmdline", "eq2cmdline", kLeft, OptionLineY(12) + 16);
  addCommandPreview(kLeft, OptionLineY(12) + 16 + 28);
  addPreLaunchChecks({kLeft, OptionLineY(12) + 16 + 56, 52});
  addSteppers();
}

// After any change: every picture again, and the flags value that "q.cfg" will carry.
void Q2StuffPage::changed() {
  OptionPage::changed();
  ldmflags_->setText(QStringLiteral("dmflags %1").arg(DeathmatchFlags(g_)));
}

}  // namespace fdk
