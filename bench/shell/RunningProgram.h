// A program under measurement as a process of its own: started from its own folder, ended at
// the end, and its memory and scheduling figures read from /proc. Bench support.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace bench {

// What /proc tells about a process at one moment.
struct TProcessFigures {
  long residentKb = 0;       // VmRSS: every page of the process in memory, shared ones included
  long anonKb = 0;           // RssAnon: its private memory
  long fileKb = 0;           // RssFile: pages of the program file, libraries and fonts
  long proportionalKb = 0;   // Pss: shared pages divided among the processes that map them
  long long switches = 0;    // voluntary and involuntary context switches
  long long timeslices = 0;  // times it was given the processor (schedstat)
  long long cpuNs = 0;       // time it ran on the processor (schedstat)
  long long pageFaults = 0;  // pages it touched first (minor faults, /proc/PID/stat)
};
bool ReadProcessFigures(pid_t pid, TProcessFigures& out);

class TRunningProgram {
 public:
  // Starts `path` with its own folder as the working folder (so that MorCalvix finds its own
  // file there); Started() is the moment just before the process was made.
  explicit TRunningProgram(const std::string& path);
  // Ends the process: SIGTERM, as a session manager would, then SIGKILL after five seconds.
  ~TRunningProgram();
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;

  pid_t Pid() const { return FPid; }
  std::chrono::steady_clock::time_point Started() const { return FStarted; }
  // Ends it now; the exit status, or -1 when it had to be killed.
  int Stop();

 private:
  pid_t FPid = -1;
  std::chrono::steady_clock::time_point FStarted{};
};

}  // namespace bench
