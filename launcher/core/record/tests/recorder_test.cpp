#include "core/record/recorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "core/platform/processes.h"
#include "testing/tempdir.h"
#include "testing/wait.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {

using Kind = RecordedChange::Kind;

struct Recording {
  TempDir dir;
  std::string root = dir.folder() + "game/";
  std::optional<LaunchRecorder> recorder;

  Recording() {
    fs::create_directories(dir.file("game/baseq2"));
    fs::create_directories(dir.file("prog"));
    Result<LaunchRecorder> made = LaunchRecorder::Create(dir.folder() + "prog/", '2', root);
    EXPECT_TRUE(made.ok()) << made.error().text;
    if (made) recorder.emplace(std::move(*made));
  }
  LaunchRecord read() const {
    Result<std::string> text = readWholeFile(recorder->path());
    EXPECT_TRUE(text.ok());
    Result<LaunchRecord> record = ParseRecord(text ? *text : "");
    EXPECT_TRUE(record.ok()) << record.error().text;
    return record ? *record : LaunchRecord{};
  }
  std::string saved(const std::string& name) const {
    std::string p = recorder->path();
    return p.substr(0, p.size() - std::string(".record").size()) + ".saved/" + name;
  }
  // Writes a file the way an install does, told to the recorder.
  void write(const std::string& relative, const std::string& bytes) {
    ASSERT_TRUE(
        RecordedWrite(&*recorder, root + relative, [&] { return writeFileAtomically(root + relative, bytes); }).ok());
  }
};

