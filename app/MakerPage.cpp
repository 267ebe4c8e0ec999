// The maker's page: the build's setting, or the about page found beside the program or in
// its source tree. Layer: the program (app/).
#include "app/MakerPage.h"

#include <string_view>

#include "core/MakerSettings.h"
#include "platform/win32.h"

namespace {

constexpr char kAboutPage[] = "about.html";

bool FileExists(const std::string& name) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The folder that holds `path`, without its closing separator; empty when there is none.
std::string FolderOf(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1]))
    --end;
  while (end > 0 && IsSeparator(path[end - 1]))
    --end;
  return path.substr(0, end);
}

// The installed about page: the program lives in <prefix>/bin, the page in the documentation
// folder under the same prefix.
std::string InstalledAboutPage() {
  char program[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return {};
  const std::string prefix = FolderOf(FolderOf(program));
  if (prefix.empty()) return {};
  std::string page = prefix + "\\" + kInstalledDocDir + "\\" + kAboutPage;
  for (char& c : page)
    if (c == '/') c = '\\';
  return page;
}

}  // namespace

std::string MakerPageAddress() {
  if (*kMakerUrlSetting != '\0') return kMakerUrlSetting;
  const std::string installed = InstalledAboutPage();
  if (!installed.empty() && FileExists(installed)) return installed;
  if (FileExists(kSourceAboutPage)) return kSourceAboutPage;
  // Nothing to open here: the link still names the page it would open once installed.
  return installed.empty() ? std::string(kSourceAboutPage) : installed;
}

std::string MakerPageCaption(const std::string& address) {
  std::string_view text = address;
  const size_t scheme = text.find("://");
  if (scheme != std::string_view::npos && scheme >= 2) {
    text.remove_prefix(scheme + 3);
    // A local file behind a file: address reads like any other file.
    if (address.compare(0, scheme, "file") != 0) {
      while (!text.empty() && text.back() == '/')
        text.remove_suffix(1);
      return std::string(text);
    }
  }
  while (!text.empty() && IsSeparator(text.back()))
    text.remove_suffix(1);
  size_t start = text.size();
  while (start > 0 && !IsSeparator(text[start - 1]))
    --start;
  return std::string(text.substr(start));
}
