// How windowless controls are painted: a form's window paints its controls in their order,
// graphic controls below focusable ones, each through a canvas on its own part of the window;
// and the painting bases TGraphicControl and TCustomControl. Toolkit layer.
#include <functional>

#include "toolkit/Controls.h"
#include "toolkit/TypInfo.h"

// --- Controls: painting ---

void TControl::Update() {
  if (const HWND window = WindowHandle()) UpdateWindow(window);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

// --- Containers: painting the form's window ---

void TWinControl::PaintControls(HDC dc, const RECT& area) {
  // Graphic controls lie on the container's surface; focusable controls are drawn above all
  // of them, whatever their place in the list.
  for (const bool windowed : {false, true}) {
    for (TControl* c : ControlList()) {
      if (!c->Visible() || (dynamic_cast<TWinControl*>(c) != nullptr) != windowed) continue;
      const RECT bounds = c->BoundsRect();
      if (RECT common; !IntersectRect(&common, &bounds, &area)) continue;
      const int saved = SaveDC(dc);
      IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
      OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
      c->PaintTo(dc);
      if (auto* container = dynamic_cast<TWinControl*>(c)) {
        const RECT inner{area.left - bounds.left, area.top - bounds.top, area.right - bounds.left,
                         area.bottom - bounds.top};
        container->PaintControls(dc, inner);
      }
      RestoreDC(dc, saved);
    }
  }
}

// --- Control canvases ---

TControlCanvas::~TControlCanvas() {
  FreeWindowContext();
}

void TControlCanvas::CreateHandle() {
  const HWND window = FControl.WindowHandle();
  if (window == nullptr) return;
  HDC dc = GetDC(window);
  if (dc == nullptr) return;
  const POINT origin = FControl.WindowOrigin();
  IntersectClipRect(dc, origin.x, origin.y, origin.x + FControl.Width(),
                    origin.y + FControl.Height());
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  FWindow = window;
  SetHandle(dc);
}

void TControlCanvas::FreeWindowContext() {
  if (FWindow == nullptr) return;
  HDC dc = Handle();
  SetHandle(nullptr);
  ReleaseDC(FWindow, dc);
  FWindow = nullptr;
}

void TControlCanvas::AfterUse() {
  // A context of the window is taken for each drawing call made outside a paint, so that no
  // context outlives the message that drew.
  FreeWindowContext();
}

void TControlCanvas::BeginPaint(HDC dc) {
  FreeWindowContext();
  SetHandle(dc);
}

void TControlCanvas::EndPaint() {
  if (FWindow == nullptr) SetHandle(nullptr);
}

void TControlCanvas::PaintOn(HDC dc, const std::function<void()>& paint) {
  BeginPaint(dc);
  try {
    SetFont(*FControl.Font());
    paint();
  } catch (...) {
    EndPaint();
    throw;
  }
  EndPaint();
}

// --- Graphic controls ---

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), FCanvas(std::make_unique<TControlCanvas>(*this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc) {
  FCanvas->PaintOn(dc, [this] { Paint(); });
}

// --- Custom controls ---

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), FCanvas(std::make_unique<TControlCanvas>(*this)) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintTo(HDC dc) {
  FCanvas->PaintOn(dc, [this] { Paint(); });
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  PublishClass<TGraphicControl, TControl>("TGraphicControl");
  PublishClass<TCustomControl, TWinControl>("TCustomControl");
  return true;
}();

}  // namespace
