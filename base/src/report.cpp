#include "base/report.h"

namespace fdk {

std::string Report::text() const {
  std::string out;
  for (const Entry& e : entries_) {
    if (!out.empty()) out += '\n';
    out += e.what + ": " + e.why;
  }
  return out;
}

}  // namespace fdk
