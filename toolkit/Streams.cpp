// Byte streams in memory and over files. Toolkit layer.
#include "toolkit/Streams.h"

#include <algorithm>
#include <cstring>

#include "platform/win32.h"

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

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) {
  const bool create = mode == fmCreate;
  HANDLE file =
      CreateFileA(fileName.c_str(), create ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                  create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw EFOpenError(std::string(create ? "Cannot create file " : "Cannot open file ") + "\"" +
                      fileName + "\"");
  FHandle = file;
}

TFileStream::~TFileStream() {
  CloseHandle(FHandle);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t total = 0;
  while (count - total > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - total, 1 << 30));
    DWORD got = 0;
    if (!ReadFile(FHandle, static_cast<char*>(buffer) + total, chunk, &got, nullptr) || got == 0)
      break;
    total += got;
  }
  return total;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t total = 0;
  while (count - total > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - total, 1 << 30));
    DWORD put = 0;
    if (!WriteFile(FHandle, static_cast<const char*>(buffer) + total, chunk, &put, nullptr)) break;
    total += put;
  }
  return total;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const DWORD method = origin == soBeginning ? FILE_BEGIN
                       : origin == soCurrent ? FILE_CURRENT
                                             : FILE_END;
  LONG high = static_cast<LONG>(offset >> 32);
  const DWORD low = SetFilePointer(FHandle, static_cast<LONG>(offset), &high, method);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return -1;
  return (int64_t(high) << 32) | low;
}
