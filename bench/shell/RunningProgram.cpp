// A program under measurement as a process of its own. Bench support.
#include "bench/shell/RunningProgram.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace bench {

namespace {

long Field(const std::string& text, const std::string& key) {
  const size_t at = text.find("\n" + key + ":");
  return at == std::string::npos ? 0 : std::atol(text.c_str() + at + key.size() + 2);
}

std::string Slurp(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << "\n" << file.rdbuf();
  return text.str();
}

}  // namespace

bool ReadProcessFigures(pid_t pid, TProcessFigures& out) {
  const std::string proc = "/proc/" + std::to_string(pid) + "/";
  const std::string status = Slurp(proc + "status");
  if (status.size() < 2) return false;
  out.residentKb = Field(status, "VmRSS");
  out.anonKb = Field(status, "RssAnon");
  out.fileKb = Field(status, "RssFile");
  out.switches =
      Field(status, "voluntary_ctxt_switches") + Field(status, "nonvoluntary_ctxt_switches");
  out.proportionalKb = Field(Slurp(proc + "smaps_rollup"), "Pss");
  // schedstat: time on the processor, time waiting for it, and the number of timeslices.
  std::ifstream schedstat(proc + "schedstat");
  long long waiting = 0;
  schedstat >> out.cpuNs >> waiting >> out.timeslices;
  // stat: the fields after the command's name, whose closing parenthesis is the last one.
  const std::string stat = Slurp(proc + "stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int i = 3; i < 10 && fields >> field; ++i) {
  }
  fields >> out.pageFaults;
  return true;
}

TRunningProgram::TRunningProgram(const std::string& path) {
  const std::string folder = path.substr(0, path.find_last_of('/'));
  std::string file = path;
  char* argv[] = {file.data(), nullptr};
  FStarted = std::chrono::steady_clock::now();
  FPid = fork();
  if (FPid == 0) {
    // A figures run that is interrupted takes the program with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (chdir(folder.c_str()) != 0) _exit(127);
    execv(argv[0], argv);
    _exit(127);
  }
}

TRunningProgram::~TRunningProgram() {
  Stop();
}

int TRunningProgram::Stop() {
  if (FPid <= 0) return -1;
  kill(FPid, SIGTERM);
  int status = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (waitpid(FPid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(FPid, SIGKILL);
      waitpid(FPid, &status, 0);
      FPid = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  FPid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace bench
