#pragma once
// A piece of a test run the way the launcher runs once SIGTERM arrives: the
// signal is only noted, as the launcher's own handler notes it so that the
// program ends in its own time. It runs in a child process, for the stop such a
// signal leaves behind lasts for the rest of the process.
#include <functional>

namespace fdk {

// Runs body in a child process whose SIGTERM is only noted; true when body
// returned true there.
bool InChildNotingSigterm(const std::function<bool()>& body);

// Raises SIGTERM, unless it has come already.
void SigtermOnce();

// Whether SIGTERM has come to this process since InChildNotingSigterm began it.
bool SigtermCame();

}  // namespace fdk
