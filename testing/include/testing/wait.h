#pragma once
// Waiting in tests for something another process does: the condition is
// looked at every few milliseconds until it holds or the bound runs out, so a
// test never sleeps longer than it must and never hangs.
#include <chrono>
#include <functional>

namespace fdk {

// True as soon as the condition holds; false when it still does not after `bound`.
bool Eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds bound = std::chrono::milliseconds(60000));

}  // namespace fdk
