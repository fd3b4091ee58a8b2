#pragma once
// What an installation shows and asks while it runs: the progress window and a
// Yes/No question in the program, a recorder in tests.
#include <cstdint>
#include <string>

namespace fdk {

class InstallHost {
 public:
  virtual ~InstallHost() = default;
  // A run starts: its title ("Processing MOD"), the bar at its start.
  virtual void begin(const std::string& title) = 0;
  // First pass: an entry's bytes are added to the total.
  virtual void counted(std::uint64_t bytes) = 0;
  // The extraction starts.
  virtual void secondPass() = 0;
  // Second pass: an entry is done with (written, kept or skipped).
  virtual void done(std::uint64_t bytes) = 0;
  // Bytes written so far of the entry being extracted, for entries large
  // enough that the bar should move while they are written.
  virtual void within(std::uint64_t /*bytes*/) {}
  // A Yes/No question; true for Yes.
  virtual bool ask(const std::string& question) = 0;
  // The run is over.
  virtual void end() = 0;
};

}  // namespace fdk
