#include "core/platform/places.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "testing/tempdir.h"

using namespace fdk;

namespace {

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

struct Folders : ::testing::Test {
  TempDir dir;
  std::string program = dir.folder() + "lib/fragdock/";
  XdgEnvironment env{dir.folder() + "home/", "", "", ""};
  void SetUp() override { std::filesystem::create_directories(program); }
};

TEST_F(Folders, APortableProgramFolderHoldsEverythingItself) {
  const ProgramPlaces places = FindProgramPlaces(dir.folder() + "lib/fragdock", env);
  EXPECT_FALSE(places.installed);
  for (const std::string* folder : {&places.program, &places.settings, &places.state, &places.scratch})
    EXPECT_EQ(*folder, program);
  ASSERT_TRUE(MakeProgramPlaces(places).ok());
  EXPECT_FALSE(dir.exists("home")) << "nothing is made for a portable folder";
}

// The XDG base folders: set ones are taken, unset, empty and relative ones fall
// back to the home folder's defaults; every folder is the base's "fragdock/".
TEST_F(Folders, TheMarkerMakesItInstalledAndTheXdgFoldersAreHonoured) {
  dir.write(std::string("lib/fragdock/") + kInstallMarker, "installed");
  const std::string home = dir.folder() + "home/";
  ProgramPlaces places = FindProgramPlaces(program, env);
  EXPECT_TRUE(places.installed);
  EXPECT_EQ(places.program, program);
  EXPECT_EQ(places.settings, home + ".config/fragdock/");
  EXPECT_EQ(places.state, home + ".local/state/fragdock/");
  EXPECT_EQ(places.scratch, home + ".cache/fragdock/");

  places = FindProgramPlaces(program, {home, "/x/config", "/x/state/", "/x/cache"});
  EXPECT_EQ(places.settings, "/x/config/fragdock/");
  EXPECT_EQ(places.state, "/x/state/fragdock/");
  EXPECT_EQ(places.scratch, "/x/cache/fragdock/");

  places = FindProgramPlaces(program, {home, "relative/config", "", "./cache"});
  EXPECT_EQ(places.settings, home + ".config/fragdock/");
  EXPECT_EQ(places.state, home + ".local/state/fragdock/");
  EXPECT_EQ(places.scratch, home + ".cache/fragdock/");
}

TEST_F(Folders, AFolderThisUserCannotWriteIsInstalled) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any folder";
  ::chmod(program.c_str(), 0555);
  const bool installed = FindProgramPlaces(program, env).installed;
  ::chmod(program.c_str(), 0755);
  EXPECT_TRUE(installed);
}

// The user's folders are made with every missing parent, private to their
// owner; folders that exist keep their mode.
TEST_F(Folders, TheUsersFoldersAreMadePrivateOnFirstUse) {
  dir.write(std::string("lib/fragdock/") + kInstallMarker, "installed");
  std::filesystem::create_directories(dir.folder() + "home/.cache");
  ::chmod((dir.folder() + "home/.cache").c_str(), 0755);
  const ProgramPlaces places = FindProgramPlaces(program, env);
  ASSERT_TRUE(MakeProgramPlaces(places).ok());
  for (const std::string* folder : {&places.settings, &places.state, &places.scratch})
    EXPECT_EQ(modeOf(*folder), 0700u) << *folder;
  EXPECT_EQ(modeOf(dir.folder() + "home/.local"), 0700u);
  EXPECT_EQ(modeOf(dir.folder() + "home/.cache"), 0755u);
  ASSERT_TRUE(MakeProgramPlaces(places).ok()) << "making them again changes nothing";
  EXPECT_EQ(std::filesystem::directory_iterator(program)->path().filename(), kInstallMarker)
      << "nothing is written into the program folder";
}

TEST_F(Folders, AFolderThatCannotBeMadeIsNamed) {
  dir.write(std::string("lib/fragdock/") + kInstallMarker, "installed");
  dir.write("home/.local/state", "a file where a folder should be");
  const ProgramPlaces places = FindProgramPlaces(program, env);
  Status made = MakeProgramPlaces(places);
  ASSERT_FALSE(made.ok());
  EXPECT_NE(made.error().text.find(places.state), std::string::npos) << made.error().text;
}

}  // namespace
