// Archives from the internet, made to harm or merely broken: none may write
// outside the destination, leave a partial or temporary file, or crash, and
// the report names every entry left out.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/archive/catalogue.h"
#include "core/archive/tests/fixtures.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;
using namespace fdk::testfix;
using Kind = ArchiveEntry::Kind;
namespace fs = std::filesystem;

namespace {

// The destination sits two folders deep, so that "../../x" would land in the
// test's own folder, where the check below sees it.
constexpr const char* kGame = "x/y/game";

struct Scene {
  TempDir dir;
  Tzipform zip;
  std::string archive = dir.file("a.zip");

  Scene() {
    dir.write("outside/keep.txt", "outside");
    fs::create_directories(dir.file(kGame));
  }
  Status write(const std::vector<ArchiveEntry>& entries) { return WriteArchive(archive, entries); }
  Report extract(bool keepFolders = true, bool overwrite = false) {
    return zip.ExtractArchive("*.*", dir.file(kGame), keepFolders, overwrite);
  }
  // Everything in the test's folder besides the archive and the destination's own parents.
  Names everything() const {
    Names names;
    for (const std::string& n : tree(dir.path()))
      if (n != "a.zip" && n != "x/" && n != "x/y/" && n != "x/y/game/") names.push_back(n);
    return names;
  }
};

Names inGame(const Names& names) {
  Names out = {"outside/", "outside/keep.txt"};
  for (const std::string& n : names) out.push_back(std::string(kGame) + "/" + n);
  std::sort(out.begin(), out.end());
  return out;
}

std::string nestedName(int folders, const std::string& name) {
  std::string nested;
  for (int i = 0; i < folders; ++i) nested += "d/";
  return nested + name;
}

bool reportNames(const Report& report, const std::string& entry, const std::string& reason) {
  for (const Report::Entry& e : report.entries())
    if (e.what == entry && e.why.find(reason) != std::string::npos) return true;
  return false;
}

}  // namespace

TEST(HostileArchive, UnsafeNamesAreSkippedAndReportedAndTheRestIsExtracted) {
  struct Row {
    std::string name;
    std::string reason;
  };
  const std::vector<Row> rows = {
      {"../../evil", ".."},
      {"maps/../../../evil", ".."},
      {"..\\evil", ".."},
      {"..\\..\\evil", ".."},
      {"/abs/evil", "absolute"},
      {"\\abs\\evil", "absolute"},
      {"C:evil", "drive letter"},
      {"c:/evil", "drive letter"},
      {"bad\x01name", "control"},
      {nestedName(33, "evil"), "folders deep"},
      {std::string(1100, 'n'), "bytes long"},
  };
  for (bool keepFolders : {true, false}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name + (keepFolders ? " keeping folders" : " flat"));
      Scene scene;
      ASSERT_TRUE(scene.write({{row.name, "evil"}, {"good.txt", "good"}}).ok());
      ASSERT_TRUE(scene.zip.ListArchive(scene.archive).ok());
      Report report = scene.extract(keepFolders, true);
      EXPECT_EQ(report.size(), 1u) << report.text();
      EXPECT_TRUE(reportNames(report, row.name, row.reason)) << report.text();
      EXPECT_EQ(scene.everything(), inGame({"good.txt"}));
      EXPECT_FALSE(fs::exists("/abs/evil"));
    }
  }
}

TEST(HostileArchive, ALinkEntryIsNeverCreatedAndEntriesBelowItStayInside) {
  Scene scene;
  ASSERT_TRUE(scene
                  .write({{"maps", scene.dir.file("outside"), Kind::Link},
                          {"up", "../../../outside", Kind::Link},
                          {"maps/evil.bsp", "evil"},
                          {"up/evil.txt", "evil"}})
                  .ok());
  ASSERT_TRUE(scene.zip.ListArchive(scene.archive).ok());
  Report report = scene.extract();
  EXPECT_EQ(report.size(), 2u) << report.text();
  EXPECT_TRUE(reportNames(report, "maps", "symbolic link")) << report.text();
  EXPECT_TRUE(reportNames(report, "up", "symbolic link")) << report.text();
  // The files went into real folders of the destination, and nothing is a link.
  EXPECT_EQ(scene.everything(), inGame({"maps/", "maps/evil.bsp", "up/", "up/evil.txt"}));
  EXPECT_FALSE(fs::is_symlink(scene.dir.file(std::string(kGame) + "/maps")));
}

TEST(HostileArchive, AnExistingLinkInTheDestinationIsNeverFollowed) {
  Scene scene;
  fs::create_directory_symlink(scene.dir.file("outside"), scene.dir.file(std::string(kGame) + "/maps"));
  ASSERT_TRUE(
      scene.write({{"maps/evil.bsp", "evil"}, {"MAPS/evil2.bsp", "evil"}, {"maps/sub/", "", Kind::Folder}}).ok());
  ASSERT_TRUE(scene.zip.ListArchive(scene.archive).ok());
  for (bool overwrite : {false, true}) {
    Report report = scene.extract(true, overwrite);
    EXPECT_EQ(report.size(), 3u) << report.text();
    for (const char* name : {"maps/evil.bsp", "MAPS/evil2.bsp", "maps/sub/"})
      EXPECT_TRUE(reportNames(report, name, "symbolic link")) << report.text();
    EXPECT_EQ(scene.everything(), inGame({"maps"}));
  }
}

