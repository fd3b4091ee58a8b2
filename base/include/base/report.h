#pragma once
// Batch work (copies, extractions, installations) goes on past what it cannot
// do; a Report collects what was left out and why, to be told once at the end.
#include <string>
#include <vector>

namespace fdk {

// Nodiscard: a report dropped unread is work that failed without anyone told.
class [[nodiscard]] Report {
 public:
  struct Entry {
    std::string what;  // the file or entry left out
    std::string why;
  };

  void skip(std::string what, std::string why) { entries_.push_back({std::move(what), std::move(why)}); }
  void merge(const Report& other) { entries_.insert(entries_.end(), other.entries_.begin(), other.entries_.end()); }

  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  const std::vector<Entry>& entries() const { return entries_; }

  // One line per entry, "what: why", without a final line end.
  std::string text() const;

 private:
  std::vector<Entry> entries_;
};

}  // namespace fdk
