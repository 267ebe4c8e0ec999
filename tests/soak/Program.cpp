// The program under soak as a process. Test tooling (tests/soak).
#include "tests/soak/Program.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace soak {

namespace {

constexpr int kMaxChildren = 64;
volatile sig_atomic_t children[kMaxChildren] = {};

void EndChildren(int sig) {
  for (int i = kMaxChildren; i-- > 0;)
    if (children[i] > 0) kill(pid_t(children[i]), SIGTERM);
  _exit(128 + sig);
}

}  // namespace

void NoteChild(pid_t pid) {
  for (auto& child : children)
    if (child == 0) {
      child = pid;
      return;
    }
}

void ForgetChild(pid_t pid) {
  for (auto& child : children)
    if (child == pid) child = 0;
}

void EndChildrenWhenInterrupted() {
  signal(SIGINT, EndChildren);
  signal(SIGTERM, EndChildren);
  signal(SIGHUP, EndChildren);
}

TProgram::TProgram(const std::vector<std::string>& command, const std::string& folder,
                   const std::vector<std::string>& environment, const std::string& log) {
  FPid = fork();
  if (FPid > 0) NoteChild(FPid);
  if (FPid != 0) return;
  // In the child: its own process group, so that ending it never reaches the soak.
  setpgid(0, 0);
  const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (out >= 0) {
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    close(out);
  }
  for (const std::string& assignment : environment)
    putenv(strdup(assignment.c_str()));
  if (chdir(folder.c_str()) != 0) _exit(127);
  std::vector<char*> argv;
  for (const std::string& word : command)
    argv.push_back(strdup(word.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

TProgram::~TProgram() {
  if (FPid > 0 && !FEnded) Terminate(2000);
}

bool TProgram::Alive() {
  if (FPid <= 0 || FEnded) return false;
  if (waitpid(FPid, &FStatus, WNOHANG) == FPid) {
    FEnded = true;
    ForgetChild(FPid);
  }
  return !FEnded;
}

bool TProgram::WaitEnd(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (Alive()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string TProgram::HowItEnded() const {
  if (!FEnded) return "running";
  if (WIFEXITED(FStatus)) return "exit " + std::to_string(WEXITSTATUS(FStatus));
  if (WIFSIGNALED(FStatus)) {
    const int sig = WTERMSIG(FStatus);
    return "signal " + std::to_string(sig) + " (" + sigdescr_np(sig) + ")";
  }
  return "ended";
}

bool TProgram::ExitedWith(int code) const {
  return FEnded && WIFEXITED(FStatus) && WEXITSTATUS(FStatus) == code;
}

void TProgram::Terminate(int ms) {
  if (!Alive()) return;
  kill(FPid, SIGTERM);
  if (WaitEnd(ms)) return;
  kill(FPid, SIGKILL);
  WaitEnd(ms);
}

bool TProgram::Figures(TProcessFigures& out) const {
  std::ifstream status("/proc/" + std::to_string(FPid) + "/status");
  if (!status) return false;
  std::string line;
  int found = 0;
  while (std::getline(status, line)) {
    std::istringstream fields(line);
    std::string key;
    long value = 0;
    fields >> key >> value;
    if (key == "VmRSS:") out.rssKb = value, ++found;
    if (key == "voluntary_ctxt_switches:") out.voluntarySwitches = value, ++found;
    if (key == "nonvoluntary_ctxt_switches:") out.involuntarySwitches = value, ++found;
  }
  return found == 3;
}

long TProgram::ProcessorTicks() const {
  std::ifstream in("/proc/" + std::to_string(FPid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return 0;
  // Fields 14 and 15; the name in parentheses (field 2) may hold spaces.
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  long user = 0, system = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) user = std::atol(field.c_str());
    if (i == 15) system = std::atol(field.c_str());
  }
  return user + system;
}

}  // namespace soak
