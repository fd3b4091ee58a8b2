#include "testing/endsignal.h"

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace fdk {

namespace {

volatile std::sig_atomic_t gSigtermCame = 0;

void noteSigterm(int) { gSigtermCame = 1; }

}  // namespace

bool InChildNotingSigterm(const std::function<bool()>& body) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    struct sigaction noting {};
    noting.sa_handler = noteSigterm;
    sigemptyset(&noting.sa_mask);
    ::sigaction(SIGTERM, &noting, nullptr);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SigtermOnce() {
  if (gSigtermCame == 0) ::raise(SIGTERM);
}

bool SigtermCame() { return gSigtermCame == 1; }

}  // namespace fdk
