#include "termtesting.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace fdk::termtest {

namespace fs = std::filesystem;

FileStamp StampAt(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return FileStamp{static_cast<std::uint64_t>(info.st_size), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

void WriteFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

Rig::Rig() {
  fs::create_directories(records);
  WriteFile(root + "baseq2/pak0.pak", "pak0");
  WriteFile(root + "baseq2/config.cfg", "bind x jump");
}

std::string Rig::log() const {
  std::ifstream in(program + "term.log");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Launch::Launch(Rig& rig, int seq, char game) : rig_(rig) {
  char id[64];
  std::snprintf(id, sizeof id, "%c-%020d.%09d-%d", game, 1700000000 + seq, seq, 4000 + seq);
  id_ = id;
  record_.game = game;
  record_.root = rig.root;
  struct stat info {};
  EXPECT_EQ(::stat(rig.root.c_str(), &info), 0);
  record_.rootDevice = info.st_dev;
  record_.rootInode = info.st_ino;
}

std::string Launch::path() const { return rig_.records + id_ + ".record"; }

Launch& Launch::folder(const std::string& path) {
  fs::create_directory(rig_.root + path);
  record_.changes.push_back({RecordedChange::Kind::Folder, path, {}, {}, {}});
  return *this;
}

Launch& Launch::file(const std::string& path, const std::string& content, bool completed) {
  WriteFile(rig_.root + path, content);
  RecordedChange change{RecordedChange::Kind::File, path, {}, {}, {}};
  if (completed) change.after = StampAt(rig_.root + path);
  record_.changes.push_back(change);
  return *this;
}

std::string Launch::save(const std::string& path) {
  const std::string name = std::to_string(++saved_);
  const std::string folder = rig_.records + id_ + ".saved/";
  fs::create_directories(folder);
  fs::copy_file(rig_.root + path, folder + name);
  return name;
}

Launch& Launch::replace(const std::string& path, const std::string& content, bool completed) {
  RecordedChange change{RecordedChange::Kind::Replace, path, save(path), StampAt(rig_.root + path), {}};
  WriteFile(rig_.root + path, content);
  if (completed) change.after = StampAt(rig_.root + path);
  record_.changes.push_back(change);
  return *this;
}

Launch& Launch::remove(const std::string& path) {
  record_.changes.push_back({RecordedChange::Kind::Remove, path, save(path), StampAt(rig_.root + path), {}});
  fs::remove(rig_.root + path);
  return *this;
}

Launch& Launch::started(const ProcessIdentity& game) {
  record_.started = game;
  return *this;
}

std::string Launch::write() const {
  std::ofstream(path(), std::ios::binary | std::ios::trunc) << FormatRecord(record_);
  return path();
}

}  // namespace fdk::termtest
