// The signals that end a session on Linux (SIGTERM, SIGINT, SIGHUP), turned into a descriptor
// that the X11 driver's one wait watches beside the X connection. Internal to platform/x11.
#pragma once

namespace platform::x11 {

// Installs handlers that only note the signal and wake the wait; the loop does the rest. A
// signal that the process ignores (nohup) or already handles is left as it is. A second signal
// of the same kind takes its default action, so that a program that no longer runs its loop can
// still be ended. One instance at a time; destruction puts the previous handlers back.
class TSessionSignals {
 public:
  TSessionSignals();
  ~TSessionSignals();
  TSessionSignals(const TSessionSignals&) = delete;
  TSessionSignals& operator=(const TSessionSignals&) = delete;

  // Readable after a signal; -1 when none could be made.
  int Descriptor() const;
  // True once for every run of signals since the last call. Costs no system call, so the loop
  // may ask at every look at its queue.
  bool Take();
  // Empties the descriptor once the wait found it readable.
  void Clear();
};

}  // namespace platform::x11
