// A tiny self-contained check harness for the Win32 reference: the same check files build
// against our platform and, with MinGW, against the real Windows headers to run under Wine.
// Each file registers its cases with CONFORMANCE_CASE; Main.cpp runs them all.
#pragma once

#include <cstdio>
#include <vector>

#include "platform/win32.h"

namespace conformance {

struct TCase {
  const char* name;
  void (*run)();
};

inline std::vector<TCase>& Cases() {
  static std::vector<TCase> cases;
  return cases;
}

struct TRegistration {
  TRegistration(const char* name, void (*run)()) { Cases().push_back({name, run}); }
};

inline int& Failures() {
  static int failures = 0;
  return failures;
}

inline bool Report(bool ok, const char* what, const char* file, int line, long long a = 0,
                   long long b = 0, bool values = false) {
  if (ok) return true;
  ++Failures();
  std::printf("  FAILED %s:%d: %s", file, line, what);
  if (values) std::printf(" (%lld vs %lld)", a, b);
  std::printf("\n");
  return false;
}

// True when the real API under test is Wine's rather than Windows' own, for the few places
// where Wine is known to differ from what Windows documents.
bool UnderWine();
// The program's module instance, for the calls that name it.
HINSTANCE Instance();

// A window class whose windows record the messages they receive, shared by the check files.
struct TSeenMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<TSeenMessage>& Seen();
extern const char* const kRecorderClass;
HWND MakeRecorder(const char* text, DWORD style, HWND owner = NULL);
// The recorded messages of one window, numbers only, in order.
std::vector<UINT> SeenBy(HWND hwnd);
int IndexOf(const std::vector<UINT>& list, UINT msg);
// Takes and dispatches what is queued, without waiting.
void Pump();

}  // namespace conformance

#define CONFORMANCE_CASE(name)                                        \
  static void name();                                                 \
  static conformance::TRegistration name##Registration(#name, &name); \
  static void name()

#define CHECK(cond) conformance::Report(bool(cond), #cond, __FILE__, __LINE__)
#define CHECK_EQ(a, b)                                                                         \
  do {                                                                                         \
    const auto checkA = (a);                                                                   \
    const auto checkB = (b);                                                                   \
    conformance::Report(checkA == checkB, #a " == " #b, __FILE__, __LINE__, (long long)checkA, \
                        (long long)checkB, true);                                              \
  } while (0)
