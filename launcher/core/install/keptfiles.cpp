#include "core/install/keptfiles.h"

#include <algorithm>

#include "core/archive/sameness.h"

namespace fdk {

namespace {

constexpr const char* kKeptWhat =
    "These files of your choices were not installed, because a different file of the same name is already in the "
    "game folder";

}  // namespace

void KeptFiles::note(const std::string& name) {
  if (noted_.insert(name).second) names_.push_back(name);
}

void KeptFiles::Compare(Placement& into, const EntryPath& place, const ArchiveRecord& record, const std::string& name) {
  if (noted_.contains(name) || SameAsEntry(into, place, record)) return;
  note(name);
}

void KeptFiles::merge(const KeptFiles& other) {
  for (const std::string& name : other.names_) note(name);
}

void KeptFiles::tellInto(Report& report) const {
  if (names_.empty()) return;
  std::string listed;
  const std::size_t shown = std::min(names_.size(), kKeptNamesShown);
  for (std::size_t i = 0; i < shown; ++i) listed += (i == 0 ? "" : ", ") + names_[i];
  if (names_.size() > shown) listed += " and " + std::to_string(names_.size() - shown) + " more";
  report.skip(kKeptWhat, listed);
}

}  // namespace fdk
