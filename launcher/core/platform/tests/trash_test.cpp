#include "core/platform/trash.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "testing/tempdir.h"

using namespace fdk;

namespace {

struct OwnTrash : ::testing::Test {
  TempDir dir;
  std::string saved;
  void SetUp() override {
    if (const char* old = std::getenv("XDG_DATA_HOME")) saved = old;
    ::setenv("XDG_DATA_HOME", (dir.folder() + "share").c_str(), 1);
  }
  void TearDown() override {
    if (saved.empty()) ::unsetenv("XDG_DATA_HOME");
    else ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  }
};

TEST_F(OwnTrash, FoldersGoWithTheirContentsAndEachKeepsItsOwnName) {
  dir.write("players/male/tris.md2", "mesh");
  dir.write("other/male/tris.md2", "second mesh");
  Result<std::string> first = MoveToTrash(dir.folder() + "players/male/");
  Result<std::string> second = MoveToTrash(dir.folder() + "other/male");
  ASSERT_TRUE(first.ok()) << first.error().text;
  ASSERT_TRUE(second.ok()) << second.error().text;
  EXPECT_EQ(*first, dir.folder() + "share/Trash/files/male");
  EXPECT_EQ(*second, dir.folder() + "share/Trash/files/male.1");
  EXPECT_FALSE(dir.exists("players/male"));
  EXPECT_EQ(dir.read("share/Trash/files/male.1/tris.md2"), "second mesh");
  const std::string info = dir.read("share/Trash/info/male.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir.folder() + "players/male\nDeletionDate=", 0), 0u) << info;
}

TEST_F(OwnTrash, WhatCannotGoStaysWhereItIs) {
  dir.write("share", "a file where the data folder should be");
  EXPECT_FALSE(MoveToTrash(dir.folder() + "missing").ok());
  dir.write("maps/dm1.bsp", "map");
  Result<std::string> moved = MoveToTrash(dir.folder() + "maps/dm1.bsp");
  EXPECT_FALSE(moved.ok());
  EXPECT_EQ(dir.read("maps/dm1.bsp"), "map");
}

}  // namespace
