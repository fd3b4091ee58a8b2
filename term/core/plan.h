#pragma once
// What the launch installed: the game folder now against its snapshot from
// before the installation, and how an interrupted run's journal joins in.
#include <ctime>
#include <string>
#include <unordered_set>

#include "core/install/snapshot.h"
#include "term/core/gamefolder.h"
#include "term/core/journal.h"

namespace fdk {

// The snapshot's lines as sets, for lookups.
struct SnapshotSets {
  std::unordered_set<std::string> folders;  // full paths, trailing separator
  std::unordered_set<std::string> files;    // full paths
  explicit SnapshotSets(const InstallSnapshot& snapshot);
};

// Every plain file in `now` that the snapshot did not list, and every folder
// that it did not list, becomes an entry, if it is not newer than "list.f"
// (`listWritten`). The launcher writes "list.f" after its last install and
// before it starts the game, so a newer entry was made by the game, which may
// start before this listing. Links and other kinds of entries are never recorded.
Journal PlanInstalled(const GameFolder& folder, const std::string& root, const InstallSnapshot& now,
                      const SnapshotSets& before, const timespec& listWritten);

// Joins an interrupted run's journal of the same game folder into the new
// plan. An old file that the snapshot lists was there before this launch
// (installs never overwrite), so the game may need it now: it is carried into
// the new journal and removed after this game. The other old entries are
// returned in `removeNow` (not listed, not installed again by this launch).
void JoinInterrupted(const Journal& old, const SnapshotSets& before, Journal& plan, Journal& removeNow);

}  // namespace fdk
