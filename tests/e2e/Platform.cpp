// Helpers of the end-to-end tests that run the platform in this process.
#include "tests/e2e/Platform.h"

#include <map>

namespace e2e {

namespace {

constexpr UINT kCheckInterval = 50;
constexpr int kCell = 16;

void PaintPattern(HDC dc, const RECT& area) {
  for (int top = area.top / kCell * kCell; top < area.bottom; top += kCell) {
    for (int left = area.left / kCell * kCell; left < area.right; left += kCell) {
      const RECT cell{left, top, left + kCell, top + kCell};
      HBRUSH brush = CreateSolidBrush(PatternAt(left, top));
      FillRect(dc, &cell, brush);
      DeleteObject(brush);
    }
  }
}

// A memory device context with a 32-bit bitmap selected, released at the end of its scope.
class TCanvas {
 public:
  TCanvas(int width, int height, int bits = 32)
      : FDc(CreateCompatibleDC(nullptr)), FBitmap(CreateBitmap(width, height, 1, bits, nullptr)) {
    FPrevious = SelectObject(FDc, FBitmap);
  }
  ~TCanvas() {
    SelectObject(FDc, FPrevious);
    DeleteObject(FBitmap);
    DeleteDC(FDc);
  }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  HDC Dc() const { return FDc; }
  HBITMAP Bitmap() const { return FBitmap; }
  void Fill(const RECT& area, COLORREF colour) const {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(FDc, &area, brush);
    DeleteObject(brush);
  }

 private:
  HDC FDc;
  HBITMAP FBitmap;
  HGDIOBJ FPrevious;
};

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Recorded().push_back({hwnd, msg, wParam, lParam});
  if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  PaintPattern(dc, ps.rcPaint);
  EndPaint(hwnd, &ps);
  return 0;
}

}  // namespace

COLORREF PatternAt(int x, int y) {
  const int column = x / kCell, row = y / kCell;
  return RGB((column * 37) % 256, (row * 53) % 256, ((column + row) * 29 + 64) % 256);
}

std::vector<uint32_t> ReadScreen(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  TCanvas copy(width, height);
  HDC screen = GetDC(nullptr);
  BitBlt(copy.Dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(size_t(width) * height);
  GetDIBits(copy.Dc(), copy.Bitmap(), 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
  for (uint32_t& p : pixels)
    p &= 0x00FFFFFF;
  return pixels;
}

HICON SolidIcon(int size, COLORREF colour, int clearColumns) {
  TCanvas image(size, size), mask(size, size, 1);
  image.Fill(RECT{0, 0, size, size}, colour);
  mask.Fill(RECT{0, 0, size, size}, RGB(0, 0, 0));
  image.Fill(RECT{0, 0, clearColumns, size}, RGB(0, 0, 0));
  mask.Fill(RECT{0, 0, clearColumns, size}, RGB(255, 255, 255));
  ICONINFO info{TRUE, 0, 0, mask.Bitmap(), image.Bitmap()};
  return CreateIconIndirect(&info);
}

std::vector<TRecorded>& Recorded() {
  static std::vector<TRecorded> recorded;
  return recorded;
}

int CountOf(HWND hwnd, UINT msg, WPARAM wParam) {
  int count = 0;
  for (const TRecorded& r : Recorded()) {
    count += r.hwnd == hwnd && r.msg == msg && (wParam == WPARAM(-1) || r.wParam == wParam);
  }
  return count;
}

HWND CreateRecordingWindow(const std::string& className, const std::string& text, DWORD style,
                           RECT bounds, HWND owner, DWORD exStyle) {
  WNDCLASSA cls{};
  cls.style = CS_DBLCLKS;
  cls.lpfnWndProc = RecordingProc;
  cls.lpszClassName = className.c_str();
  WNDCLASSA existing;
  if (!GetClassInfoA(GetModuleHandleA(nullptr), className.c_str(), &existing)) RegisterClassA(&cls);
  return CreateWindowExA(exStyle, className.c_str(), text.c_str(), style, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr,
                         nullptr, nullptr);
}

bool PumpUntil(const std::function<bool()>& done, int seconds) {
  // Some awaited changes (a docked icon, a window mapped) post no message of their own, so a
  // short thread timer wakes the loop to look again until the deadline.
  const UINT_PTR tick = SetTimer(nullptr, 0, kCheckInterval, nullptr);
  const DWORD end = GetTickCount() + DWORD(seconds) * 1000;
  bool ok = done();
  MSG msg;
  while (!ok && int32_t(GetTickCount() - end) < 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ok = done();
  }
  KillTimer(nullptr, tick);
  return ok;
}

}  // namespace e2e
