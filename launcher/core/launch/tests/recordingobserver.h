#pragma once
// A launch's observer in tests: every call, in order, as one line of text,
// the installs' calls as the install host's double records them, and beside
// them "step <name>", "listed <folder>", "scan begins", "scan ends",
// "Ask <question>" and "left out <report>". Every question gets the set answer.
#include <string>
#include <string_view>
#include <vector>

#include "core/install/tests/recordinghost.h"
#include "core/launch/launchsequence.h"

namespace fdk::testhost {

struct RecordingObserver : RecordingHostOf<LaunchObserver> {
  std::vector<LaunchStep> steps;
  std::vector<std::string> told;  // each left-out report, as its text

  void stepStarted(LaunchStep step) override {
    steps.push_back(step);
    calls.push_back(std::string("step ") + LaunchStepName(step));
  }
  void leftOut(const Report& report) override {
    told.push_back(report.text());
    calls.push_back("left out " + report.text());
  }
  bool Ask(std::string_view question) override {
    calls.push_back("Ask " + std::string(question));
    return answer;
  }
  void ScanBegins() override { calls.push_back("scan begins"); }
  void ScanEnds() override { calls.push_back("scan ends"); }
  void folderEntered(const std::string& folder, std::size_t) override { calls.push_back("listed " + folder); }

  // The index of the first call that begins with text; calls.size() for none.
  std::size_t firstCall(const std::string& text) const {
    for (std::size_t i = 0; i < calls.size(); ++i)
      if (calls[i].rfind(text, 0) == 0) return i;
    return calls.size();
  }
};

}  // namespace fdk::testhost
