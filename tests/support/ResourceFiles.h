// Test fixtures: version blocks of a chosen shape, resource directories, and small ELF files
// that carry them, written to a scratch folder so that the file functions can read them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/core/ResourceFormat.h"
#include "tools/ResourceWriter.h"

namespace testfiles {

using resources::Bytes;

// The version block of a program in the given language and code page, with the given
// FileVersion text in the string table named by the pair.
inline resources::VersionNode VersionTree(uint16_t language, uint16_t codePage,
                                          const std::u16string& fileVersion) {
  using namespace resources;
  Bytes fixed;
  for (const uint32_t word : {0xFEEF04BDu, 0x00010000u, 0x00020001u, 0x0003000Du, 0x00020001u,
                              0x0003000Du, 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u}) {
    Put32(fixed, word);
  }
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", language, codePage);
  const std::u16string tableName(table, table + 8);
  Bytes translation;
  Put16(translation, language);
  Put16(translation, codePage);
  VersionNode root = BinaryValue(u"VS_VERSION_INFO", fixed);
  root.children = {
      Block(u"StringFileInfo", {Block(tableName, {TextValue(u"CompanyName", u"Morvane"),
                                                  TextValue(u"FileVersion", fileVersion)})}),
      Block(u"VarFileInfo", {BinaryValue(u"Translation", translation)}),
  };
  return root;
}

inline Bytes DirectoryWithVersion(const Bytes& versionBlock) {
  return resources::BuildDirectory({{uint16_t{16}, uint16_t{1}, versionBlock}});
}

// Where a node with the given key starts in a block: the key follows the 6-byte header.
inline size_t NodeOffset(const Bytes& block, const std::u16string& key) {
  Bytes pattern;
  for (const char16_t unit : key)
    resources::Put16(pattern, unit);
  resources::Put16(pattern, 0);
  for (size_t at = 6; at + pattern.size() <= block.size(); at += 2) {
    if (std::memcmp(block.data() + at, pattern.data(), pattern.size()) == 0) return at - 6;
  }
  return SIZE_MAX;
}

// A minimal 64-bit little-endian ELF file: a section-name table and one section of `contents`
// called `sectionName`.
inline Bytes ElfWithSection(const Bytes& contents,
                            const std::string& sectionName = platform::rsrc::kSectionName) {
  using resources::Put16;
  using resources::Put32;
  const std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
  constexpr uint32_t kHeader = 64, kSectionHeader = 64;
  Bytes out = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const uint64_t namesAt = kHeader;
  const uint64_t dataAt = (namesAt + names.size() + 7) & ~7ull;
  const uint64_t tableAt = (dataAt + contents.size() + 7) & ~7ull;
  auto put64 = [&out](uint64_t value) {
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
  };
  Put16(out, 2), Put16(out, 62), Put32(out, 1);  // executable, x86-64, version 1
  put64(0), put64(0), put64(tableAt);            // entry, program headers, section headers
  Put32(out, 0), Put16(out, kHeader), Put16(out, 56), Put16(out, 0);
  Put16(out, kSectionHeader), Put16(out, 3), Put16(out, 1);  // 3 sections, names in #1
  out.insert(out.end(), names.begin(), names.end());
  out.resize(dataAt, 0);
  out.insert(out.end(), contents.begin(), contents.end());
  out.resize(tableAt, 0);
  auto section = [&](uint32_t name, uint32_t type, uint64_t at, uint64_t size) {
    Put32(out, name), Put32(out, type);
    put64(0), put64(0), put64(at), put64(size);
    Put32(out, 0), Put32(out, 0), put64(1), put64(0);
  };
  section(0, 0, 0, 0);
  section(1, 3, namesAt, names.size());     // SHT_STRTAB
  section(11, 1, dataAt, contents.size());  // SHT_PROGBITS
  return out;
}

// A scratch folder for one test, removed with the object.
class TScratch {
 public:
  TScratch() {
    FDir = std::filesystem::temp_directory_path() /
           ("calvix-test-" + std::to_string(std::random_device()()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(FDir);
  }
  ~TScratch() { std::filesystem::remove_all(FDir); }

  // Writes `bytes` to the named file and returns its Unix path.
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const auto path = FDir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.string();
  }
  std::string Path(const std::string& name) const { return (FDir / name).string(); }

 private:
  std::filesystem::path FDir;
};

// The Windows name of a Unix path, the way a program above the platform would spell it.
inline std::string ZPath(const std::string& unixPath) {
  std::string out = "Z:";
  for (const char c : unixPath)
    out += c == '/' ? '\\' : c;
  return out;
}

}  // namespace testfiles
