#pragma once
// SIGTERM and SIGINT end the launcher the way its close button does, so a logout
// or Ctrl+C never loses the settings of the run.
#include <functional>

namespace fdk {

// Calls onSignal on the user-interface thread when either signal arrives.
void InstallQuitSignals(std::function<void()> onSignal);

}  // namespace fdk
