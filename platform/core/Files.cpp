// Synchronous file access by Windows-style name, over Unix file descriptors. Handles are
// checked against the table of files this layer opened, so a stale or made-up handle fails
// with ERROR_INVALID_HANDLE instead of touching some other descriptor. Layer: platform core.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_set>

#include "platform/core/Paths.h"
#include "platform/win32.h"

namespace {

std::mutex tableLock;
std::unordered_set<int> openFiles;

// Handles are multiples of four, as on Windows, and never null or INVALID_HANDLE_VALUE.
HANDLE HandleFromFd(int fd) {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd + 1) << 2);
}

int FdFromHandle(HANDLE h) {
  const intptr_t v = reinterpret_cast<intptr_t>(h);
  if (v <= 0 || (v & 3) != 0) return -1;
  const int fd = static_cast<int>((v >> 2) - 1);
  std::lock_guard<std::mutex> guard(tableLock);
  return openFiles.count(fd) ? fd : -1;
}

int OpenFlags(DWORD access, DWORD disposition) {
  int flags = O_CLOEXEC;
  const bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
  flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW:
      return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
      return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
      return flags;
    case OPEN_ALWAYS:
      return flags | O_CREAT;
    case TRUNCATE_EXISTING:
      return write ? flags | O_TRUNC : -1;
    default:
      return -1;
  }
}

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

}  // namespace

extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD,
                                     LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD,
                                     HANDLE) {
  const auto path = lpFileName ? platform::UnixPathFromWindows(lpFileName) : std::nullopt;
  if (!path) return Fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;
  const int flags = OpenFlags(dwDesiredAccess, dwCreationDisposition);
  if (flags < 0) return Fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
  const bool existed = access(path->c_str(), F_OK) == 0;
  const int fd = open(path->c_str(), flags, 0666);
  if (fd < 0) {
    const DWORD error = errno == EEXIST   ? ERROR_FILE_EXISTS
                        : errno == EACCES ? ERROR_ACCESS_DENIED
                                          : platform::FileErrorCode(errno, *path);
    return Fail(error), INVALID_HANDLE_VALUE;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return Fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
  }
  {
    std::lock_guard<std::mutex> guard(tableLock);
    openFiles.insert(fd);
  }
  // Like Windows, the "always" dispositions report that the file was already there.
  const bool always =
      dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
  SetLastError(always && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return HandleFromFd(fd);
}

extern "C" BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  const int fd = FdFromHandle(hFile);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead)) return Fail(ERROR_INVALID_PARAMETER);
  DWORD total = 0;
  while (total < nNumberOfBytesToRead) {
    const ssize_t n = read(fd, static_cast<char*>(lpBuffer) + total, nNumberOfBytesToRead - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_INVALID_FUNCTION);
    if (n == 0) break;  // end of file: success with fewer bytes, as on Windows
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
  return TRUE;
}

extern "C" BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  const int fd = FdFromHandle(hFile);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite)) return Fail(ERROR_INVALID_PARAMETER);
  DWORD total = 0;
  while (total < nNumberOfBytesToWrite) {
    const ssize_t n =
        write(fd, static_cast<const char*>(lpBuffer) + total, nNumberOfBytesToWrite - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
      return Fail(errno == ENOSPC ? 112L /* ERROR_DISK_FULL */ : ERROR_ACCESS_DENIED);
    }
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
  return TRUE;
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove,
                                       PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  const int fd = FdFromHandle(hFile);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE), INVALID_SET_FILE_POINTER;
  // With a high part the distance is a 64-bit signed value; without, the low part is signed.
  int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh)
    distance = static_cast<int64_t>((uint64_t(uint32_t(*lpDistanceToMoveHigh)) << 32) |
                                    uint32_t(lDistanceToMove));
  const int whence = dwMoveMethod == FILE_BEGIN     ? SEEK_SET
                     : dwMoveMethod == FILE_CURRENT ? SEEK_CUR
                     : dwMoveMethod == FILE_END     ? SEEK_END
                                                    : -1;
  if (whence < 0) return Fail(ERROR_INVALID_PARAMETER), INVALID_SET_FILE_POINTER;
  const off_t base = whence == SEEK_SET ? 0 : lseek(fd, 0, whence);
  if (base + distance < 0) return Fail(ERROR_NEGATIVE_SEEK), INVALID_SET_FILE_POINTER;
  const off_t position = lseek(fd, base + distance, SEEK_SET);
  if (position < 0) return Fail(ERROR_INVALID_PARAMETER), INVALID_SET_FILE_POINTER;
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(uint64_t(position) >> 32);
  SetLastError(ERROR_SUCCESS);  // callers tell a position of 0xFFFFFFFF from failure this way
  return static_cast<DWORD>(position);
}

extern "C" DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  const int fd = FdFromHandle(hFile);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) return Fail(ERROR_INVALID_HANDLE), INVALID_FILE_SIZE;
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(uint64_t(info.st_size) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(info.st_size);
}

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  const int fd = FdFromHandle(hObject);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  {
    std::lock_guard<std::mutex> guard(tableLock);
    openFiles.erase(fd);
  }
  close(fd);
  return TRUE;
}
