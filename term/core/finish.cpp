#include "term/core/finish.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "core/placement/placement.h"

namespace fdk {

void FinishTally::add(const FinishTally& o) {
  records += o.records;
  removedFiles += o.removedFiles;
  putBack += o.putBack;
  removedFolders += o.removedFolders;
  keptChanged += o.keptChanged;
  keptFolders += o.keptFolders;
  leftAlone += o.leftAlone;
  keptCopies.insert(keptCopies.end(), o.keptCopies.begin(), o.keptCopies.end());
  problems.insert(problems.end(), o.problems.begin(), o.problems.end());
  complete = complete && o.complete;
}

namespace {

using Kind = RecordedChange::Kind;

std::string leafOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Finisher {
 public:
  Finisher(const LaunchRecord& record, const GameFolder& folder, const SavedCopies& saved, DryRun* dry)
      : record_(record), folder_(folder), saved_(saved), dry_(dry) {}

  FinishTally run() {
    for (auto it = record_.changes.rbegin(); it != record_.changes.rend(); ++it) step(*it);
    tally_.records = 1;
    return std::move(tally_);
  }

 private:
  void step(const RecordedChange& c) {
    switch (c.kind) {
      case Kind::File: file(c); break;
      case Kind::Replace: replace(c); break;
      case Kind::Remove: remove(c); break;
      case Kind::Folder: folder(c); break;
    }
  }

  std::string full(const RecordedChange& c) const { return record_.root + c.path; }
  bool gameRan() const { return record_.started.has_value(); }

  Presence look(const RecordedChange& c) const {
    if (dry_ != nullptr)
      if (const auto it = dry_->after.find(full(c)); it != dry_->after.end()) return it->second;
    return folder_.Look(c.path);
  }
  void pretend(const RecordedChange& c, Presence now) { dry_->after[full(c)] = now; }

  // A file the launch made: without a stamp to compare, it is the launch's
  // only when the game never ran.
  // A write the launcher was killed in may have left its temporary file: an
  // install's ".fragdock-part-<launcher>.tmpXXXXXX", or the ".<name>.tmpXXXXXX"
  // of a config-set copy or a start script, of exactly that file.
  void sweepTemporaries(const RecordedChange& c) {
    if (dry_ != nullptr || c.after || saved_.launcher <= 0) return;
    folder_.RemoveTemporariesBeside(c.path, PartFilePrefix(saved_.launcher), IsPartFileName);
    const std::string leaf = leafOf(c.path);
    folder_.RemoveTemporariesBeside(c.path, "." + leaf, [&](std::string_view name) { return isTemporaryOf(name, leaf); });
  }

  void file(const RecordedChange& c) {
    sweepTemporaries(c);
    // The removal compares the stamp itself: one walk to the file instead of two.
    if (dry_ == nullptr && c.after) return removeFile(c);
    const Presence now = look(c);
    if (now.kind == Presence::Kind::Missing) return;
    if (now.kind != Presence::Kind::File) return leave(c);
    if (c.after ? now.stamp != *c.after : gameRan()) return keepChanged(c);
    removeFile(c);
  }

  void replace(const RecordedChange& c) {
    sweepTemporaries(c);
    const Presence now = look(c);
    if (now.isFile(c.before)) return;  // put back already by a run that stopped later
    const bool ours = c.after ? now.isFile(*c.after)
                              : !gameRan() && (now.kind == Presence::Kind::File || now.kind == Presence::Kind::Missing);
    if (ours) return putBack(c);
    keepSaved(c);
  }

  void remove(const RecordedChange& c) {
    const Presence now = look(c);
    if (now.kind == Presence::Kind::Missing) return putBack(c);
    if (!now.isFile(c.before)) keepSaved(c);
  }

  void folder(const RecordedChange& c) {
    const Presence now = look(c);
    if (now.kind == Presence::Kind::Missing) return;
    if (dry_ != nullptr) {
      dry_->out << "remove folder " << full(c) << "/ when empty\n";
      return pretend(c, {});
    }
    switch (folder_.RemoveFolderIfEmpty(c.path)) {
      case Removal::Removed: ++tally_.removedFolders; break;
      case Removal::NotEmpty: ++tally_.keptFolders; break;
      case Removal::Missing: break;
      case Removal::Changed:
      case Removal::Refused: ++tally_.leftAlone; break;
      case Removal::Failed: failed("Cannot remove the folder " + full(c), errno); break;
    }
  }

  void removeFile(const RecordedChange& c) {
    if (dry_ != nullptr) {
      dry_->out << "remove " << full(c) << '\n';
      ++tally_.removedFiles;
      return pretend(c, {});
    }
    switch (folder_.RemoveFileIfUnchanged(c.path, c.after)) {
      case Removal::Removed: ++tally_.removedFiles; break;
      case Removal::Changed: ++tally_.keptChanged; break;
      case Removal::Missing: break;
      case Removal::NotEmpty:
      case Removal::Refused: leave(c); break;
      case Removal::Failed: failed("Cannot remove " + full(c), errno); break;
    }
  }

  // A replaced or removed link was saved as a link with the same target.
  bool putBackLink(const RecordedChange& c, const std::string& copy) {
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(copy.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return false;
    target.resize(static_cast<std::size_t>(n));
    if (dry_ != nullptr) {
      dry_->out << "put back the link " << full(c) << '\n';
      ++tally_.putBack;
      return true;
    }
    if (Status back = folder_.PutBackLink(c.path, target, c.before); !back) {
      tally_.problems.push_back(back.error().text + ": " + back.error().detail);
      keepCopy(c);
      return true;
    }
    ++tally_.putBack;
    return true;
  }

  void putBack(const RecordedChange& c) {
    const std::string copy = saved_.folder + c.saved;
    struct stat savedInfo {};
    if (::lstat(copy.c_str(), &savedInfo) == 0 && S_ISLNK(savedInfo.st_mode) && putBackLink(c, copy)) return;
    const int fd = ::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      // Nothing a later run could do better: told, and the record is done.
      tally_.problems.push_back("Cannot put back " + full(c) + ": its saved copy " + copy + " is missing");
      return;
    }
    if (dry_ != nullptr) {
      dry_->out << "put back " << full(c) << '\n';
      ++tally_.putBack;
      pretend(c, {Presence::Kind::File, c.before});
    } else if (Status back = folder_.PutBack(c.path, fd, c.before); back) {
      ++tally_.putBack;
    } else {
      // A later run would meet the same folder: the copy is kept where the
      // player finds it instead, and the record is done.
      tally_.problems.push_back(back.error().text + ": " + back.error().detail);
      ::close(fd);
      return keepCopy(c);
    }
    ::close(fd);
  }

  // The game's file stays; the copy it replaced is kept where the player finds it.
  void keepSaved(const RecordedChange& c) {
    ++tally_.keptChanged;
    keepCopy(c);
  }

  void keepCopy(const RecordedChange& c) {
    // Names stay under the file systems' 255 bytes.
    const std::string kept = saved_.keptFolder + saved_.keptPrefix + c.saved + "-" + leafOf(c.path).substr(0, 160);
    if (dry_ != nullptr) {
      dry_->out << "keep " << full(c) << " and its saved copy as " << kept << '\n';
      tally_.keptCopies.push_back(kept);
      return;
    }
    const std::string copy = saved_.folder + c.saved;
    ::mkdir(saved_.keptFolder.c_str(), 0700);
    struct stat info {};
    if (std::rename(copy.c_str(), kept.c_str()) == 0 || (errno == ENOENT && ::lstat(kept.c_str(), &info) == 0)) {
      tally_.keptCopies.push_back(kept);
    } else if (errno == ENOENT) {
      tally_.problems.push_back("The saved copy " + copy + " of " + full(c) + " is missing");
    } else {
      failed("Cannot keep the saved copy " + copy + " as " + kept, errno);
    }
  }

  void keepChanged(const RecordedChange& c) {
    ++tally_.keptChanged;
    if (dry_ != nullptr) dry_->out << "keep " << full(c) << " (changed since the launch)\n";
  }

  void leave(const RecordedChange& c) {
    ++tally_.leftAlone;
    if (dry_ != nullptr) dry_->out << "leave " << full(c) << " (not a plain file, or reached through a link)\n";
  }

  void failed(std::string what, int error) {
    tally_.problems.push_back(std::move(what) + ": " + std::strerror(error));
    tally_.complete = false;
  }

  const LaunchRecord& record_;
  const GameFolder& folder_;
  const SavedCopies& saved_;
  DryRun* dry_;
  FinishTally tally_;
};

}  // namespace

FinishTally FinishChanges(const LaunchRecord& record, const GameFolder& folder, const SavedCopies& saved,
                          DryRun* dryRun) {
  return Finisher(record, folder, saved, dryRun).run();
}

}  // namespace fdk
