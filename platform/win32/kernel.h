// System facts, files and paths, the registry, the executable's resources and version
// information (kernel32, advapi32, version).
#pragma once

#include "platform/win32/types.h"

// --- Files and paths ---
// Paths are presented the Windows way: the Unix root is drive Z: ("/home/ana" is
// "Z:\home\ana"). Every function below that takes a file name accepts "Z:\..." and "Z:/...",
// a path that starts at the root of the current drive ("\usr" or "/usr") and a relative path;
// "." and ".." are resolved as Windows resolves them, never climbing above the root. Other
// drive letters and UNC names name nothing here and fail with ERROR_PATH_NOT_FOUND. Names are
// Windows-1252 text; the file system sees them as UTF-8.

#define ERROR_BUFFER_OVERFLOW 111L
#define MAX_COMPUTERNAME_LENGTH 15
#define UNLEN 256

extern "C" {

// Returns the length without the terminator, or the size needed including the terminator
// (and writes nothing) when the buffer is too small.
DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);

// Only the program itself is a module here: NULL or the program's own file name (with or
// without its directory) gives the program's instance, which is the address of its image as on
// Windows; any other name fails with ERROR_MOD_NOT_FOUND.
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);

// The program's own file as a Z:\ path. A buffer that is too small receives the truncated name
// with its terminator (the rule since Windows Vista), the result is nSize and the last error
// ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// --- System facts ---

// The host name up to its first dot, cut to MAX_COMPUTERNAME_LENGTH characters like a NetBIOS
// name but not upper-cased. On success *nSize is the length without the terminator; when the
// buffer is too small it fails with ERROR_BUFFER_OVERFLOW and *nSize is the size needed
// including the terminator.
BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);

// The login name of the user running the process. Unlike GetComputerNameA, *pcbBuffer counts
// the terminator on success; a small buffer fails with ERROR_INSUFFICIENT_BUFFER and *pcbBuffer
// is the size needed.
BOOL WINAPI GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer);

// The Linux answers: the Windows directory is Z:\usr (the installed system) and the system
// directory Z:\usr\lib (its shared libraries). Both return the length without the terminator,
// or the size needed including it when the buffer is too small.
UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize);
UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);

}  // extern "C"

// --- Operating-system version ---

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
// The layer's own platform code, outside the Windows range, so that nothing above mistakes
// Linux for a Windows release. Code above must not depend on its value.
#define VER_PLATFORM_CALVIX_LINUX 0x4C58

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using POSVERSIONINFOA = OSVERSIONINFOA*;
using LPOSVERSIONINFOA = OSVERSIONINFOA*;

struct OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
};

extern "C" {

// Reports the running kernel: "6.1.0-18-amd64" gives major 6, minor 1 and build 0, the
// platform code VER_PLATFORM_CALVIX_LINUX and the kernel's name ("Linux") as the service-pack
// text. dwOSVersionInfoSize must be sizeof(OSVERSIONINFOA) or sizeof(OSVERSIONINFOEXA); any
// other value fails with ERROR_INSUFFICIENT_BUFFER. The extended fields are all zero.
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);

}  // extern "C"

// --- The registry (read-only) ---
// A small hive derived from the system: under HKEY_LOCAL_MACHINE, the keys
// SOFTWARE\Microsoft\Windows NT\CurrentVersion and SOFTWARE\Microsoft\Windows\CurrentVersion hold
// "ProgramFilesDir" (Z:\opt, where add-on applications live), "RegisteredOwner" (the user's full
// name from the account database, else the login name), "RegisteredOrganization" (empty) and
// "ProductName" (the distribution's name). Keys and value names compare without regard to case.
// Nothing can be written: opening a key with any right beyond reading fails with
// ERROR_ACCESS_DENIED, and no function creates keys.

using LSTATUS = LONG;
using REGSAM = DWORD;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define HKEY_PERFORMANCE_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000004))
#define HKEY_CURRENT_CONFIG ((HKEY)(ULONG_PTR)((LONG)0x80000005))
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define READ_CONTROL 0x00020000L
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_EXECUTE KEY_READ
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

extern "C" {

// A NULL or empty lpSubKey gives hKey itself back. A sub-key that starts with a backslash is
// refused with ERROR_BAD_PATHNAME, as Windows does; a missing key gives ERROR_FILE_NOT_FOUND.
LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult);

// NULL or "" names the key's default value. A missing value gives ERROR_FILE_NOT_FOUND; data
// without a size gives ERROR_INVALID_PARAMETER; a buffer that is too small gives ERROR_MORE_DATA
// with the size needed and leaves the buffer untouched. REG_SZ sizes count the terminator.
LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData);

