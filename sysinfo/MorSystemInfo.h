// The system-information component: facts about the computer, the user and the operating
// system, taken once when the component is created. Layer: the program (sysinfo/).
#pragma once

#include <string>

#include "toolkit/Classes.h"

class TMorSystemInfo : public TComponent {
 public:
  // Takes the snapshot: nothing is asked of the system after construction.
  explicit TMorSystemInfo(TComponent* owner);

  // Assigning either one, whatever the value, shows its text in an information box; both
  // always read False.
  bool About() const { return false; }
  void SetAbout(bool value);
  bool Ajuda() const { return false; }
  void SetAjuda(bool value);

  const std::string& ComputerName() const { return FComputerName; }
  const std::string& UserName() const { return FUserName; }
  const std::string& WinDir() const { return FWinDir; }
  const std::string& SysDir() const { return FSysDir; }
  // The current directory at construction, always ending with one backslash.
  const std::string& LocalDir() const { return FLocalDir; }
  const std::string& ProgFilesDir() const { return FProgFilesDir; }
  const std::string& RegOwner() const { return FRegOwner; }
  const std::string& RegCompany() const { return FRegCompany; }
  // "major.minor (build.service pack)", such as "5.1 (2600.)".
  const std::string& OSVersion() const { return FOSVersion; }
  // "Windows 3.1", "Windows 95" or "Windows NT"; empty for any other platform.
  const std::string& OSPlatform() const { return FOSPlatform; }

 private:
  void ReadNames();
  void ReadVersion();
  void ReadDirectories();
  void ReadRegisteredOwner();
  // The registry key that holds the installation's values, chosen by the platform code.
  const char* InstallationKey() const;

  std::string FComputerName;
  std::string FUserName;
  std::string FWinDir;
  std::string FSysDir;
  std::string FLocalDir;
  std::string FProgFilesDir;
  std::string FRegOwner;
  std::string FRegCompany;
  std::string FOSVersion;
  std::string FOSPlatform;
  DWORD FPlatformId = 0;
};
