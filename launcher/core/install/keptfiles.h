#pragma once
// Installs never replace a file in the game folder, so a MOD installed over
// an earlier one keeps the earlier one's files. The files kept that way which
// differ from what the player chose did not take effect, and the player is
// told their names once, with the rest of what a launch left out. A kept file
// with the same bytes changed nothing and is not named.
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/report.h"
#include "core/archive/catalogue.h"
#include "core/placement/placement.h"

namespace fdk {

// The names told at most; the rest are counted.
inline constexpr std::size_t kKeptNamesShown = 20;

class KeptFiles {
 public:
  // Notes the file at place by name (its path in the game folder) unless it
  // holds exactly the entry's data; a name noted before is not noted again.
  void Compare(Placement& into, const EntryPath& place, const ArchiveRecord& record, const std::string& name);
  void merge(const KeptFiles& other);

  bool empty() const { return names_.empty(); }
  // In the order they were met.
  const std::vector<std::string>& names() const { return names_; }

  // One entry naming them, at most kKeptNamesShown, then "and N more";
  // nothing when none was noted.
  void tellInto(Report& report) const;

 private:
  void note(const std::string& name);

  std::vector<std::string> names_;
  std::unordered_set<std::string> noted_;
};

}  // namespace fdk
