#include "core/install/keptfiles.h"

#include <algorithm>

#include "base/text.h"
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
  const std::size_t shown = std::min(names_.size(), kKeptNamesShown);
  std::string listed = joinedText(std::span(names_).first(shown));
  if (names_.size() > shown) listed += " and " + std::to_string(names_.size() - shown) + " more";
  report.skip(kKeptWhat, listed);
}

}  // namespace fdk
