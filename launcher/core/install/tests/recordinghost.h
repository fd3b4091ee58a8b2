#pragma once
// An install's host in tests: every call, in order, as one line of text
// ("begin Processing Maps", "counted 1000", "second pass", "done 1000",
// "within 512", "ask <question>", "end"), the counters the progress window
// would show, a set answer to every question, and what else happens each time
// an entry is done (a signal, say). Base is the interface the calls arrive
// through: an install's host, or a launch's observer, which is one.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/install/installhost.h"
#include "core/work/progress.h"

namespace fdk::testhost {

template <class Base = InstallHost>
struct RecordingHostOf : Base {
  std::vector<std::string> calls;
  ProgressCounters counters;
  bool answer = false;
  std::function<void()> afterDone;

  void begin(const std::string& title) override { calls.push_back("begin " + title); }
  void counted(std::uint64_t bytes) override {
    counters.add(false, bytes);
    calls.push_back("counted " + std::to_string(bytes));
  }
  void secondPass() override { calls.push_back("second pass"); }
  void done(std::uint64_t bytes) override {
    counters.add(true, bytes);
    calls.push_back("done " + std::to_string(bytes));
    if (afterDone) afterDone();
  }
  void within(std::uint64_t bytes) override { calls.push_back("within " + std::to_string(bytes)); }
  bool ask(const std::string& question) override {
    calls.push_back("ask " + question);
    return answer;
  }
  void end() override { calls.push_back("end"); }

  // The calls that begin with word ("begin", "ask", "end", ...).
  std::vector<std::string> only(const std::string& word) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
      if (call == word || call.rfind(word + " ", 0) == 0) found.push_back(call);
    return found;
  }
  // Whether the calls form one run: begin, what the first pass counted, the
  // second pass, what it did, end; or no call at all.
  bool oneRunOrNone() const {
    if (calls.empty()) return true;
    if (only("begin").size() != 1 || only("second pass").size() != 1 || only("end").size() != 1) return false;
    if (calls.front().rfind("begin ", 0) != 0 || calls.back() != "end") return false;
    const auto second = std::find(calls.begin(), calls.end(), "second pass");
    const auto counted = [](const std::string& call) { return call.rfind("counted ", 0) == 0; };
    return std::all_of(calls.begin() + 1, second, counted) && std::none_of(second, calls.end(), counted);
  }
};

using RecordingHost = RecordingHostOf<>;

}  // namespace fdk::testhost
