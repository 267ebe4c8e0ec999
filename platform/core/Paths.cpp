// Windows-style names to Unix paths and back. Layer: platform core.
#include "platform/core/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/core/CodePage.h"

namespace platform {

namespace {

constexpr char kDrive = 'Z';

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool HasDriveLetter(std::string_view path) {
  const char letter = path.size() >= 2 ? path[0] : '\0';
  return path.size() >= 2 && path[1] == ':' &&
         ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'));
}

// Appends the components of `path` to `parts`, resolving "." and ".." on the way; ".." at
// the root stays at the root, as on Windows.
void AppendComponents(std::string_view path, std::vector<std::string>& parts) {
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end]))
      ++end;
    const std::string_view part = path.substr(pos, end - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    pos = end + 1;
  }
}

std::string JoinAbsolute(const std::vector<std::string>& parts) {
  if (parts.empty()) return "/";
  std::string out;
  for (const auto& part : parts)
    out += "/" + part;
  return out;
}

}  // namespace

DWORD FileErrorCode(int error, const std::string& unixPath) {
  if (error == EACCES || error == EPERM) return ERROR_ACCESS_DENIED;
  if (error == ENOENT) {
    struct stat info {};
    const std::string folder = unixPath.substr(0, unixPath.find_last_of('/') + 1);
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return ERROR_FILE_NOT_FOUND;
  }
  return ERROR_PATH_NOT_FOUND;
}

std::string UnixCurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool ReadUnixFile(const std::string& unixPath, std::string& out) {
  out.clear();
  const int fd = open(unixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[16384];
  ssize_t n = 0;
  while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) out.append(buffer, size_t(n));
  }
  close(fd);
  return n == 0;
}

std::string UserCacheFolder() {
  // The base directory specification wants an absolute path; a relative one is ignored.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && cache[0] == '/') return cache;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.cache";
  return {};
}

std::optional<std::string> UnixPathFromWindows(std::string_view windowsPath) {
  std::string_view rest = windowsPath;
  bool absolute = false;
  if (HasDriveLetter(rest)) {
    if ((rest[0] & ~0x20) != kDrive) return std::nullopt;
    rest.remove_prefix(2);
    absolute = !rest.empty() && IsSeparator(rest[0]);
  } else if (rest.size() >= 2 && IsSeparator(rest[0]) && IsSeparator(rest[1])) {
    return std::nullopt;  // UNC and device names ("\\server\share", "\\?\...", "\\.\...")
  } else if (rest.empty()) {
    return std::nullopt;
  } else {
    absolute = IsSeparator(rest[0]);
  }
  std::vector<std::string> parts;
  if (!absolute) AppendComponents(UnixCurrentDirectory(), parts);
  AppendComponents(Utf8FromCp1252(std::string(rest)), parts);
  return JoinAbsolute(parts);
}

std::string WindowsPathFromUnix(std::string_view unixPath) {
  const std::string text = Cp1252FromUtf8(std::string(unixPath));
  std::string out;
  if (!text.empty() && text[0] == '/') out = std::string{kDrive, ':', '\\'};
  for (const char c : text) {
    const bool separator = c == '/';
    // Repeated slashes mean one on Unix; the drive's own backslash already stands for the first.
    if (separator && !out.empty() && out.back() == '\\') continue;
    out += separator ? '\\' : c;
  }
  return out;
}

}  // namespace platform
