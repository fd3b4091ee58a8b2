#include "term/core/plan.h"

#include <algorithm>

namespace fdk {

SnapshotSets::SnapshotSets(const InstallSnapshot& snapshot)
    : folders(snapshot.lbv.begin(), snapshot.lbv.end()), files(snapshot.lbf.begin(), snapshot.lbf.end()) {}

namespace {

bool notNewer(const struct stat& info, const timespec& limit) {
  const timespec& t = info.st_mtim;
  return t.tv_sec < limit.tv_sec || (t.tv_sec == limit.tv_sec && t.tv_nsec <= limit.tv_nsec);
}

// The part of a full path below root; empty when it is not below root or
// cannot be walked safely (a name with a line break could not be written to the lists either).
std::string relativeTo(const std::string& root, const std::string& path) {
  if (path.size() <= root.size() || path.compare(0, root.size(), root) != 0) return {};
  std::string relative = path.substr(root.size());
  if (!relative.empty() && relative.back() == '/') relative.pop_back();
  return IsSafeRelativePath(relative) ? relative : std::string();
}

}  // namespace

Journal PlanInstalled(const GameFolder& folder, const std::string& root, const InstallSnapshot& now,
                      const SnapshotSets& before, const timespec& listWritten) {
  Journal plan;
  plan.root = root;
  for (const std::string& path : now.lbf) {
    if (before.files.count(path) != 0) continue;
    const std::string relative = relativeTo(root, path);
    if (relative.empty()) continue;
    const std::optional<struct stat> info = folder.Lstat(relative);
    if (info && S_ISREG(info->st_mode) && notNewer(*info, listWritten))
      plan.files.push_back(JournalFile{relative, StampOf(*info), false});
  }
  for (const std::string& path : now.lbv) {
    if (before.folders.count(path) != 0) continue;
    const std::string relative = relativeTo(root, path);
    if (relative.empty()) continue;
    const std::optional<struct stat> info = folder.Lstat(relative);
    if (info && S_ISDIR(info->st_mode) && notNewer(*info, listWritten)) plan.folders.push_back(JournalFolder{relative, false});
  }
  return plan;
}

void JoinInterrupted(const Journal& old, const SnapshotSets& before, Journal& plan, Journal& removeNow) {
  removeNow.root = old.root;
  removeNow.game = old.game;
  auto plannedFile = [&plan](const std::string& path) {
    return std::any_of(plan.files.begin(), plan.files.end(), [&](const JournalFile& f) { return f.path == path; });
  };
  auto plannedFolder = [&plan](const std::string& path) {
    return std::any_of(plan.folders.begin(), plan.folders.end(), [&](const JournalFolder& f) { return f.path == path; });
  };
  for (const JournalFile& file : old.files) {
    if (plannedFile(file.path)) continue;  // installed again by this launch: recorded afresh
    if (before.files.count(old.root + file.path) != 0) {
      plan.files.push_back(JournalFile{file.path, file.stamp, true});
    } else {
      removeNow.files.push_back(file);
    }
  }
  for (const JournalFolder& folder : old.folders) {
    if (plannedFolder(folder.path)) continue;
    if (before.folders.count(old.root + folder.path + "/") != 0) {
      plan.folders.push_back(JournalFolder{folder.path, true});
    } else {
      removeNow.folders.push_back(folder);
    }
  }
}

}  // namespace fdk
