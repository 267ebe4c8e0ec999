// The program under soak as a process: started in a folder of the soak's choice (through a tool
// such as Valgrind when asked), watched through /proc, and ended by its own process id.
// Test tooling (tests/soak).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace soak {

// The figures /proc keeps for a process.
struct TProcessFigures {
  long rssKb = 0;
  long voluntarySwitches = 0;
  long involuntarySwitches = 0;
};

class TProgram {
 public:
  // Runs `command` (the executable first) in `folder`, with `environment` added to the soak's
  // own, its output going to `log`.
  TProgram(const std::vector<std::string>& command, const std::string& folder,
           const std::vector<std::string>& environment, const std::string& log);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  pid_t Pid() const { return FPid; }
  bool Alive();
  // Waits up to `ms` for the process to end; true when it has.
  bool WaitEnd(int ms);
  // "running", "exit N" or "signal N (NAME)".
  std::string HowItEnded() const;
  bool ExitedWith(int code) const;
  // SIGTERM, then SIGKILL when it does not end within `ms`.
  void Terminate(int ms = 5000);
  bool Figures(TProcessFigures& out) const;
  // The processor time it has used, in clock ticks (user and system); 0 once it is gone.
  long ProcessorTicks() const;

 private:
  pid_t FPid = -1;
  bool FEnded = false;
  int FStatus = 0;
};

// Every process the soak starts is noted, so that an interrupted soak (Ctrl-C, a kill) still
// ends them all, by their ids, before it goes.
void NoteChild(pid_t pid);
void ForgetChild(pid_t pid);
void EndChildrenWhenInterrupted();

}  // namespace soak