// Root keys close successfully and stay usable; a handle closed twice gives ERROR_INVALID_HANDLE.
LSTATUS WINAPI RegCloseKey(HKEY hKey);

}  // extern "C"

// --- Resources of the executable ---
// The program carries a resource directory (type, name -> bytes) built from a text
// description at build time. Only the program's own module has resources: hModule must be
// NULL or the instance GetModuleHandleA(NULL) gives. Names and types are integers
// (MAKEINTRESOURCEA), "#123" for the integer 123, or text compared without regard to case.
// Language variants do not exist; every resource is language neutral.

#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)
#define VS_VERSION_INFO 1

extern "C" {

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
// The data lives as long as the program; FreeResource is not needed and not offered.
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);

}  // extern "C"

// --- Version information ---
// The same VS_VERSIONINFO block a Windows executable carries, read from the resource directory
// of the named file (any program built with one). As on Windows, the size reported leaves room
// for the Windows-1252 copies that VerQueryValueA makes of string values. Unlike Windows, a
// buffer given to GetFileVersionInfoA that is smaller than that size is cut to a block that
// holds together, and VerQueryValueA never looks beyond the lengths that block states.

#define VS_FFI_SIGNATURE 0xFEEF04BDL
#define VS_FFI_STRUCVERSION 0x00010000L
#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VS_FF_DEBUG 0x00000001L
#define VS_FF_PRERELEASE 0x00000002L
#define VS_FF_PATCHED 0x00000004L
#define VS_FF_PRIVATEBUILD 0x00000008L
#define VS_FF_INFOINFERRED 0x00000010L
#define VS_FF_SPECIALBUILD 0x00000020L
#define VOS_UNKNOWN 0x00000000L
#define VOS_NT_WINDOWS32 0x00040004L
#define VFT_UNKNOWN 0x00000000L
#define VFT_APP 0x00000001L
#define VFT_DLL 0x00000002L
#define VFT2_UNKNOWN 0x00000000L

struct VS_FIXEDFILEINFO {
  DWORD dwSignature;
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};

extern "C" {

// 0 with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND for a missing file, and with
// ERROR_RESOURCE_DATA_NOT_FOUND for a file without a (sound) version resource.
// *lpdwHandle is set to 0.
DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle);
BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);

// "\" (or "") gives the VS_FIXEDFILEINFO; "\VarFileInfo\Translation" the language and code
// page pairs; "\StringFileInfo\<lang><codepage>\<name>" a Windows-1252 string whose length
// counts the terminator. A block without a value answers TRUE with length 0. A missing name
// answers FALSE with length 0 and ERROR_RESOURCE_TYPE_NOT_FOUND; *lplpBuffer is left alone.
BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen);

}  // extern "C"

// --- Locale ---
// The user's regional settings and the local clock. On Linux the settings come from the LC_TIME
// locale of the environment; the headless driver lets tests set both (platform/headless).
using LCID = DWORD;
using LCTYPE = DWORD;

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_NOUSEROVERRIDE 0x80000000
#define LOCALE_SDATE 0x0000001D
#define LOCALE_STIME 0x0000001E
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_SLONGDATE 0x00000020
#define LOCALE_IDATE 0x00000021

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 is Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

extern "C" {
// Answers for LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT alike (both read the one locale of
// the environment); any other LCID fails with ERROR_INVALID_PARAMETER. Supports LOCALE_SDATE,
// LOCALE_STIME, LOCALE_SSHORTDATE, LOCALE_SLONGDATE and LOCALE_IDATE; other types fail with
// ERROR_INVALID_FLAGS. With cchData 0 it returns the size needed, terminator included.
int WINAPI GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);
// The local date and time, to the millisecond.
void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);
}

// --- Files ---
// Plain synchronous file access by Windows-style name (see the path mapping above).

#define GENERIC_READ 0x80000000L
#define GENERIC_WRITE 0x40000000L
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define ERROR_FILE_EXISTS 80L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_HANDLE_EOF 38L

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
};
using LPOVERLAPPED = OVERLAPPED*;
using PLONG = LONG*;

extern "C" {
// Opens or creates a file. The share mode, security attributes, flags and template are
// accepted and ignored (Unix has no sharing locks); a folder cannot be opened. Errors:
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_FILE_EXISTS (CREATE_NEW),
// ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Synchronous only: a non-null OVERLAPPED fails with ERROR_INVALID_PARAMETER.
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod);
DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
// Closes a file handle; the layer has no other kernel handles.
BOOL WINAPI CloseHandle(HANDLE hObject);
}
