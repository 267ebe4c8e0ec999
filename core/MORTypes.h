// The program's shared module: taxpayer check digits and the facts every window shares.
// Layer: the program (core/), above the toolkit.
#pragma once

#include <string>
#include <string_view>

class TApplication;

// --- Taxpayer check digits ---
// Both functions take the digits the caller kept from its masked field. They answer false for
// a text too short to hold the number and for any character that is not a decimal digit;
// characters after the number's own length take no part in the check.

// True when characters 10 and 11 are the two check digits of the individual taxpayer number
// (CPF) whose base is characters 1 to 9.
bool ValidaCPF(std::string_view text);

// True when characters 13 and 14 are the two check digits of the company taxpayer number (CGC)
// whose base is characters 1 to 12.
bool ValidaCGC(std::string_view text);

// --- One copy per desktop ---

// Messages posted to the application window of the copy already running, with that window's
// own handle as wParam and 0 as lParam. No copy acts on them: they pass its message hook and
// reach default processing. What brings the copy forward is the restore and the foreground.
inline constexpr unsigned kActivateMessage = 0x2B4C;
inline constexpr unsigned kActivateSecondMessage = 0x2B51;

// Looks through every top-level window of the desktop, other programs' included, for the
// application window of another copy: class "TApplication" in any letter case, text exactly
// the application's title. When one is found, that copy is restored and brought forward, and
// this one ends at once with exit code 0 through Halt; otherwise nothing happens.
void ActivatePreviousInstance(TApplication* application, bool postSecondMessage);

// --- The program's version ---

// The program's own file, which carries its version resource. Windows builds name the
// executable with its extension.
#ifdef _WIN32
inline constexpr char kExeFileName[] = "MorCalvix.exe";
#else
inline constexpr char kExeFileName[] = "MorCalvix";
#endif

// The program's version as the main window last read it; the information windows show it.
extern std::string ExeVersion;

// Reads the FileVersion text of the named file's version resource, in the string table of the
// first language and code page its translation list names, into `version`. True when a
// non-empty version was read; when the file, its resource or the value cannot be found the
// answer is false and `version` is left as it was.
bool ReadFileVersion(const std::string& fileName, std::string& version);

// --- The maker ---
// Shown by the components' About boxes and the licence window. Message boxes and labels read
// "&" as a mnemonic marker, so the name holds "&&" where the user sees one ampersand.
inline constexpr std::string_view kMakerName = "Morvane Software && Systems";
// The maker's web address as the components' About boxes give it: the site a packager named with
// the build setting CALVIX_MAKER_URL, else an address of the reserved example domain, since the
// program has no site of its own.
std::string_view MakerWebAddress();
