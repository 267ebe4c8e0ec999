// The private virtual desktop of the soak. Test tooling (tests/soak).
#include "tests/soak/Desktop.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "tests/soak/Program.h"

namespace soak {

namespace {

// The value of `key` in scripts/desktop's KEY=VALUE output, quotes removed.
std::string ValueOf(const std::string& output, const std::string& key) {
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
    return value;
  }
  return {};
}

}  // namespace

TDesktop::TDesktop(const std::string& sourceDir) : FScript(sourceDir + "/scripts/desktop") {
  const std::string output = Output(FScript + " start");
  FDisplay = ValueOf(output, "DISPLAY");
  const std::string pids = ValueOf(output, "DESKTOP_PIDS");
  if (FDisplay.empty() || pids.empty())
    throw std::runtime_error("the virtual desktop did not start");
  // The tray host comes last; it is stopped and started on its own.
  const size_t last = pids.find_last_of(' ');
  FPids = pids.substr(0, last);
  FTrayPid = pids.substr(last + 1);
  std::istringstream each(pids);
  for (pid_t pid = 0; each >> pid;)
    NoteChild(pid);
  setenv("DISPLAY", FDisplay.c_str(), 1);
  // Accents are typed as the users type them: an accent key, then the letter.
  if (Run("setxkbmap -layout br") != 0) throw std::runtime_error("setxkbmap -layout br failed");
}

TDesktop::~TDesktop() {
  Run(FScript + " stop " + FTrayPid + " " + FPids + " >/dev/null 2>&1");
}

bool TDesktop::StopTray() {
  if (FTrayPid.empty()) return false;
  Run(FScript + " stop " + FTrayPid);
  ForgetChild(pid_t(std::stol(FTrayPid)));
  FTrayPid.clear();
  return true;
}

bool TDesktop::StartTray() {
  FTrayPid = ValueOf(Output(FScript + " tray " + FDisplay), "TRAY_PID");
  if (FTrayPid.empty()) return false;
  NoteChild(pid_t(std::stol(FTrayPid)));
  return true;
}

int Run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  pclose(pipe);
  while (!out.empty() && out.back() == '\n')
    out.pop_back();
  return out;
}

}  // namespace soak
