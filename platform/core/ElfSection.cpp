// The ELF section reader. Layer: platform core.
#include "platform/core/ElfSection.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {

namespace {

// Section headers beyond this many are not looked at; real programs have a few dozen.
constexpr uint64_t kMaxSections = 1u << 16;
constexpr uint64_t kMaxNameLength = 256;

// The fields of a section header that the reader needs, from either class of file.
struct Section {
  uint32_t name = 0;
  uint32_t type = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
  uint32_t link = 0;
};

struct Layout {
  bool wide = false;  // ELFCLASS64
  uint64_t tableOffset = 0;
  uint64_t entrySize = 0;
  uint64_t count = 0;
  uint64_t namesIndex = 0;
};

bool Within(uint64_t offset, uint64_t size, uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

bool ReadSection(const ReadAtFunction& readAt, uint64_t fileSize, const Layout& layout,
                 uint64_t index, Section& out) {
  const uint64_t at = layout.tableOffset + index * layout.entrySize;
  if (layout.wide) {
    Elf64_Shdr header;
    if (!Within(at, sizeof header, fileSize) || !readAt(at, &header, sizeof header)) return false;
    out = {header.sh_name, header.sh_type, header.sh_offset, header.sh_size, header.sh_link};
  } else {
    Elf32_Shdr header;
    if (!Within(at, sizeof header, fileSize) || !readAt(at, &header, sizeof header)) return false;
    out = {header.sh_name, header.sh_type, header.sh_offset, header.sh_size, header.sh_link};
  }
  return true;
}

// Reads the file header and settles where the section table is, including the escapes for
// files with more sections than the header's 16-bit fields can count.
bool ReadLayout(const ReadAtFunction& readAt, uint64_t fileSize, Layout& layout) {
  unsigned char ident[EI_NIDENT];
  if (!Within(0, sizeof ident, fileSize) || !readAt(0, ident, sizeof ident)) return false;
  if (std::memcmp(ident, ELFMAG, SELFMAG) != 0 || ident[EI_DATA] != ELFDATA2LSB) return false;
  layout.wide = ident[EI_CLASS] == ELFCLASS64;
  if (!layout.wide && ident[EI_CLASS] != ELFCLASS32) return false;
  if (layout.wide) {
    Elf64_Ehdr header;
    if (!Within(0, sizeof header, fileSize) || !readAt(0, &header, sizeof header)) return false;
    layout = {true, header.e_shoff, header.e_shentsize, header.e_shnum, header.e_shstrndx};
  } else {
    Elf32_Ehdr header;
    if (!Within(0, sizeof header, fileSize) || !readAt(0, &header, sizeof header)) return false;
    layout = {false, header.e_shoff, header.e_shentsize, header.e_shnum, header.e_shstrndx};
  }
  const uint64_t minimum = layout.wide ? sizeof(Elf64_Shdr) : sizeof(Elf32_Shdr);
  if (layout.tableOffset == 0 || layout.entrySize < minimum) return false;
  if (layout.count == 0 || layout.namesIndex == SHN_XINDEX) {
    Section first;
    if (!ReadSection(readAt, fileSize, layout, 0, first)) return false;
    if (layout.count == 0) layout.count = first.size;
    if (layout.namesIndex == SHN_XINDEX) layout.namesIndex = first.link;
  }
  if (layout.count > kMaxSections) return false;
  return layout.namesIndex < layout.count &&
         Within(layout.tableOffset, layout.count * layout.entrySize, fileSize);
}

bool NameIs(const ReadAtFunction& readAt, uint64_t fileSize, const Section& names, uint32_t offset,
            std::string_view name) {
  if (offset >= names.size || name.size() + 1 > names.size - offset) return false;
  const uint64_t at = names.offset + offset;
  char text[kMaxNameLength + 1];
  if (name.size() + 1 > sizeof text || !Within(at, name.size() + 1, fileSize)) return false;
  if (!readAt(at, text, name.size() + 1)) return false;
  return text[name.size()] == '\0' && std::memcmp(text, name.data(), name.size()) == 0;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadElfSection(const ReadAtFunction& readAt, uint64_t fileSize,
                                                   std::string_view name) {
  Layout layout;
  Section names;
  if (!ReadLayout(readAt, fileSize, layout) ||
      !ReadSection(readAt, fileSize, layout, layout.namesIndex, names) ||
      names.type != SHT_STRTAB || !Within(names.offset, names.size, fileSize)) {
    return std::nullopt;
  }
  for (uint64_t i = 1; i < layout.count; ++i) {
    Section section;
    if (!ReadSection(readAt, fileSize, layout, i, section)) return std::nullopt;
    if (!NameIs(readAt, fileSize, names, section.name, name)) continue;
    if (section.type == SHT_NOBITS || section.size > kMaxSectionSize ||
        !Within(section.offset, section.size, fileSize)) {
      return std::nullopt;
    }
    // An empty section has nothing to read (and its buffer no address to read into).
    std::vector<uint8_t> bytes(section.size);
    if (!bytes.empty() && !readAt(section.offset, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadElfSectionOfFile(const std::string& unixPath,
                                                         std::string_view name, int& openError) {
  const int fd = open(unixPath.c_str(), O_RDONLY | O_CLOEXEC);
  openError = fd < 0 ? errno : 0;
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::vector<uint8_t>> result;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    const ReadAtFunction readAt = [fd](uint64_t offset, void* out, size_t size) {
      auto* bytes = static_cast<char*>(out);
      while (size > 0) {
        const ssize_t got = pread(fd, bytes, size, static_cast<off_t>(offset));
        if (got <= 0) return false;
        bytes += got, offset += got, size -= got;
      }
      return true;
    };
    result = ReadElfSection(readAt, static_cast<uint64_t>(info.st_size), name);
  }
  close(fd);
  return result;
}

}  // namespace platform
