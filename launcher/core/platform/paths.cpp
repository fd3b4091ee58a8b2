#include "core/platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace fdk {

namespace fs = std::filesystem;

std::string withTrailingSep(std::string folder) {
  if (folder.empty() || folder.back() != kSep) folder.push_back(kSep);
  return folder;
}

bool isAbsolutePath(std::string_view path) { return !path.empty() && path.front() == kSep; }

std::string joinPath(std::string_view folder, std::string_view name) {
  while (!name.empty() && name.front() == kSep) name.remove_prefix(1);
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (out.back() != kSep) out.push_back(kSep);
  out.append(name);
  return out;
}

std::string withoutLastFour(std::string_view name) {
  return std::string(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0));
}

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* pw = getpwuid(getuid());
    home = pw != nullptr ? pw->pw_dir : "/";
  }
  return withTrailingSep(home);
}

std::string executableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return withTrailingSep(fs::current_path(ec).string());
  return withTrailingSep(exe.parent_path().string());
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool folderExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool entryExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool removeFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(path, ec);
  if (!fs::exists(st)) return true;
  if (fs::is_directory(st)) return false;  // never a folder, even an empty one
  fs::remove(path, ec);
  return !ec;
}

}  // namespace fdk
