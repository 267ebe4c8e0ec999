// The program's shared module: taxpayer check digits and the facts every window shares.
// Layer: the program (core/), above the toolkit.
#include "core/MORTypes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/MakerSettings.h"
#include "platform/win32.h"
#include "toolkit/Forms.h"

// --- Taxpayer check digits ---

namespace {

constexpr std::size_t kCpfLength = 11;
constexpr std::size_t kCpfBaseLength = 9;
constexpr std::size_t kCgcLength = 14;
constexpr std::size_t kCgcBaseLength = 12;

// The company number weighs its twelve base digits with two fixed weight strings, one per
// check digit: "543298765432" and "654329876543".
constexpr std::array<int, kCgcBaseLength> kCgcFirstWeights{5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
constexpr std::array<int, kCgcBaseLength> kCgcSecondWeights{6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3};

// The whole text is looked at before any arithmetic, so that a stray character anywhere makes
// the answer false instead of being read as some digit.
bool AllDecimalDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int DigitAt(std::string_view text, std::size_t index) {
  return text[index] - '0';
}

// The individual number's rule: eleven minus the remainder, where 10 and 11 become 0.
int CpfCheckDigit(int sum) {
  const int digit = 11 - sum % 11;
  return digit >= 10 ? 0 : digit;
}

// The company number's rule: ten times the sum modulo eleven, where 10 becomes 0.
int CgcCheckDigit(int sum) {
  const int digit = sum * 10 % 11;
  return digit == 10 ? 0 : digit;
}

}  // namespace

bool ValidaCPF(std::string_view text) {
  if (text.size() < kCpfLength || !AllDecimalDigits(text)) return false;
  // The weights rise by one from 2 at the rightmost digit being summed. The second pass sums
  // the base digits again, every weight shifted up by one, plus the first check digit at 2.
  int firstSum = 0;
  int secondSum = 0;
  for (std::size_t i = 0; i < kCpfBaseLength; ++i) {
    const int digit = DigitAt(text, i);
    const int weight = static_cast<int>(kCpfBaseLength - i) + 1;
    firstSum += digit * weight;
    secondSum += digit * (weight + 1);
  }
  const int first = CpfCheckDigit(firstSum);
  const int second = CpfCheckDigit(secondSum + first * 2);
  return DigitAt(text, kCpfBaseLength) == first && DigitAt(text, kCpfBaseLength + 1) == second;
}

bool ValidaCGC(std::string_view text) {
  if (text.size() < kCgcLength || !AllDecimalDigits(text)) return false;
  int firstSum = 0;
  int secondSum = 0;
  for (std::size_t i = 0; i < kCgcBaseLength; ++i) {
    const int digit = DigitAt(text, i);
    firstSum += digit * kCgcFirstWeights[i];
    secondSum += digit * kCgcSecondWeights[i];
  }
  const int first = CgcCheckDigit(firstSum);
  const int second = CgcCheckDigit(secondSum + first * 2);
  return DigitAt(text, kCgcBaseLength) == first && DigitAt(text, kCgcBaseLength + 1) == second;
}

// --- The program's version ---

std::string ExeVersion;

namespace {

constexpr char kTranslationPath[] = "\\VarFileInfo\\Translation";
// The string table's name is the language and code page, each printed without leading zeros
// after a fixed "0". Numbers without exactly three significant hex digits thus give a path of
// the wrong shape, which finds nothing; that is how the program has always looked it up.
constexpr char kStringPathFormat[] = "\\StringFileInfo\\0%x0%x\\%s";
constexpr char kFileVersionName[] = "FileVersion";

}  // namespace

bool ReadFileVersion(const std::string& fileName, std::string& version) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return false;
  std::vector<char> buffer(size + 1);
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size + 1, buffer.data())) return false;

  void* value = nullptr;
  UINT length = 0;
  // A translation list shorter than one entry is damage, not a language to read.
  if (!VerQueryValueA(buffer.data(), kTranslationPath, &value, &length) || length < sizeof(DWORD)) {
    return false;
  }
  DWORD translation = 0;
  std::memcpy(&translation, value, sizeof translation);

  char path[64];
  std::snprintf(path, sizeof path, kStringPathFormat, LOWORD(translation), HIWORD(translation),
                kFileVersionName);
  if (!VerQueryValueA(buffer.data(), path, &value, &length)) return false;
  const auto* text = static_cast<const char*>(value);
  version.assign(text, strnlen(text, length));
  return !version.empty();
}

// --- One copy per desktop ---

namespace {

// Both texts are read into buffers of this size, at most one character less, so that the
// terminating zero always fits; a longer text is cut and can never equal the title.
constexpr int kSearchBufferSize = 256;
constexpr char kApplicationClassUpper[] = "TAPPLICATION";

std::string UpperCase(const char* text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return upper;
}

bool IsOtherCopy(HWND window, HWND ownWindow, const std::string& title, char* className,
                 char* text) {
  if (window == ownWindow) return false;
  className[0] = text[0] = '\0';
  GetClassNameA(window, className, kSearchBufferSize - 1);
  const int length = GetWindowTextLengthA(window);
  GetWindowTextA(window, text, std::min(length + 1, kSearchBufferSize));
  return title == text && UpperCase(className) == kApplicationClassUpper;
}

void BringForward(HWND window, bool postSecondMessage) {
  ShowWindow(window, SW_RESTORE);
  PostMessageA(window, kActivateMessage, reinterpret_cast<WPARAM>(window), 0);
  if (postSecondMessage)
    PostMessageA(window, kActivateSecondMessage, reinterpret_cast<WPARAM>(window), 0);
  SetForegroundWindow(window);
}

}  // namespace

void ActivatePreviousInstance(TApplication* application, bool postSecondMessage) {
  std::vector<char> className(kSearchBufferSize), text(kSearchBufferSize);
  const HWND own = application->Handle();
  const std::string& title = application->Title();
  for (HWND window = GetTopWindow(nullptr); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsOtherCopy(window, own, title, className.data(), text.data())) {
      BringForward(window, postSecondMessage);
      Halt(0);
    }
  }
}

// --- The maker ---

std::string_view MakerWebAddress() {
  static constexpr char kNoSite[] = "http://www.morvane.example";
  return *kMakerUrlSetting != '\0' ? kMakerUrlSetting : kNoSite;
}
