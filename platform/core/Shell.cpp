// ShellExecuteA and the driver's default way of opening documents. Layer: platform core.
#include "platform/core/Shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>

#include "platform/Driver.h"
#include "platform/core/CodePage.h"
#include "platform/core/Paths.h"
#include "platform/win32.h"

namespace platform {

namespace {

constexpr char kOpener[] = "xdg-open";
// What ShellExecuteA returns on success: any value above 32 means success.
constexpr INT_PTR kShellSuccess = 42;

// Runs in the forked middle process: starts the handler as a grandchild and leaves at once, so
// the handler is adopted by init and the program has only this short-lived child to reap. A
// failed exec reports its errno through `report`, which closes on a successful exec.
[[noreturn]] void StartDetached(char* const argv[], int report) {
  const pid_t handler = fork();
  if (handler == 0) {
    setsid();
    execvp(argv[0], argv);
    const int error = errno;
    (void)!write(report, &error, sizeof error);
    _exit(127);
  }
  _exit(handler < 0 ? 1 : 0);
}

bool IsWebAddress(std::string_view name) {
  // A scheme of two letters or more before the colon ("http:", "mailto:"); one letter is a drive.
  const size_t colon = name.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = name[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
      return false;
    }
  }
  return true;
}

bool IsOpenVerb(LPCSTR operation) {
  if (!operation || !*operation) return true;
  const std::string_view verb(operation);
  return verb.size() == 4 && (verb[0] | 0x20) == 'o' && (verb[1] | 0x20) == 'p' &&
         (verb[2] | 0x20) == 'e' && (verb[3] | 0x20) == 'n';
}

// The Unix path of a file to open, resolved against `directory` when it is relative.
std::optional<std::string> FileToOpen(std::string_view file, LPCSTR directory) {
  const bool relative = !(file.size() >= 2 && file[1] == ':') && file[0] != '\\' && file[0] != '/';
  if (relative && directory && *directory) {
    return UnixPathFromWindows(std::string(directory) + "\\" + std::string(file));
  }
  return UnixPathFromWindows(file);
}

HINSTANCE Result(INT_PTR code) {
  return reinterpret_cast<HINSTANCE>(code);
}

}  // namespace

bool OpenWithDesktop(const std::string& target) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  std::string opener = kOpener, argument = target;
  char* const argv[] = {opener.data(), argument.data(), nullptr};
  const pid_t middle = fork();
  if (middle == 0) {
    close(report[0]);
    StartDetached(argv, report[1]);
  }
  close(report[1]);
  int status = 0;
  bool started = middle > 0;
  if (started) {
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  int error = 0;
  ssize_t got;
  while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  return started && got == 0;
}

bool Driver::OpenDocument(const std::string& target, const ShellRequest&) {
  return OpenWithDesktop(target);
}

}  // namespace platform

// --- Win32 entry point ---

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
  using platform::Result;
  if (!lpFile || !*lpFile) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return Result(SE_ERR_FNF);
  }
  if (!platform::IsOpenVerb(lpOperation)) {
    SetLastError(ERROR_NO_ASSOCIATION);
    return Result(SE_ERR_NOASSOC);
  }
  std::string target;
  if (platform::IsWebAddress(lpFile)) {
    target = platform::Utf8FromCp1252(lpFile);
  } else {
    const auto path = platform::FileToOpen(lpFile, lpDirectory);
    struct stat info {};
    if (!path || stat(path->c_str(), &info) != 0) {
      const DWORD error = path ? platform::FileErrorCode(errno, *path) : ERROR_PATH_NOT_FOUND;
      SetLastError(error);
      return Result(error == ERROR_FILE_NOT_FOUND ? SE_ERR_FNF : SE_ERR_PNF);
    }
    target = *path;
  }
  const auto text = [](LPCSTR s) { return s ? std::optional<std::string>(s) : std::nullopt; };
  const platform::ShellRequest request{
      hwnd, text(lpOperation), text(lpFile), text(lpParameters), text(lpDirectory), nShowCmd};
  if (!platform::CurrentDriver().OpenDocument(target, request)) {
    SetLastError(ERROR_NO_ASSOCIATION);
    return Result(SE_ERR_NOASSOC);
  }
  return Result(platform::kShellSuccess);
}
