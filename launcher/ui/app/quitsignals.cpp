#include "app/quitsignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace fdk {

namespace {
int gPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe, read by the event loop.
void onSignalRaw(int) {
  char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(gPipe[1], &byte, 1);
}
}  // namespace

void InstallQuitSignals(std::function<void()> onSignal) {
  if (gPipe[0] >= 0 || ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal = std::move(onSignal)] {
    char buffer[16];
    while (::read(gPipe[0], buffer, sizeof buffer) > 0) {
    }
    onSignal();
  });
  struct sigaction action {};
  action.sa_handler = onSignalRaw;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace fdk
