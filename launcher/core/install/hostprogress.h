#pragma once
// An extraction's progress handed on to an install's host: each entry done
// with, and the bytes written inside a large one.
#include "core/archive/catalogue.h"
#include "core/install/installhost.h"

namespace fdk {

class HostProgress : public ExtractObserver {
 public:
  explicit HostProgress(InstallHost& host) : host_(host) {}
  void EntryDone(const ArchiveRecord&, std::uint64_t bytes) override { host_.done(bytes); }
  void EntryProgress(const ArchiveRecord&, std::uint64_t bytesDone) override { host_.within(bytesDone); }

 private:
  InstallHost& host_;
};

}  // namespace fdk
