// The real fragdock program, started as a user starts it, in a program folder of its own.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <regex>
#include <sys/stat.h>

#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct Program {
  TempDir prog;
  TempDir home;
  QProcess process;
  Program() {
    WritePictures(prog);
    std::filesystem::copy_file(FRAGDOCK_EXE, prog.file("fragdock"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString(home.folder()));
    process.setProcessEnvironment(env);
  }
  void run() { process.start(QString::fromStdString(prog.file("fragdock")), {}); }
  // Starts the program and waits until its main window has done its start-up
  // loading, which ends by clearing out the work folder "paktemp".
  bool runUntilLoaded() {
    prog.write("paktemp/left-over.pak", "x");
    run();
    return WaitFor([&] { return !prog.exists("paktemp"); }, 10000);
  }
  // Ends the program as a logout does, and waits for it.
  int terminate() {
    process.terminate();
    EXPECT_TRUE(process.waitForFinished(10000));
    return process.exitCode();
  }
};
}  // namespace

TEST(Program, SigtermClosesLikeTheCloseButtonAndAStartChangesNothing) {
  Program p;
  ASSERT_TRUE(p.runUntilLoaded()) << p.process.readAllStandardError().toStdString();
  p.prog.write("paktemp/pak0.pak", "x");
  EXPECT_EQ(p.terminate(), 0);
  EXPECT_FALSE(p.prog.exists("paktemp")) << "the close tidies up";
  std::string first = p.prog.read("Fragdock.ini");
  EXPECT_NE(first.find("Path=" + p.home.folder() + "games/quake/"), std::string::npos);

  ASSERT_TRUE(p.runUntilLoaded());
  EXPECT_EQ(p.terminate(), 0);
  EXPECT_EQ(p.prog.read("Fragdock.ini"), first);
}

TEST(Program, DamagedSettingsFileIsReadAsFarAsItGoes) {
  using namespace std::string_literals;
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
  const std::string files[] = {
      noise,
      "no sections at all\nEXE=winquake.exe\n",
      "[Quake 1]\0\nEXE=winquake.exe\n[Quake 2]\nPath=\0\0\n"s,
  };
  for (const std::string& bytes : files) {
    Program p;
    p.prog.write("fragdock.bmp", p.prog.read("themes/Fragdock.bmp"));  // the background of a file without one
    p.prog.write("Fragdock.ini", bytes);
    ASSERT_TRUE(p.runUntilLoaded()) << p.process.readAllStandardError().toStdString();
    EXPECT_EQ(p.terminate(), 0);
    EXPECT_EQ(p.process.exitStatus(), QProcess::NormalExit);
    std::string saved = p.prog.read("Fragdock.ini");
    EXPECT_NE(saved.find("[Quake 2]"), std::string::npos);
    if (bytes.find("[Quake 1]") != std::string::npos) {
      EXPECT_NE(saved.find("EXE=winquake.exe"), std::string::npos) << "what could be read is kept";
    }
  }
}

// A real settings file is a few KB: a huge one is damaged, is not read, and stays as it is.
TEST(Program, ASettingsFileOverTheLimitIsNamedAndKeptAsItIs) {
  Program p;
  const std::string huge = "[Quake 1]\nEXE=winquake.exe\n" + std::string(2 * 1024 * 1024, '\n');
  p.prog.write("Fragdock.ini", huge);
  ASSERT_TRUE(p.runUntilLoaded()) << p.process.readAllStandardError().toStdString();
  EXPECT_EQ(p.terminate(), 0);
  EXPECT_TRUE(p.process.readAllStandardError().contains("Fragdock.ini"));
  EXPECT_TRUE(p.prog.read("Fragdock.ini") == huge) << "the file is left unchanged";
}

TEST(Program, MissingPlaceholderSaysNoWay) {
  Program p;
  std::filesystem::remove(p.prog.file("!none!.bmp"));
  p.run();
  QByteArray err;
  WaitFor([&] {
    err += p.process.readAllStandardError();
    return err.contains("NO WAY");
  }, 10000);
  EXPECT_TRUE(err.contains("NO WAY")) << err.toStdString();
  p.process.kill();  // the message box waits for a user
  p.process.waitForFinished(5000);
}

TEST(Program, LatinOneTextValuesKeepEveryByteThroughAStartAndAClose) {
  Program p;
  ASSERT_TRUE(p.runUntilLoaded()) << p.process.readAllStandardError().toStdString();
  EXPECT_EQ(p.terminate(), 0);

  // Every text value of both games and the background, in Latin-1 ("\xE4" is not UTF-8).
  std::string ini = p.prog.read("Fragdock.ini");
  for (const char* key : {"Path", "Patch", "Maps", "Skins", "CFG"})
    ini = std::regex_replace(ini, std::regex(std::string("\n") + key + "=[^\n]*"),
                             std::string("\n") + key + "=/home/j\xF6rg/" + key + "\xE4/");
  for (const char* key : {"EXE", "ACFG", "CmdLine", "Connectb", "HostNameb", "mapb", "cddirb"})
    ini = std::regex_replace(ini, std::regex(std::string("\n") + key + "=[^\n]*"),
                             std::string("\n") + key + "=caf\xE9 " + key + " \xA9\xFF");
  ini = std::regex_replace(ini, std::regex("\nfdockback=[^\n]*"), "\nfdockback=th\xE8mes/Fragdock");
  p.prog.write("th\xE8mes/Fragdock.bmp", p.prog.read("themes/Fragdock.bmp"));
  p.prog.write("Fragdock.ini", ini);

  ASSERT_TRUE(p.runUntilLoaded());
  EXPECT_EQ(p.terminate(), 0);
  EXPECT_EQ(p.prog.read("Fragdock.ini"), ini);
}

TEST(Program, AClosingSignalThatCannotSaveReportsAndEnds) {
  Program p;
  ASSERT_TRUE(p.runUntilLoaded()) << p.process.readAllStandardError().toStdString();
  // The settings file turns into a folder that a rename cannot replace.
  std::filesystem::remove(p.prog.file("Fragdock.ini"));
  p.prog.write("Fragdock.ini/keep", "x");
  p.process.terminate();
  EXPECT_TRUE(p.process.waitForFinished(10000)) << "no message box may hold the exit";
  EXPECT_TRUE(p.process.readAllStandardError().contains("could not be saved"));
  EXPECT_EQ(p.prog.read("Fragdock.ini/keep"), "x");
  if (p.process.state() != QProcess::NotRunning) p.process.kill();
}

TEST(Program, ASettingsFileThatIsAFifoDoesNotHangTheStart) {
  Program p;
  ASSERT_EQ(::mkfifo(p.prog.file("Fragdock.ini").c_str(), 0600), 0);
  ASSERT_TRUE(p.runUntilLoaded()) << p.process.readAllStandardError().toStdString();
  EXPECT_EQ(p.terminate(), 0);
  struct stat st {};
  ASSERT_EQ(::lstat(p.prog.file("Fragdock.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}
