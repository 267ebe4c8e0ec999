// Popup menus: items, the menu window with its own loop, and the command that carries the
// chosen item's click back to the message loop. Toolkit layer.
#include "toolkit/Menus.h"

#include <algorithm>

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TypInfo.h"
#include "toolkit/UtilWindow.h"

namespace {

// A class of the toolkit's own: "#32768" would be the system's menu class.
constexpr char kMenuClass[] = "TPopupMenuWindow";
constexpr int kBorder = 3;
constexpr int kTextMargin = 18;  // room for a check mark on the left, and its twin on the right
constexpr int kSeparatorHeight = 9;
constexpr int kRowPadding = 4;

UINT NextCommand() {
  static UINT next = 0;
  return ++next;
}

}  // namespace

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(NextCommand()) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : FItems)
    item->FParent = nullptr;
  FItems.clear();
  if (FParent != nullptr) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("Menu index out of range (" + IntToStr(index) + ")");
  return FItems[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) {
  Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr || item == this) return;
  if (item->FParent != nullptr) item->FParent->Remove(item);
  index = std::clamp(index, 0, Count());
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (command == FCommand) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindCommand(command)) return found;
  return nullptr;
}

void TMenuItem::Click() {
  OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent != nullptr && FParent->FMenu != nullptr) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TPopupMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc,
                            const TComponent* root) const {
  for (TMenuItem* item : FItems)
    if (item->Owner() == root) proc(item);
}

// --- The menu window ---
// A popup window that holds the pointer while the menu is open and runs a loop of its own:
// keys go to the menu whichever window has the focus, a press outside closes it.
class TPopupMenuWindow {
 public:
  TPopupMenuWindow(TPopupMenu& menu, int x, int y);
  ~TPopupMenuWindow();
  TPopupMenuWindow(const TPopupMenuWindow&) = delete;
  TPopupMenuWindow& operator=(const TPopupMenuWindow&) = delete;
  // Runs until the menu closes; the chosen item, or null.
  TMenuItem* Run();

 private:
  struct TRow {
    TMenuItem* Item;
    RECT Bounds;
  };
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void Layout();
  void Place(int x, int y);
  void Paint();
  int RowAt(POINT p) const;
  bool Selectable(int row) const;
  void SetHighlight(int row);
  void MoveHighlight(int step);
  void Close(TMenuItem* chosen);
  void HandleKey(MSG& msg);

  TPopupMenu& FMenu;
  HWND FWindow = nullptr;
  TFont FFont;
  std::vector<TRow> FRows;
  int FWidth = 0, FHeight = 0;
  int FHighlight = -1;
  bool FDone = false;
  TMenuItem* FChosen = nullptr;
};

TPopupMenuWindow::TPopupMenuWindow(TPopupMenu& menu, int x, int y) : FMenu(menu) {
  RegisterWindowClass(kMenuClass, &TPopupMenuWindow::WindowProc, CS_DBLCLKS);
  Layout();
  const HWND owner = Application->Handle();
  FWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMenuClass, "", WS_POPUP, x, y,
                            FWidth, FHeight, owner, nullptr, nullptr, nullptr);
  if (FWindow == nullptr) throw EOutOfResources("Cannot create the menu window");
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Place(x, y);
  ShowWindow(FWindow, SW_SHOWNOACTIVATE);
  SetCapture(FWindow);
}

TPopupMenuWindow::~TPopupMenuWindow() {
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
  if (GetCapture() == FWindow) ReleaseCapture();
  DestroyWindow(FWindow);
}

void TPopupMenuWindow::Layout() {
  const int textHeight = TextBounds(FFont, "Wg", DT_SINGLELINE).bottom;
  int y = kBorder, widest = 0;
  for (int i = 0; i < FMenu.Items()->Count(); ++i) {
    TMenuItem* item = FMenu.Items()->Items(i);
    if (!item->Visible()) continue;
    const int height = item->IsLine() ? kSeparatorHeight : textHeight + kRowPadding;
    if (!item->IsLine())
      widest = std::max<int>(widest, TextBounds(FFont, item->Caption(), DT_SINGLELINE).right);
    FRows.push_back({item, RECT{kBorder, y, 0, y + height}});
    y += height;
  }
  FWidth = widest + 2 * kTextMargin + 2 * kBorder;
  FHeight = y + kBorder;
  for (TRow& row : FRows)
    row.Bounds.right = FWidth - kBorder;
}

