// Byte streams in memory and over files. Toolkit layer.
#include "toolkit/Streams.h"

#include <algorithm>
#include <cstring>

// --- TStream ---

int64_t TStream::Size() {
  const int64_t here = Position();
  const int64_t size = Seek(0, soEnd);
  Seek(here, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EStreamReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

std::vector<uint8_t> TStream::ReadRest() {
  const int64_t rest = std::max<int64_t>(0, Size() - Position());
  std::vector<uint8_t> bytes(static_cast<size_t>(rest));
  bytes.resize(static_cast<size_t>(Read(bytes.data(), rest)));
  return bytes;
}

// --- TMemoryStream ---

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t size = static_cast<int64_t>(FBytes.size());
  const int64_t n = std::clamp<int64_t>(std::min(count, size - FPosition), 0, size);
  if (n > 0) std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const size_t end = static_cast<size_t>(FPosition + count);
  if (end > FBytes.size()) FBytes.resize(end);
  std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == soBeginning ? 0
                       : origin == soCurrent ? FPosition
                                             : int64_t(FBytes.size());
  FPosition = std::max<int64_t>(0, base + offset);
  return FPosition;
}

void TMemoryStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

// --- TFileStream ---

namespace {

// The platform shows the file system as drive Z: ("Z:\home\ana"); names of that form are
// opened at the path they stand for, other names as they are.
std::string FileSystemName(const std::string& fileName) {
  if (fileName.size() < 3 || (fileName[0] != 'Z' && fileName[0] != 'z') || fileName[1] != ':' ||
      (fileName[2] != '\\' && fileName[2] != '/'))
    return fileName;
  std::string path = fileName.substr(2);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) {
  const auto flags = mode == fmCreate ? std::ios::out | std::ios::trunc | std::ios::binary
                                      : std::ios::in | std::ios::binary;
  FFile.open(FileSystemName(fileName), flags);
  if (!FFile.is_open())
    throw EFOpenError(std::string(mode == fmCreate ? "Cannot create file " : "Cannot open file ") +
                      "\"" + fileName + "\"");
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  FFile.read(static_cast<char*>(buffer), count);
  const int64_t n = FFile.gcount();
  FFile.clear();
  return n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  FFile.write(static_cast<const char*>(buffer), count);
  return FFile.good() ? count : 0;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const auto dir = origin == soBeginning ? std::ios::beg
                   : origin == soCurrent ? std::ios::cur
                                         : std::ios::end;
  FFile.clear();
  FFile.seekg(offset, dir);
  FFile.seekp(FFile.tellg());
  return static_cast<int64_t>(FFile.tellg());
}
