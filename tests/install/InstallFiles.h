// Helpers of the installation tests: scratch folders, files read whole, the keys of a desktop
// entry, and the commands of the build (cmake, cpack) that the tests run.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace install {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed with everything in it.
class TScratch {
 public:
  TScratch() {
    std::string pattern = (fs::temp_directory_path() / "calvix-install-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) FPath = pattern;
  }
  ~TScratch() {
    std::error_code ignored;
    if (!FPath.empty()) fs::remove_all(FPath, ignored);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  const fs::path& Path() const { return FPath; }

 private:
  fs::path FPath;
};

// A word for the shell: in single quotes, with any single quote closed and escaped.
inline std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The keys of the [Desktop Entry] group, as written (no unescaping).
inline std::map<std::string, std::string> DesktopEntry(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::istringstream lines(ReadText(file));
  std::string line;
  bool inGroup = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.front() == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    const size_t equals = line.find('=');
    if (inGroup && equals != std::string::npos)
      keys[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return keys;
}

// The width and height that a PNG file's header gives, or 0 by 0.
inline std::pair<uint32_t, uint32_t> PngSize(const fs::path& file) {
  const std::string bytes = ReadText(file);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0 || bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto word = [&](size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
      value = value << 8 | uint8_t(bytes[at + i]);
    return value;
  };
  return {word(16), word(20)};
}

inline const std::string kBuildDir = CALVIX_BUILD_DIR;
inline const std::string kCMake = CALVIX_CMAKE_COMMAND;
inline const std::string kCPack = CALVIX_CPACK_COMMAND;
inline constexpr char kAppId[] = "io.github.calvix.Calvix";

}  // namespace install
