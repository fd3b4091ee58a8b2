#pragma once
// What writes into a game folder tells before and after each change, so that
// the change can be undone later. Every path is absolute and lies below the
// game folder. A call that fails means the change could not be written down:
// the caller must then not make it, and reports it like any failed write.
#include <string>

#include "base/result.h"

namespace fdk {

class ChangeRecorder {
 public:
  virtual ~ChangeRecorder() = default;

  // A folder is about to be made.
  virtual Status BeforeFolder(const std::string& path) = 0;
  // A file is about to be written: a new one, or one that replaces what is
  // there (whose content is kept first).
  virtual Status BeforeWrite(const std::string& path) = 0;
  // The file announced by the last BeforeWrite of the path is complete.
  virtual Status AfterWrite(const std::string& path) = 0;
  // A file is about to be removed (its content is kept first). Nothing there
  // records nothing.
  virtual Status BeforeRemove(const std::string& path) = 0;
};

// Writes one file through `write`, told to the recorder around it when there
// is one. A refused announcement writes nothing.
template <typename Write>
Status RecordedWrite(ChangeRecorder* recorder, const std::string& path, Write&& write) {
  if (recorder != nullptr)
    if (Status announced = recorder->BeforeWrite(path); !announced) return announced;
  if (Status written = write(); !written) return written;
  return recorder != nullptr ? recorder->AfterWrite(path) : Status{};
}

}  // namespace fdk
