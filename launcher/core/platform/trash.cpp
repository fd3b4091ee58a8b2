#include "core/platform/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/pathsplit.h"
#include "core/platform/paths.h"

namespace fdk {

namespace {

// Trash info files name the original path as a URL path: bytes outside the
// unreserved set are percent-encoded.
std::string urlPath(const std::string& path) {
  std::string out;
  for (unsigned char c : path) {
    const bool plain = std::isalnum(c) || std::strchr("/-_.~", c) != nullptr;
    if (plain) out += static_cast<char>(c);
    else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string now() {
  char text[32] = "";
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&t, &local) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

bool sameDisk(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::lstat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

// Claims a name in the trash by creating its info file exclusively, so two
// deletions of "male" never take the same name.
Result<std::string> claimName(const std::string& trash, const std::string& name, const std::string& from) {
  const std::string info = "[Trash Info]\nPath=" + urlPath(from) + "\nDeletionDate=" + now() + "\n";
  for (int n = 0; n < 1000; ++n) {
    const std::string candidate = n == 0 ? name : name + "." + std::to_string(n);
    const std::string infoPath = trash + "info/" + candidate + ".trashinfo";
    const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return Error{"Cannot write into the trash " + trash + ": " + std::strerror(errno)};
    }
    const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    ::close(fd);
    if (written && !entryExists(trash + "files/" + candidate)) return candidate;
    ::unlink(infoPath.c_str());
    if (!written) return Error{"Cannot write into the trash " + trash};
  }
  return Error{"The trash holds too many entries named " + name};
}

}  // namespace

std::string TrashFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base = data != nullptr && *data == '/' ? withTrailingSep(data) : homeFolder() + ".local/share/";
  return base + "Trash/";
}

Result<std::string> MoveToTrash(const std::string& path) {
  std::string from = path;
  while (from.size() > 1 && from.back() == '/') from.pop_back();
  const std::string trash = TrashFolder();
  std::error_code ec;
  std::filesystem::create_directories(trash + "files", ec);
  std::filesystem::create_directories(trash + "info", ec);
  if (!folderExists(trash + "files") || !folderExists(trash + "info"))
    return Error{"There is no trash folder at " + trash};
  if (!sameDisk(from, trash + "files")) return Error{from + " is not on the disk of the trash " + trash};
  Result<std::string> name = claimName(trash, fileNamePart(from), std::filesystem::absolute(from).string());
  if (!name) return name.error();
  const std::string target = trash + "files/" + *name;
  if (std::rename(from.c_str(), target.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink((trash + "info/" + *name + ".trashinfo").c_str());
    return Error{"Cannot move " + from + " to the trash: " + why};
  }
  return target;
}

}  // namespace fdk
