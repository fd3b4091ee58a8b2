#include "core/record/launchrecord.h"

#include <gtest/gtest.h>

using namespace fdk;

namespace {

using Kind = RecordedChange::Kind;

LaunchRecord sample() {
  LaunchRecord r;
  r.game = '2';
  r.root = "/home/me/games/quake 2/";
  r.rootDevice = 2049;
  r.rootInode = 131;
  r.changes = {
      {Kind::Folder, "mymod", "", {}, std::nullopt},
      {Kind::File, "mymod/pak0.pak", "", {}, FileStamp{7, 1700000000, 5}},
      {Kind::Replace, "baseq2/config.cfg", "1", FileStamp{11, 1600000000, 0}, FileStamp{12, 1700000001, 9}},
      {Kind::Remove, "baseq2/q.cfg", "2", FileStamp{3, 1600000000, 1}, std::nullopt},
      {Kind::File, "baseq2/q.cfg", "", {}, std::nullopt},  // the launch stopped before it was complete
      // Names from archives and config sets may hold anything a file name can.
      {Kind::File, "maps/odd\tname\n%20.bsp", "", {}, FileStamp{1, 2, 3}},
  };
  r.started = ProcessIdentity{4242, 987654, 4242};
  return r;
}

TEST(LaunchRecordText, RoundTripsEveryKindOfLine) {
  const LaunchRecord r = sample();
  const std::string text = FormatRecord(r);
  Result<LaunchRecord> back = ParseRecord(text);
  ASSERT_TRUE(back.ok()) << back.error().text;
  EXPECT_EQ(back->game, r.game);
  EXPECT_EQ(back->root, r.root);
  EXPECT_EQ(back->rootDevice, r.rootDevice);
  EXPECT_EQ(back->rootInode, r.rootInode);
  EXPECT_EQ(back->changes, r.changes);
  EXPECT_EQ(back->started, r.started);
  // Every line ends where the record says, whatever the names hold.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4 + 6 + 3 + 1);
}

// A crash may cut the record anywhere: every cut reads back as the changes
// announced before it, never as an error and never as more.
TEST(LaunchRecordText, ACutRecordReadsAsTheLinesItCompleted) {
  const std::string text = FormatRecord(sample());
  const std::size_t headerEnd = FormatRecordHeader(sample()).size();
  std::size_t lastChanges = 0;
  for (std::size_t cut = headerEnd; cut <= text.size(); ++cut) {
    Result<LaunchRecord> back = ParseRecord(text.substr(0, cut));
    ASSERT_TRUE(back.ok()) << "cut at " << cut << ": " << back.error().text;
    EXPECT_GE(back->changes.size(), lastChanges) << cut;
    lastChanges = back->changes.size();
  }
  EXPECT_FALSE(ParseRecord(text.substr(0, headerEnd - 1)).ok()) << "a record without its whole header is not one";
}

TEST(LaunchRecordText, DamagedOrHostileRecordsAreRefused) {
  const std::string header = FormatRecordHeader(sample());
  const std::string rows[] = {
      "",
      "fragdock launch record 2\ngame\t2\nroot\t/q/\nfolder-id\t1\t2\n",
      "fragdock launch record 1\ngame\t3\nroot\t/q/\nfolder-id\t1\t2\n",
      "fragdock launch record 1\ngame\t2\nroot\tq/\nfolder-id\t1\t2\n",
      "fragdock launch record 1\nroot\t/q/\ngame\t2\nfolder-id\t1\t2\n",
      header + "file\t../outside\n",
      header + "file\t/etc/passwd\n",
      header + "file\tmaps/../../x\n",
      header + "file\tmaps//x\n",
      header + "folder\t\n",
      header + "file\tmaps/x%2\n",
      header + "file\tmaps/x%zz\n",
      header + "replace\t../saved\t1\t2\t3\tconfig.cfg\n",
      header + "replace\t1\t1\t2\t3000000000\tconfig.cfg\n",
      header + "made\t1\t2\t3\tnever/announced\n",
      header + "folder\tmaps\nmade\t1\t2\t3\tmaps\n",
      header + "started\t0\t1\t0\n",
      header + "started\tx\t1\t2\n",
      header + "delete\teverything\n",
      header + "file\tmaps/a\textra\n",
  };
  for (const std::string& text : rows) EXPECT_FALSE(ParseRecord(text).ok()) << text;
}

TEST(LaunchRecordPath, OnlyPathsThatStayBelowTheRoot) {
  for (const char* good : {"a", "a/b", "a b/c.pak", ".hidden/x", "a/..b"}) EXPECT_TRUE(IsSafeRecordPath(good)) << good;
  for (const char* bad : {"", "/", "/a", "a/", "a//b", ".", "..", "a/./b", "a/../b", "../a"})
    EXPECT_FALSE(IsSafeRecordPath(bad)) << bad;
}

}  // namespace