void TPopupMenuWindow::Place(int x, int y) {
  // The menu opens right and down from the point, and turns the other way at the screen's
  // edge, as the system's menus do.
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (FMenu.Alignment() == paRight) x -= FWidth;
  if (FMenu.Alignment() == paCenter) x -= FWidth / 2;
  if (x + FWidth > screenWidth) x -= FWidth;
  if (y + FHeight > screenHeight) y -= FHeight;
  x = std::max(0, x);
  y = std::max(0, y);
  SetWindowPos(FWindow, nullptr, x, y, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

TMenuItem* TPopupMenuWindow::Run() {
  while (!FDone) {
    MSG msg{};
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the menu closes and the quit goes back to the outer loop.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      HandleKey(msg);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return FChosen;
}

LRESULT CALLBACK TPopupMenuWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TPopupMenuWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (...) {
    self->Close(nullptr);
    HandleEventException(nullptr);
    return 0;
  }
}

LRESULT TPopupMenuWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  const POINT p{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  const bool inside = p.x >= 0 && p.y >= 0 && p.x < FWidth && p.y < FHeight;
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE:
      if (inside) SetHighlight(RowAt(p));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!inside) Close(nullptr);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      // A release outside the menu ends the press that opened it and changes nothing.
      if (inside && Selectable(RowAt(p))) Close(FRows[RowAt(p)].Item);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != FWindow) Close(nullptr);
      return 0;
    default:
      return DefWindowProcA(FWindow, msg, wParam, lParam);
  }
}

void TPopupMenuWindow::HandleKey(MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    switch (msg.wParam) {
      case VK_DOWN:
        return MoveHighlight(1);
      case VK_UP:
        return MoveHighlight(-1);
      case VK_HOME:
        FHighlight = -1;
        return MoveHighlight(1);
      case VK_END:
        FHighlight = -1;
        return MoveHighlight(-1);
      case VK_RETURN:
        if (Selectable(FHighlight)) Close(FRows[FHighlight].Item);
        return;
      case VK_ESCAPE:
      case VK_MENU:
      case VK_F10:
        return Close(nullptr);
      default:
        TranslateMessage(&msg);
        return;
    }
  }
  if (msg.message != WM_CHAR) return;
  // A mnemonic: the character after a single "&" in a caption chooses that item.
  const char typed = UpperCase(std::string(1, static_cast<char>(msg.wParam)))[0];
  for (size_t i = 0; i < FRows.size(); ++i) {
    const std::string& caption = FRows[i].Item->Caption();
    const size_t amp = caption.find('&');
    if (amp != std::string::npos && amp + 1 < caption.size() && caption[amp + 1] != '&' &&
        UpperCase(caption.substr(amp + 1, 1))[0] == typed && Selectable(static_cast<int>(i)))
      return Close(FRows[i].Item);
  }
}

int TPopupMenuWindow::RowAt(POINT p) const {
  for (size_t i = 0; i < FRows.size(); ++i) {
    const RECT& r = FRows[i].Bounds;
    if (PtInRect(&r, p)) return static_cast<int>(i);
  }
  return -1;
}

bool TPopupMenuWindow::Selectable(int row) const {
  return row >= 0 && row < static_cast<int>(FRows.size()) && !FRows[row].Item->IsLine() &&
         FRows[row].Item->Enabled();
}

void TPopupMenuWindow::SetHighlight(int row) {
  if (row >= 0 && FRows[row].Item->IsLine()) row = -1;
  if (row == FHighlight) return;
  FHighlight = row;
  InvalidateRect(FWindow, nullptr, FALSE);
}

void TPopupMenuWindow::MoveHighlight(int step) {
  const int n = static_cast<int>(FRows.size());
  int row = FHighlight >= 0 ? FHighlight : step > 0 ? -1 : n;
  for (int tries = 0; tries < n; ++tries) {
    row = ((row + step) % n + n) % n;
    if (!FRows[row].Item->IsLine()) return SetHighlight(row);
  }
}

void TPopupMenuWindow::Close(TMenuItem* chosen) {
  if (FDone) return;
  FDone = true;
  FChosen = chosen;
  ShowWindow(FWindow, SW_HIDE);
  // Wake the menu's loop even when nothing else is queued.
  PostMessageA(FWindow, WM_NULL, 0, 0);
}

