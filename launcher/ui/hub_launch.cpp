// Starting the games from the main window: prepare the game folder, build the
// command line, start the game and close the launcher.
#include <QApplication>
#include <iostream>

#include "core/launch.h"
#include "core/paths.h"
#include "hub.h"

namespace fdk {

// Config-set files that were left out are told once, before the game starts; the
// launch goes on without them.
void Tfhub::reportUncopied(const std::vector<std::string>& failed) {
  if (failed.empty()) return;
  QString text = QStringLiteral("Some files of the config set were not copied into the game:");
  for (const std::string& line : failed) {
    std::cerr << "fragdock: config set file not copied: " << line << '\n';
    text += QStringLiteral("\n") + QString::fromStdString(line);
  }
  ctx_.warn(text);
}

// Nothing of a launch is written before the game folders are known to be there.
bool Tfhub::gameFoldersReady(Game game) {
  std::string error = CheckGameFolders(ctx_.vars, game);
  if (error.empty()) return true;
  abortLaunch(QStringLiteral("The game was not started.\n\n%1").arg(QString::fromStdString(error)));
  return false;
}

// A launch that cannot go on brings the window back; every setting stays as it was.
void Tfhub::abortLaunch(const QString& why) {
  ctx_.vars.launchgame = '0';
  show();
  std::cerr << "fragdock: " << why.toStdString() << '\n';
  ctx_.warn(why);
}

bool Tfhub::startGame(const std::string& commandLine, const std::string& folder) {
  if (ctx_.vars.game(ctx_.vars.launchgame == '1' ? Game::Quake1 : Game::Quake2).Terminatr) {
    std::string term = TerminatorCommandLine(ctx_.vars);
    if (!term.empty()) ctx_.processes.Start(term, ctx_.vars.programFolder);
  }
  StartResult started = ctx_.processes.Start(commandLine, folder);
  if (!started.ok) {
    abortLaunch(QStringLiteral("The game was not started.\n\n%1\n\nCommand line: %2")
                    .arg(QString::fromStdString(started.error), QString::fromStdString(commandLine)));
    return false;
  }
  close();  // saves the settings; the launcher's work is done
  return true;
}

void Tfhub::bq1goClick() {
  Uvars& vars = ctx_.vars;
  vars.launchgame = '1';
  if (!gameFoldersReady(Game::Quake1)) return;
  hide();
  QApplication::processEvents();
  reportUncopied(CopyQ1ConfigSet(vars));
  if (std::string error = WriteQ1StartScript(vars); !error.empty())
    return abortLaunch(QStringLiteral("The start script could not be written:\n%1").arg(QString::fromStdString(error)));
  startGame(Q1CommandLine(vars), vars.q1.Path);
}

void Tfhub::bq2goClick() {
  Uvars& vars = ctx_.vars;
  vars.launchgame = '2';
  if (!gameFoldersReady(Game::Quake2)) return;
  if (!vars.q2mod.empty() && !fileExists(vars.q2.Patch + vars.q2mod + ".zip")) {
    // Starting without the MOD the player chose would be a different game: say why nothing happens.
    return abortLaunch(QStringLiteral("The MOD \"%1\" cannot be installed: its archive %2 is missing.")
                           .arg(QString::fromStdString(vars.q2mod),
                                QString::fromStdString(vars.q2.Patch + vars.q2mod + ".zip")));
  }
  hide();
  QApplication::processEvents();
  if (!vars.q2mod.empty() && modGameFolder.empty()) modGameFolder = vars.q2mod;
  reportUncopied(CopyQ2ConfigSet(vars));
  if (std::string error = WriteQ2StartScript(vars); !error.empty())
    return abortLaunch(QStringLiteral("The start script could not be written:\n%1").arg(QString::fromStdString(error)));
  startGame(Q2CommandLine(vars, modGameFolder), vars.q2.Path);
}

}  // namespace fdk
