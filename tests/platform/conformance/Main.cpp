// Runs every registered conformance case and reports the failures; the exit status is the
// number of failed checks (capped), so CTest sees a failure.
#include <cstring>

#include "tests/platform/conformance/Check.h"

#ifndef _WIN32
#include "platform/headless/headless.h"
#endif

namespace conformance {

bool UnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
#else
  return false;
#endif
}

HINSTANCE Instance() {
  return GetModuleHandleA(NULL);
}

const char* const kRecorderClass = "ConformanceRecorder";

std::vector<TSeenMessage>& Seen() {
  static std::vector<TSeenMessage> seen;
  return seen;
}

static LRESULT CALLBACK RecorderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Seen().push_back({h, m, w, l});
  return DefWindowProcA(h, m, w, l);
}

HWND MakeRecorder(const char* text, DWORD style, HWND owner) {
  return CreateWindowExA(0, kRecorderClass, text, style, 10, 10, 120, 80, owner, NULL, Instance(),
                         NULL);
}

std::vector<UINT> SeenBy(HWND hwnd) {
  std::vector<UINT> out;
  for (const TSeenMessage& s : Seen())
    if (s.hwnd == hwnd) out.push_back(s.msg);
  return out;
}

int IndexOf(const std::vector<UINT>& list, UINT msg) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == msg) return int(i);
  return -1;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace conformance

int main(int argc, char** argv) {
#ifndef _WIN32
  headless::Reset();  // the reference for our layer is its headless desktop
#endif
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = conformance::RecorderProc;
  wc.lpszClassName = conformance::kRecorderClass;
  wc.hInstance = conformance::Instance();
  if (!RegisterClassA(&wc)) {
    std::printf("cannot register the recorder class\n");
    return 1;
  }
  int run = 0;
  for (const conformance::TCase& c : conformance::Cases()) {
    if (argc > 1 && std::strcmp(argv[1], c.name) != 0) continue;
    const int before = conformance::Failures();
    conformance::Seen().clear();
    c.run();
    conformance::Pump();
    std::printf("%s %s\n", conformance::Failures() == before ? "ok    " : "FAILED", c.name);
    ++run;
  }
  std::printf("%d cases, %d failed checks\n", run, conformance::Failures());
  return conformance::Failures() > 100 ? 100 : conformance::Failures();
}
