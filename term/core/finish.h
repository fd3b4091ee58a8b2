#pragma once
// Finishing one launch record: its changes undone in the reverse order of
// recording, each only while the game folder still shows what the launch left
// there. What the game or the player changed since stays, and so does the
// saved copy it would have replaced. Every step is safe to repeat, so a run
// stopped half-way is finished by the next.
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

#include <sys/types.h>

#include "core/record/launchrecord.h"
#include "term/core/gamefolder.h"

namespace fdk {

struct FinishTally {
  std::size_t records = 0, removedFiles = 0, putBack = 0, removedFolders = 0;
  std::size_t keptChanged = 0;          // files the game or the player changed (or made) since the launch
  std::size_t keptFolders = 0;          // folders that still hold something
  std::size_t leftAlone = 0;            // links or other entries where a file or folder was recorded
  std::vector<std::string> keptCopies;  // where saved copies of kept files are now
  std::vector<std::string> problems;    // what could not be done, naming the file
  // False when a step failed that a later run may still manage: the record stays.
  bool complete = true;

  void add(const FinishTally& other);
};

// Where a record's saved copies are and where one goes that has to be kept,
// and which process made the record.
struct SavedCopies {
  std::string folder;      // "<records>/<id>.saved/"
  std::string keptFolder;  // "<records>/kept/"
  std::string keptPrefix;  // "<id>-"
  // The launcher that wrote the record (the id's last part): a write it was
  // killed in left a temporary file named after it beside the target.
  pid_t launcher = -1;
};

// A dry run prints one line per step instead of taking it, and remembers what
// the folder would look like after it, so the steps of an earlier record of
// the same folder are told as they would happen after the later one's.
struct DryRun {
  std::ostream& out;
  std::unordered_map<std::string, Presence> after;  // by root + path
};

FinishTally FinishChanges(const LaunchRecord& record, const GameFolder& folder, const SavedCopies& saved,
                          DryRun* dryRun = nullptr);

}  // namespace fdk
