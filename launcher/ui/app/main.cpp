// fragdock: the Quake and Quake 2 add-on organiser and launcher.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/platform/paths.h"
#include "core/platform/places.h"
#include "hub/hub.h"
#include "app/quitsignals.h"
#include "dialogs/setup.h"
#include "app/startup.h"
#include "app/theme.h"
#include "work/picturewindow.h"
#include "work/progresswindow.h"
#include "work/scanwindow.h"
#include "fragdock/version.h"

namespace {

constexpr const char* kUsage =
    "usage: fragdock [--help | --version]\n"
    "\n"
    "Organises and launches add-ons for Quake and Quake 2: MODs, maps, Quake skins and\n"
    "Quake 2 player models kept as ZIP archives. Everything is chosen in the window;\n"
    "the launcher takes no other arguments of its own (Qt's, such as -platform, pass on).\n"
    "\n"
    "  -h, --help      this text\n"
    "  -v, --version   the version\n"
    "\n"
    "Settings: portable: beside the program; installed: ~/.config/fragdock/\n";

// --help and --version are answered before QApplication exists: it ends the
// program where there is no display, and these need none. Only the exact words
// count, so Qt still gets its own arguments.
bool AnsweredInfoArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool help = arg == "--help" || arg == "-h";
    if (!help && arg != "--version" && arg != "-v") continue;
    std::printf("fragdock %s\n%s", fdk::kFragdockVersion, help ? kUsage : "");
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnsweredInfoArgument(argc, argv)) return EXIT_SUCCESS;
  // Without TZ the C library looks at /etc/localtime again for every time it
  // converts, and the ZIP library converts one for every archive entry it lists.
  setenv("TZ", ":/etc/localtime", 0);
  QApplication app(argc, argv);  // the launcher takes no other arguments of its own
  QApplication::setApplicationName(QStringLiteral("Fragdock"));
  QApplication::setApplicationDisplayName(QStringLiteral("Fragdock"));
  // Lets the desktop show the installed entry's name and icon for the windows.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(fdk::kFragdockAppId));
  fdk::ApplyTheme(app);

  fdk::LauncherContext ctx;
  const fdk::ProgramPlaces places = fdk::FindProgramPlaces(fdk::executableFolder(), fdk::XdgEnvironment::FromProcess());
  ctx.vars.usePlaces(places);
  ctx.roots.home = fdk::homeFolder();
  ctx.messages.showBox = [](fdk::UserMessages::Kind kind, const QString& text) {
    if (kind == fdk::UserMessages::Kind::Fatal) QMessageBox::critical(nullptr, QStringLiteral("Fragdock"), text);
    else if (kind == fdk::UserMessages::Kind::Information) QMessageBox::information(nullptr, QStringLiteral("Fragdock"), text);
    else QMessageBox::warning(nullptr, QStringLiteral("Fragdock"), text);
  };
  ctx.messages.endProgram = [] { std::exit(EXIT_FAILURE); };
  ctx.messages.askBox = [](const QString& question) {
    return QMessageBox::information(nullptr, QStringLiteral("Fragdock"), question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  };

  // Without its folders the launcher still runs; the player learns why nothing sticks.
  if (fdk::Status made = fdk::MakeProgramPlaces(places); !made)
    ctx.messages.warn(QString::fromStdString(made.error().text + "\n\nWhat Fragdock keeps there (settings, launch records or work files) cannot be written."));

  fdk::Tffatpic ffatpic;
  fdk::Tfbar fbar(ctx);
  fdk::Tfscan fscan;
  ctx.ffatpic = &ffatpic;
  ctx.fbar = &fbar;
  ctx.fscan = &fscan;
  fdk::Tfsetup setup(ctx);
  fdk::Tfhub hub(ctx, setup);
  fdk::Tfstartup splash(ctx, hub, setup);

  // The main window may be hidden when it closes (a launch hides it first), so its
  // close ends the program explicitly rather than through the last visible window.
  QObject::connect(&hub, &fdk::Tfhub::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

  fdk::InstallQuitSignals([&] {
    if (hub.isVisible() || hub.loaded()) hub.closeFromSignal();
    else app.quit();
  });

  splash.show();
  return app.exec();
}
