#pragma once
// A fresh folder under the system's temporary folder for one test, removed with
// everything in it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fdk {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder with a trailing separator, the way folder settings hold it.
  std::string folder() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

  // Writes a file (making its folders) and returns its path.
  std::string write(const std::string& name, std::string_view bytes) const;
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  // Writes each file of a table: its name, then its bytes.
  void writeFiles(const std::vector<std::pair<std::string, std::string>>& files) const;
  // `head` at the start, `tail` at the end and a hole between them up to `size`
  // bytes: a huge file that costs no disk space.
  std::string writeSparse(const std::string& name, const std::vector<std::uint8_t>& head, std::uint64_t size,
                          const std::vector<std::uint8_t>& tail = {}) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace fdk
