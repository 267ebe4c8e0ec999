// The private virtual desktop of the soak (scripts/desktop): started with a Brazilian keyboard,
// as the program's users have, its tray host stopped and started again on demand, and every
// process of it ended by its own id at the end. Test tooling (tests/soak).
#pragma once

#include <string>

namespace soak {

class TDesktop {
 public:
  explicit TDesktop(const std::string& sourceDir);
  ~TDesktop();
  TDesktop(const TDesktop&) = delete;
  TDesktop& operator=(const TDesktop&) = delete;

  const std::string& DisplayName() const { return FDisplay; }
  std::string Processes() const { return FPids + " " + FTrayPid; }
  // Ends the tray host and waits until it is gone.
  bool StopTray();
  // Starts a tray host and waits until its window shows; false when it did not come up.
  bool StartTray();

 private:
  std::string FScript;
  std::string FDisplay;
  std::string FPids;  // the desktop's processes without the tray host
  std::string FTrayPid;
};

// Runs a command line through the shell; its exit status.
int Run(const std::string& command);
// The same, returning what it printed (trailing newlines removed).
std::string Output(const std::string& command);

}  // namespace soak
