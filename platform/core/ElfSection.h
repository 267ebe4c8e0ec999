// Finds a named section in an ELF file whose bytes may be damaged or hostile: every header,
// offset and size is checked against the file before it is read. Layer: platform core.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Random access to a file's bytes: reads exactly `size` bytes at `offset` or answers false.
using ReadAtFunction = std::function<bool(uint64_t offset, void* out, size_t size)>;

// The largest section the reader copies; resource directories are far smaller.
inline constexpr uint64_t kMaxSectionSize = 16u << 20;

// The contents of the first section called `name` in a 32- or 64-bit little-endian ELF file of
// `fileSize` bytes, or nothing when the file is no such ELF file, has no such section, or its
// headers do not hold together.
std::optional<std::vector<uint8_t>> ReadElfSection(const ReadAtFunction& readAt, uint64_t fileSize,
                                                   std::string_view name);

// The same for a file on disk, named by its Unix path. `openError` is the errno of a file that
// could not be opened, and 0 when the file opened (whether or not it has the section).
std::optional<std::vector<uint8_t>> ReadElfSectionOfFile(const std::string& unixPath,
                                                         std::string_view name, int& openError);

}  // namespace platform
