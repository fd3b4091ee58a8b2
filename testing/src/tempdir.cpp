#include "testing/tempdir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fdk {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device rd;
  path_ = fs::temp_directory_path() / ("fdk-test-" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const {
  const fs::path p = path_ / name;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

std::string TempDir::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TempDir::writeFiles(const std::vector<std::pair<std::string, std::string>>& files) const {
  for (const auto& [name, bytes] : files) write(name, bytes);
}

std::string TempDir::writeSparse(const std::string& name, const std::vector<std::uint8_t>& head, std::uint64_t size,
                                 const std::vector<std::uint8_t>& tail) const {
  const std::string p = write(name, head);
  fs::resize_file(p, size - tail.size());
  std::ofstream(p, std::ios::binary | std::ios::app)
      .write(reinterpret_cast<const char*>(tail.data()), static_cast<std::streamsize>(tail.size()));
  return p;
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempDir::exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path_ / name, ec));
}

}  // namespace fdk
