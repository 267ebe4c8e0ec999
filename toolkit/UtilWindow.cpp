// Utility windows. Toolkit layer.
#include "toolkit/UtilWindow.h"

#include "toolkit/Forms.h"

namespace {

constexpr char kUtilWindowClass[] = "TPUtilWindow";

LRESULT CALLBACK UtilWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (method == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    (*method)(message);
  } catch (const std::exception&) {
    HandleEventException(nullptr);
  }
  return message.Result;
}

}  // namespace

void RegisterWindowClass(const std::string& name, WNDPROC proc, UINT style) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (GetClassInfoA(module, name.c_str(), &existing)) return;
  WNDCLASSA wc{};
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  if (RegisterClassA(&wc) == 0) throw EInvalidOperation("Couldn't register window class " + name);
}

HWND AllocateHWnd(TWndMethod method) {
  RegisterWindowClass(kUtilWindowClass, UtilWindowProc);
  const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, nullptr, nullptr);
  if (window == nullptr) throw EInvalidOperation("Couldn't create a utility window");
  SetWindowLongPtrA(window, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(method))));
  return window;
}

void DeallocateHWnd(HWND window) {
  if (window == nullptr) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  delete method;
}
