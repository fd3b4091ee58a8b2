#include "pages/q1stuffpage.h"

#include "core/launch/launchoptions.h"
#include "dialogs/cfgeditor.h"

namespace fdk {

namespace {
constexpr int kLeft = 16;
constexpr int kRight = 330;
enum Column { LeftColumn, RightColumn };
constexpr OptionColumn kColumns[] = {
    {kLeft, 120, kLeft + 164, 50, kLeft + 218},
    {kRight, 96, kRight + 136, 160, 0},
};

using G = GameSettings;
using R = OptionRule;
constexpr OptionRowDef kRows[] = {
    SwitchRow(LeftColumn, 0, "bq1dedicated", " Dedicated Server", &G::Dedicated, R::Dedicated)
        .counted("eq1dedicatedb", &G::Dedicatedb, "q1dedi", "q1dedd"),
    SwitchRow(LeftColumn, 1, "bq1listen", " Listen Server", &G::Listen, R::Listen)
        .counted("eq1listenb", &G::Listenb, "q1lisi", "q1lisd"),
    SwitchRow(LeftColumn, 2, "bq1dm", " DeathMatch", &G::Deathmatch)
        .numbered("eq1dm", &G::Deathmatchb, "q1dmi", "q1dmd"),
    SwitchRow(LeftColumn, 3, "bq1coop", " Coop", &G::Coop).numbered("eq1coop", &G::Coopb, "q1coopi", "q1coppd"),
    SwitchRow(LeftColumn, 4, "bq1tp", " TeamPlay", &G::TeamPlay).numbered("eq1tp", &G::TeamPlayb, "q1tpi", "q1tpd"),
    SwitchRow(LeftColumn, 5, "bq1noexit", " NoExit", &G::NoExit)
        .numbered("eq1noexit", &G::NoExitb, "q1noexi", "q1noexd"),
    SwitchRow(LeftColumn, 6, "bq1winmem", " WinMem", &G::WinMem).numbered("eq1winmem", &G::WinMemb, "q1memi", "q1memd"),
    SwitchRow(LeftColumn, 7, "bq1samelevel", " SameLevel", &G::SameLevel)
        .numbered("eq1samelevel", &G::SameLevelb, "q1sli", "q1sld"),
    SwitchRow(LeftColumn, 8, "bq1timelimit", " TimeLimit", &G::timelimit)
        .numbered("eq1timelimit", &G::timelimitb, "q1tli", "q1tld"),
    SwitchRow(LeftColumn, 9, "bq1fraglimit", " FragLimit", &G::fraglimit)
        .numbered("eq1fraglimitb", &G::fraglimitb, "q1fli", "fld"),
    SwitchRow(RightColumn, 0, "bq1nojoy", " NoJoy", &G::NoJoy),
    SwitchRow(RightColumn, 1, "bq1nosound", " NoSound", &G::NoSound),
    SwitchRow(RightColumn, 2, "bq1NoCDAudio", " NoCDAudio", &G::Nocdaudio),
    SwitchRow(RightColumn, 3, "bq1pause", " Pausable", &G::Pausable),
    SwitchRow(RightColumn, 4, "bq1nodemo", " NoDemo", &G::NoDemos, R::NoDemos),
    SwitchRow(RightColumn, 5, "bq1map", " Map:", &G::map, R::Map).startMap("Cbq1map"),
    SwitchRow(RightColumn, 6, "bq1hostname", " HostName:", &G::HostName, R::HostName)
        .texted("eq1hostname", &G::HostNameb, options::HostNameTextChanged),
    SwitchRow(RightColumn, 7, "bq1connect", " Connect:", &G::Connect, R::Connect)
        .texted("eq1connect", &G::Connectb, options::ConnectTextChanged),
    // "edit" takes the end of the column's width from the set's name.
    SwitchRow(RightColumn, 8, "bq1cfg", " Cfg:", &G::UseCFG, R::UseCfg)
        .configSet("Cbq1cfg", "q1editcfg")
        .placed(kRight + 136, 160 - kEditWidth - 4),
    SwitchRow(RightColumn, 9, "bq1useterm", " Use Terminator", &G::Terminatr).inDecorativeLetters(),
};
}  // namespace

Q1StuffPage::Q1StuffPage(LauncherContext& ctx, QWidget* box) : OptionPage(ctx, Game::Quake1, box) {
  addRows(kColumns, kRows);
  addCommandLine("lq1cmdline", "eq1cmdline", kLeft, OptionLineY(10) + 14);
  addCommandPreview(kLeft, OptionLineY(10) + 14 + 28);
  addPreLaunchChecks({kLeft, OptionLineY(10) + 14 + 58, 100});
  addSteppers();
}

}  // namespace fdk
