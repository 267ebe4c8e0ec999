// Session signals through a self-pipe: the handler writes one byte, the loop reads it.
// Internal to platform/x11.
#include "platform/x11/SessionSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace platform::x11 {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

// The handler may touch nothing but these.
int pipeEnds[2] = {-1, -1};
volatile sig_atomic_t arrived = 0;

struct sigaction previous[kSignalCount];
bool installed[kSignalCount] = {};

void Note(int) {
  const int saved = errno;
  arrived = 1;
  const char byte = 1;
  // A full pipe already wakes the loop: a lost byte loses nothing.
  [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

TSessionSignals::TSessionSignals() {
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    pipeEnds[0] = pipeEnds[1] = -1;
    return;
  }
  arrived = 0;
  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction current {};
    if (sigaction(kSignals[i], nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the next signal of the kind, while the program shuts down or if it never
    // looks at its queue again, ends the process as it would have without us.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    installed[i] = sigaction(kSignals[i], &action, &previous[i]) == 0;
  }
}

TSessionSignals::~TSessionSignals() {
  for (int i = 0; i < kSignalCount; ++i) {
    if (installed[i]) sigaction(kSignals[i], &previous[i], nullptr);
    installed[i] = false;
  }
  for (int& end : pipeEnds) {
    if (end >= 0) close(end);
    end = -1;
  }
}

int TSessionSignals::Descriptor() const {
  return pipeEnds[0];
}

bool TSessionSignals::Take() {
  if (!arrived) return false;
  arrived = 0;
  return true;
}

void TSessionSignals::Clear() {
  // The note is set before the byte is written, so a byte read here was noted already, even
  // when another thread took the signal.
  char bytes[64];
  while (pipeEnds[0] >= 0 && read(pipeEnds[0], bytes, sizeof bytes) > 0) {
  }
}

}  // namespace platform::x11
