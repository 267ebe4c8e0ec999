// The record of font matches kept between runs. Internal to platform/ (portable core).
#include "platform/core/FontMatchStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/core/Paths.h"

namespace platform::fonts {

namespace {

constexpr std::string_view kHeader = "calvix font matches 1";
// A record is a few lines; anything much larger is not ours.
constexpr size_t kMaxRecord = 256 * 1024;

// The variables fontconfig reads to find its configuration and to choose among faces.
constexpr const char* kVariables[] = {"FONTCONFIG_FILE",
                                      "FONTCONFIG_PATH",
                                      "FONTCONFIG_SYSROOT",
                                      "FC_LANG",
                                      "LC_ALL",
                                      "LC_CTYPE",
                                      "LANG",
                                      "HOME",
                                      "XDG_CONFIG_HOME",
                                      "XDG_DATA_HOME"};

bool Storable(std::string_view text) {
  return text.find_first_of("\t\n\r") == std::string_view::npos;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

bool ReadInt(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && ptr == end && !text.empty();
}

bool ReadFlag(std::string_view text, bool& value) {
  if (text != "0" && text != "1") return false;
  value = text == "1";
  return true;
}

}  // namespace

std::string PathState(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "-";
  return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + ":" +
         std::to_string(st.st_size) + ":" + std::to_string(st.st_ino);
}

std::string TMatchStore::Environment(int libraryVersion) {
  std::string stamp = "fontconfig " + std::to_string(libraryVersion);
  for (const char* name : kVariables) {
    const char* value = std::getenv(name);
    stamp += std::string(";") + name + (value ? "=" + std::string(value) : std::string());
  }
  return stamp;
}

bool TMatchStore::Load() {
  Forget();
  std::string text;
  if (FFile.empty() || !ReadUnixFile(FFile, text) || text.size() > kMaxRecord) return false;
  std::map<std::string, std::string> watched;
  std::map<TMatchRequest, TMatch> matches;
  std::string_view rest(text);
  bool header = false, environment = false;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    if (end == std::string_view::npos) return false;  // cut short while written
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (!header) {
      if (line != kHeader) return false;
      header = true;
      continue;
    }
    const std::vector<std::string_view> f = Fields(line);
    if (f[0] == "environment" && f.size() == 2) {
      if (f[1] != FEnvironment) return false;
      environment = true;
    } else if (f[0] == "watch" && f.size() == 3) {
      const std::string path(f[2]);
      if (PathState(path) != f[1]) return false;
      watched[path] = std::string(f[1]);
    } else if (f[0] == "match" && f.size() == 9) {
      TMatchRequest request{std::string(f[1])};
      TMatch match{std::string(f[4]), 0, std::string(f[6])};
      if (!ReadFlag(f[2], request.bold) || !ReadFlag(f[3], request.italic) ||
          !ReadInt(f[5], match.index) || !ReadFlag(f[7], match.bold) ||
          !ReadFlag(f[8], match.italic) || match.file.empty())
        return false;
      matches[request] = match;
    } else {
      return false;
    }
  }
  if (!header || !environment) return false;
  FWatched = std::move(watched);
  FMatches = std::move(matches);
  FValid = true;
  return true;
}

const TMatch* TMatchStore::Find(const TMatchRequest& request) const {
  if (!FValid) return nullptr;
  const auto found = FMatches.find(request);
  return found == FMatches.end() ? nullptr : &found->second;
}

void TMatchStore::Forget() {
  FValid = false;
  FWatched.clear();
  FMatches.clear();
}

void TMatchStore::Remember(const TMatchRequest& request, const TMatch& match,
                           const std::vector<std::string>& watched) {
  if (!Keeps() || match.file.empty()) return;  // nothing matched: ask again next time
  // Whatever was recorded before no longer says how fontconfig answers now.
  if (!FValid) Forget();
  for (const std::string& path : watched)
    FWatched[path] = PathState(path);
  FWatched[match.file] = PathState(match.file);
  FMatches[request] = match;
  FValid = true;
  Write();
}

bool TMatchStore::Write() const {
  if (FFile.empty() || !Storable(FEnvironment)) return false;
  std::string text(kHeader);
  text += "\nenvironment\t" + FEnvironment + "\n";
  for (const auto& [path, state] : FWatched) {
    if (!Storable(path)) return false;
    text += "watch\t" + state + "\t" + path + "\n";
  }
  for (const auto& [request, match] : FMatches) {
    if (!Storable(request.family) || !Storable(match.file) || !Storable(match.family)) return false;
    text += "match\t" + request.family + "\t" + (request.bold ? "1" : "0") + "\t" +
            (request.italic ? "1" : "0") + "\t" + match.file + "\t" + std::to_string(match.index) +
            "\t" + match.family + "\t" + (match.bold ? "1" : "0") + "\t" +
            (match.italic ? "1" : "0") + "\n";
  }
  // Written beside the record and renamed over it: a reader sees the old record or the new.
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(FFile).parent_path(), error);
  const std::string scratch = FFile + "." + std::to_string(getpid());
  std::FILE* out = std::fopen(scratch.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (std::fclose(out) != 0 || !written || std::rename(scratch.c_str(), FFile.c_str()) != 0) {
    std::remove(scratch.c_str());
    return false;
  }
  return true;
}

}  // namespace platform::fonts