FileStamp stampAt(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return FileStamp{static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

bool lockedByOthers(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_GE(fd, 0) << path;
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return locked;
}

}  // namespace

TEST(LaunchRecorder, EveryChangeReadsBackWithItsStampsAndSavedCopies) {
  Recording r;
  const std::string original("old\0config\r\n", 12);
  r.dir.write("game/baseq2/config.cfg", original);
  r.dir.write("game/baseq2/q.cfg", "map base1\r\n");
  fs::create_symlink("/etc/hostname", r.dir.file("game/baseq2/autoexec.cfg"));
  const FileStamp configBefore = stampAt(r.root + "baseq2/config.cfg");
  const FileStamp qBefore = stampAt(r.root + "baseq2/q.cfg");
  const FileStamp linkBefore = stampAt(r.root + "baseq2/autoexec.cfg");

  ASSERT_TRUE(r.recorder->BeforeFolder(r.root + "mymod/").ok());
  fs::create_directory(r.root + "mymod");
  r.write("mymod/pak0.pak", "PACK");
  r.write("baseq2/config.cfg", "new");
  ASSERT_TRUE(r.recorder->BeforeRemove(r.root + "baseq2/q.cfg").ok());
  fs::remove(r.root + "baseq2/q.cfg");
  r.write("baseq2/q.cfg", "map q2dm1\r\n");
  r.write("baseq2/autoexec.cfg", "bind x y");
  ASSERT_TRUE(r.recorder->BeforeRemove(r.root + "baseq2/never-there.cfg").ok());  // nothing there: nothing recorded
  ASSERT_TRUE(r.recorder->GameStarted(ProcessIdentity{4242, 99, 4242}).ok());

  const LaunchRecord back = r.read();
  struct stat root {};
  ASSERT_EQ(::stat(r.root.c_str(), &root), 0);
  EXPECT_EQ(back.game, '2');
  EXPECT_EQ(back.root, r.root);
  EXPECT_EQ(back.rootDevice, root.st_dev);
  EXPECT_EQ(back.rootInode, root.st_ino);
  const std::vector<RecordedChange> expected = {
      {Kind::Folder, "mymod", "", {}, std::nullopt},
      {Kind::File, "mymod/pak0.pak", "", {}, stampAt(r.root + "mymod/pak0.pak")},
      {Kind::Replace, "baseq2/config.cfg", "1", configBefore, stampAt(r.root + "baseq2/config.cfg")},
      {Kind::Remove, "baseq2/q.cfg", "2", qBefore, std::nullopt},
      {Kind::File, "baseq2/q.cfg", "", {}, stampAt(r.root + "baseq2/q.cfg")},
      {Kind::Replace, "baseq2/autoexec.cfg", "3", linkBefore, stampAt(r.root + "baseq2/autoexec.cfg")},
  };
  EXPECT_EQ(back.changes, expected);
  EXPECT_EQ(back.started, (ProcessIdentity{4242, 99, 4242}));

  // The saved copies are what was there, byte for byte; the link as a link.
  EXPECT_EQ(readWholeFile(r.saved("1")).value(), original);
  EXPECT_EQ(stampAt(r.saved("1")), configBefore) << "the copy keeps the time it had";
  EXPECT_EQ(readWholeFile(r.saved("2")).value(), "map base1\r\n");
  ASSERT_TRUE(fs::is_symlink(r.saved("3")));
  EXPECT_EQ(fs::read_symlink(r.saved("3")), "/etc/hostname");
}

TEST(LaunchRecorder, PathsItCannotStandForAreRefusedAndLeaveNoLine) {
  Recording r;
  TempDir outside;
  fs::create_directory_symlink(outside.path(), r.dir.file("game/linked"));
  ::mkfifo(r.dir.file("game/baseq2/pipe").c_str(), 0600);
  const std::string headerOnly = readWholeFile(r.recorder->path()).value();
  const std::string refused[] = {
      outside.folder() + "x.cfg",      // not below the game folder
      r.dir.folder() + "gamex/x.cfg",  // only its name begins the same
      r.root,                          // the game folder itself
      r.root + "../escape.cfg",        // leaves it
      r.root + "baseq2//x.cfg",        // an empty name
      r.root + "baseq2/./x.cfg",       // a "." part
      r.root + "linked/x.cfg",         // reached through a link
      r.root + "baseq2/pipe",          // neither a file nor a link
  };
  for (const std::string& path : refused) {
    EXPECT_FALSE(r.recorder->BeforeWrite(path).ok()) << path;
    EXPECT_FALSE(r.recorder->BeforeRemove(path).ok()) << path;
  }
  EXPECT_FALSE(r.recorder->BeforeFolder(outside.folder() + "mod/").ok());
  EXPECT_FALSE(r.recorder->AfterWrite(r.root + "baseq2/unannounced.cfg").ok());
  EXPECT_EQ(readWholeFile(r.recorder->path()).value(), headerOnly);
  EXPECT_TRUE(fs::is_empty(outside.path()));
}

// The game and the clean-up tool are started while the recorder lives: the
// lock must end with the recorder, not with the last program that inherited it.
TEST(LaunchRecorder, HoldsItsRecordLockedForItsLifeOnly) {
  Recording r;
  const std::string path = r.recorder->path();
  EXPECT_TRUE(lockedByOthers(path));
  struct stat folder {};
  ASSERT_EQ(::stat(RecordsFolder(r.dir.folder() + "prog/").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  ProcessLayer processes;
  Result<pid_t> child = processes.Start("/bin/sleep 30", r.dir.folder());
  ASSERT_TRUE(child.ok()) << child.error().text;
  r.recorder.reset();
  // A program just started may still hold the descriptor for a moment: the
  // system closes it while it starts the program, after the start returned.
  EXPECT_TRUE(Eventually([&] { return !lockedByOthers(path); }, std::chrono::seconds(5)))
      << "a started program holds the record's lock";
  ::kill(*child, SIGKILL);
  Eventually([&] { return processes.runningCount() == 0; }, std::chrono::seconds(5));
  EXPECT_TRUE(fs::exists(path)) << "the record outlives its recorder";
}

TEST(LaunchRecorder, IdsSortAsTheLaunchesHappened) {
  EXPECT_EQ(RecordId('2', 1700000000, 5, 77), "2-00000000001700000000.000000005-77");
  const std::string ids[] = {
      RecordId('1', 9, 999999999, 99999),
      RecordId('1', 10, 0, 2),
      RecordId('1', 10, 1, 1),
      RecordId('1', 1700000000, 0, 1),
  };
  for (std::size_t i = 1; i < std::size(ids); ++i) EXPECT_LT(ids[i - 1], ids[i]);
}