void TPopupMenuWindow::Paint() {
  PAINTSTRUCT ps{};
  const HDC dc = BeginPaint(FWindow, &ps);
  TCanvas canvas;
  canvas.SetHandle(dc);
  RECT r{0, 0, FWidth, FHeight};
  Frame3D(canvas, r, clBtnFace, TColor(kSystemColorFlag | COLOR_3DDKSHADOW));
  Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
  canvas.Brush().SetColor(TColor(kSystemColorFlag | COLOR_MENU));
  canvas.FillRect(r);
  for (size_t i = 0; i < FRows.size(); ++i) {
    const TRow& row = FRows[i];
    const RECT& b = row.Bounds;
    if (row.Item->IsLine()) {
      const int mid = (b.top + b.bottom) / 2;
      canvas.Brush().SetColor(clBtnShadow);
      canvas.FillRect(RECT{b.left + 1, mid - 1, b.right - 1, mid});
      canvas.Brush().SetColor(clBtnHighlight);
      canvas.FillRect(RECT{b.left + 1, mid, b.right - 1, mid + 1});
      continue;
    }
    const bool lit = static_cast<int>(i) == FHighlight;
    canvas.Brush().SetColor(lit ? clHighlight : TColor(kSystemColorFlag | COLOR_MENU));
    canvas.FillRect(b);
    canvas.SetFont(FFont);
    TFontStyles style;
    if (row.Item->Default()) style.Include(fsBold);
    canvas.Font().SetStyle(style);
    canvas.Brush().SetStyle(bsClear);
    RECT text{b.left + kTextMargin, b.top, b.right - kTextMargin, b.bottom};
    if (!row.Item->Enabled()) {
      RECT shadow{text.left + 1, text.top + 1, text.right + 1, text.bottom + 1};
      canvas.Font().SetColor(clBtnHighlight);
      canvas.DrawText(row.Item->Caption(), shadow, DT_SINGLELINE | DT_VCENTER);
    }
    canvas.Font().SetColor(!row.Item->Enabled() ? clGrayText
                           : lit                ? clHighlightText
                                                : TColor(kSystemColorFlag | COLOR_MENUTEXT));
    canvas.DrawText(row.Item->Caption(), text, DT_SINGLELINE | DT_VCENTER);
    if (row.Item->Checked()) {
      const int cx = b.left + kTextMargin / 2, cy = (b.top + b.bottom) / 2;
      canvas.Brush().SetColor(canvas.Font().Color());
      for (int k = 0; k < 3; ++k)
        canvas.FillRect(RECT{cx - 3 + k, cy + k - 1, cx - 2 + k, cy + k + 1});
      for (int k = 0; k < 4; ++k)
        canvas.FillRect(RECT{cx + k, cy + 1 - k, cx + k + 1, cy + 3 - k});
    }
  }
  canvas.SetHandle(nullptr);
  EndPaint(FWindow, &ps);
}

// --- TPopupMenu ---

TPopupMenu::TPopupMenu(TComponent* owner)
    : TComponent(owner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& proc,
                             const TComponent* root) const {
  FItems->GetChildren(proc, root);
}

void TPopupMenu::Popup(int x, int y) {
  if (FWindow != nullptr) return;  // already open: a second request changes nothing
  OnPopup(this);
  TControl::CancelMouseCapture();
  if (!FCommandWindow)
    FCommandWindow =
        std::make_unique<TUtilityWindow>(TWndMethod(this, &TPopupMenu::CommandMessage));
  TMenuItem* chosen = nullptr;
  {
    TPopupMenuWindow window(*this, x, y);
    FWindow = &window;
    try {
      chosen = window.Run();
    } catch (...) {
      FWindow = nullptr;
      throw;
    }
    FWindow = nullptr;
  }
  // The click reaches the item through the loop, after the menu has gone, the way the
  // system delivers a menu's command; an item destroyed meanwhile is simply not found.
  if (chosen != nullptr) PostMessageA(FCommandWindow->Handle(), WM_COMMAND, chosen->Command(), 0);
}

void TPopupMenu::CommandMessage(TMessage& message) {
  if (message.Msg != WM_COMMAND) {
    message.Result =
        DefWindowProcA(FCommandWindow->Handle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  if (TMenuItem* item = FItems->FindCommand(static_cast<UINT>(message.WParam))) item->Click();
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  PublishClass<TMenuItem, TComponent>("TMenuItem")
      .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption, std::string())
      .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
      .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
      .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
      .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint, std::string())
      .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
      .Event("OnClick", &TMenuItem::OnClick);
  PublishClass<TPopupMenu, TComponent>("TPopupMenu")
      .Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
      .Enumeration("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                   {"paLeft", "paRight", "paCenter"}, paLeft)
      .Event("OnPopup", &TPopupMenu::OnPopup);
  return true;
}();

}  // namespace
