// A fatal condition: the message the user sees in the "Error" box, exactly as
// the viewer has always worded it, and the reader's detail (file, expected,
// found) that goes to stderr beside it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace meshpeek {

struct Failure {
  std::string message;
  std::string detail;
};

template <class T>
using Outcome = std::variant<T, Failure>;

template <class T>
bool failed(const Outcome<T>& o) { return o.index() == 1; }

}  // namespace meshpeek