TEST(HostileArchive, DamagedDataLeavesNoFileAndIsReported) {
  struct Row {
    std::string what;
    std::function<void(const std::string& archive)> damage;
    std::string reason;
  };
  const std::string big(100000, 'b');  // deflates to a few hundred bytes
  const std::vector<Row> rows = {
      {"a flipped byte in stored data", [](const std::string& a) { flipDataByte(a, "victim.bin", 500); }, "damaged"},
      {"a flipped byte in deflated data", [](const std::string& a) { flipDataByte(a, "victim.bin", 20); }, "damaged"},
      {"more data than declared", [](const std::string& a) { declareSize(a, "victim.bin", 1000); }, "inflates past"},
      {"less data than declared", [](const std::string& a) { declareSize(a, "victim.bin", 200000); }, "ends after"},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.what);
    Scene scene;
    const bool stored = i == 0;
    ASSERT_TRUE(scene
                    .write({{"first.txt", "first"},
                            {"victim.bin", stored ? noise(100000) : big, Kind::File, !stored},
                            {"last.txt", "last"}})
                    .ok());
    row.damage(scene.archive);
    Status listed = scene.zip.ListArchive(scene.archive);
    ASSERT_TRUE(listed.ok()) << listed.error().text;
    Report report = scene.extract();
    ASSERT_EQ(report.size(), 1u) << report.text();
    EXPECT_EQ(report.entries()[0].what, "victim.bin");
    EXPECT_NE(report.entries()[0].why.find(row.reason), std::string::npos) << report.text();
    EXPECT_EQ(scene.everything(), inGame({"first.txt", "last.txt"}));
  }
}

TEST(HostileArchive, AnArchiveCutShortAfterListingLeavesNoPartialFile) {
  Scene scene;
  const std::string data = noise(1 << 20);
  ASSERT_TRUE(scene.write({{"first.txt", "first"}, {"big.bin", data, Kind::File, false}}).ok());
  ASSERT_TRUE(scene.zip.ListArchive(scene.archive).ok());
  // The listing keeps the archive open; the file shrinks under it mid-way through big.bin.
  fs::resize_file(scene.archive, 1 << 19);
  Report report = scene.extract();
  ASSERT_EQ(report.size(), 1u) << report.text();
  EXPECT_EQ(report.entries()[0].what, "big.bin");
  EXPECT_EQ(scene.everything(), inGame({"first.txt"}));
}

TEST(HostileArchive, AFullDiskHalfWayLeavesNoPartialFileAndTheRestGoesOn) {
  Scene scene;
  ASSERT_TRUE(scene.write({{"small.txt", "small"}, {"big.bin", noise(1 << 20)}, {"after.txt", "after"}}).ok());
  ASSERT_TRUE(scene.zip.ListArchive(scene.archive).ok());
  // A child whose files may not grow past 256 KiB: writing big.bin fails half-way,
  // as on a full disk (tests run as root, where permission bits stop nothing).
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{256 << 10, 256 << 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string text = scene.extract().text();
    const bool wrote = ::write(pipeFds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::_exit(wrote ? 0 : 1);
  }
  ::close(pipeFds[1]);
  std::string text;
  char chunk[512];
  for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<std::size_t>(n));
  ::close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(text.rfind("big.bin: not extracted: cannot write", 0), 0u) << text;
  EXPECT_EQ(text.find('\n'), std::string::npos) << text;
  EXPECT_EQ(scene.everything(), inGame({"after.txt", "small.txt"}));
}

// A small download that writes gigabytes: entries that share the one deflated
// run, or whose data runs on into the next entry. Such an archive is refused
// whole when it is listed, naming it, so nothing of it can be extracted.
TEST(HostileArchive, EntriesThatOverlapAreRefusedWhenListedAndNothingIsWritten) {
  const std::vector<std::string> shared = {"maps/a.bsp", "maps/b.bsp", "maps/c.bsp", "maps/d.bsp"};
  struct Row {
    std::string what;
    std::function<void(const std::string& archive)> make;
  };
  const std::vector<Row> rows = {
      {"every entry on one local header",
       [&](const std::string& a) {
         ASSERT_TRUE(WriteOverlappingArchive(a, {"maps/a.bsp", std::string(1 << 20, '\0')}, shared).ok());
       }},
      {"data running into the next entry's header",
       [](const std::string& a) {
         ASSERT_TRUE(WriteArchive(a, {{"first.bin", noise(100), Kind::File, false}, {"second.txt", "second"}}).ok());
         std::string zip = readBytes(a);
         const HeaderAt first = findHeaders(zip, "first.bin");
         put32(zip, first.central + 20, 110);
         writeBytes(a, zip);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scene scene;
    row.make(scene.archive);
    Status listed = scene.zip.ListArchive(scene.archive);
    ASSERT_FALSE(listed.ok());
    EXPECT_NE(listed.error().text.find(scene.archive), std::string::npos) << listed.error().text;
    EXPECT_EQ(listed.error().kind, ErrorKind::Damaged) << listed.error().text;
    EXPECT_TRUE(scene.zip.empty());
    EXPECT_TRUE(scene.extract().empty());
    EXPECT_EQ(scene.everything(), inGame({}));
  }
}
