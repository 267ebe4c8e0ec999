// Forms, the application object and the screen. Toolkit layer.
#include "toolkit/Forms.h"

#include <algorithm>
#include <cstdio>

#include "toolkit/Dialogs.h"
#include "toolkit/Property.h"
#include "toolkit/Streaming.h"
#include "toolkit/TypInfo.h"
#include "toolkit/UtilWindow.h"

namespace {

constexpr char kApplicationClass[] = "TApplication";

TApplication* theApplication = nullptr;
TScreen* theScreen = nullptr;
bool shuttingDown = false;

TErrorBoxProc& ErrorBox() {
  static TErrorBoxProc proc = [](const std::string& title, const std::string& message) {
    ShowErrorBox(title, message);
  };
  return proc;
}

std::string MessageOf(const std::exception& e) {
  if (const auto* ours = dynamic_cast<const Exception*>(&e)) return ours->Message();
  return e.what();
}

// The object a toolkit window belongs to, stored at WM_NCCREATE from the creation parameter.
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace

// --- Globals ---

template <>
TApplication* TGlobalRef<TApplication>::Get() const {
  if (theApplication == nullptr) theApplication = new TApplication(nullptr);
  return theApplication;
}
template <>
bool TGlobalRef<TApplication>::Assigned() const {
  return theApplication != nullptr;
}
template <>
TScreen* TGlobalRef<TScreen>::Get() const {
  if (theScreen == nullptr) theScreen = new TScreen(nullptr);
  return theScreen;
}
template <>
bool TGlobalRef<TScreen>::Assigned() const {
  return theScreen != nullptr;
}

TGlobalRef<TApplication> Application;
TGlobalRef<TScreen> Screen;

void DoneApplication() {
  shuttingDown = true;
  delete theApplication;
  theApplication = nullptr;
  delete theScreen;
  theScreen = nullptr;
  shuttingDown = false;
}

void Halt(int exitCode) {
  throw THalt{exitCode};
}

void SetErrorBox(TErrorBoxProc proc) {
  ErrorBox() = std::move(proc);
}

void HandleEventException(TObject* sender) {
  if (shuttingDown) return;
  Application->HandleException(sender);
}

// --- Forms ---

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  StoreVisible(false);
  SetBounds(0, 0, 320, 240);
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  try {
    OnDestroy(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
  if (Screen.Assigned()) Screen->RemoveForm(this);
  if (Application.Assigned()) Application->FormDestroyed(this);
  DestroyComponents();
  DestroyHandle();
}

void TCustomForm::AfterConstruction() {
  FCreating = true;
  try {
    InitInheritedComponent(*this);
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  Handle();
  DoCreate();
  if (Visible() && !FShowing) ShowWindowNow();
}

void TCustomForm::DoCreate() {
  try {
    OnCreate(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
}

HWND TCustomForm::Handle() {
  if (FHandle == nullptr) CreateHandle();
  return FHandle;
}

void TCustomForm::CreateHandle() {
  const std::string className = ClassName();
  RegisterWindowClass(className, FormWindowProc, CS_DBLCLKS);
  FMovingWindow = true;
  FHandle =
      CreateWindowExA(WindowExStyle(), className.c_str(), Caption().c_str(), WindowStyle(), Left(),
                      Top(), Width(), Height(), Application->Handle(), nullptr, nullptr, this);
  FMovingWindow = false;
  if (FHandle == nullptr) throw EInvalidOperation("Couldn't create the window of " + Name());
}

void TCustomForm::DestroyHandle() {
  if (FHandle == nullptr) return;
  SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
  DestroyWindow(FHandle);
  FHandle = nullptr;
}

DWORD TCustomForm::WindowStyle() const {
  DWORD style = WS_CLIPSIBLINGS;
  switch (FBorderStyle) {
    case bsNone:
      return style | WS_POPUP;
    case bsSingle:
      style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      return style | WS_POPUP | WS_CAPTION | WS_DLGFRAME | WS_SYSMENU;
    case bsToolWindow:
      style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeToolWin:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
  }
  if (FBorderIcons.Contains(biSystemMenu)) style |= WS_SYSMENU;
  const bool tool = FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin;
  if (!tool && FBorderIcons.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
  if (!tool && FBorderIcons.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
  return style;
}

DWORD TCustomForm::WindowExStyle() const {
  DWORD exStyle = 0;
  if (FBorderStyle == bsDialog) exStyle |= WS_EX_DLGMODALFRAME;
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) exStyle |= WS_EX_TOOLWINDOW;
  if (FFormStyle == fsStayOnTop) exStyle |= WS_EX_TOPMOST;
  return exStyle;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  if (FHandle == nullptr) return;
  SetWindowLongA(FHandle, GWL_STYLE,
                 static_cast<LONG>(WindowStyle() | (FShowing ? WS_VISIBLE : 0)));
  SetWindowLongA(FHandle, GWL_EXSTYLE, static_cast<LONG>(WindowExStyle()));
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == FBorderIcons) return;
  FBorderIcons = icons;
  if (FHandle != nullptr)
    SetWindowLongA(FHandle, GWL_STYLE,
                   static_cast<LONG>(WindowStyle() | (FShowing ? WS_VISIBLE : 0)));
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == FFormStyle) return;
  FFormStyle = style;
  if (FHandle != nullptr)
    SetWindowPos(FHandle, style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == FWindowState) return;
  FWindowState = state;
  if (FHandle != nullptr && FShowing) {
    static constexpr int kCommands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, kCommands[state]);
  }
}

void TCustomForm::SetActiveControl(TControl* control) {
  if (control == FActiveControl) return;
  TControl* previous = FActiveControl;
  FActiveControl = control;
  if (!IsLoading())
    MoveFocus(dynamic_cast<TWinControl*>(previous), dynamic_cast<TWinControl*>(control));
}

bool TCustomForm::Active() const {
  return FHandle != nullptr && GetActiveWindow() == FHandle;
}

// --- Showing and hiding ---

void TCustomForm::SetVisible(bool visible) {
  if (IsLoading() || FCreating) {
    StoreVisible(visible);  // shown when creation ends
    return;
  }
  if (visible == Visible() && visible == FShowing) return;
  StoreVisible(visible);
  if (visible) {
    ShowWindowNow();
  } else if (FShowing) {
    FShowing = false;
    DoHide();
    ShowWindow(FHandle, SW_HIDE);
  }
}

// OnShow runs before the window reaches the screen; a form to be centred is centred after it,
// on its first showing only, so later showings keep the place the form had.
void TCustomForm::ShowWindowNow() {
  Handle();
  FShowing = true;
  DoShow();
  if (!Visible() || !FShowing) return;
  if (FPosition == poScreenCenter && !FCentred) {
    CenterOnScreen();
    FCentred = true;
  }
  static constexpr int kCommands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
  ShowWindow(FHandle, kCommands[FWindowState]);
}

void TCustomForm::CenterOnScreen() {
  SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (FHandle == nullptr || !FShowing) return;
  SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (FWindowState != wsMinimized) SetForegroundWindow(FHandle);
}

void TCustomForm::DoShow() {
  try {
    OnShow(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
}

void TCustomForm::DoHide() {
  try {
    OnHide(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  OnClose(this, action);
  if (action == caNone) return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() {
  PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

// --- Bounds and text follow the window ---

SIZE TCustomForm::FrameSize() const {
  RECT r{0, 0, 0, 0};
  if (!AdjustWindowRectEx(&r, WindowStyle(), FALSE, WindowExStyle())) return SIZE{0, 0};
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int TCustomForm::ClientWidth() const {
  return std::max<int>(0, Width() - FrameSize().cx);
}

int TCustomForm::ClientHeight() const {
  return std::max<int>(0, Height() - FrameSize().cy);
}

// A description lists the client size before the border style, and the frame depends on the
// style: the size waits for the end of the reading, as the designer meant it for the form's
// own style.
void TCustomForm::SetReadClientWidth(int width) {
  if (IsLoading())
    FReadClientWidth = width;
  else
    SetClientWidth(width);
}

void TCustomForm::SetReadClientHeight(int height) {
  if (IsLoading())
    FReadClientHeight = height;
  else
    SetClientHeight(height);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (FReadClientWidth >= 0) SetClientWidth(FReadClientWidth);
  if (FReadClientHeight >= 0) SetClientHeight(FReadClientHeight);
  FReadClientWidth = FReadClientHeight = -1;
}

void TCustomForm::BoundsChanged() {
  if (FHandle != nullptr && !FMovingWindow)
    MoveWindow(FHandle, Left(), Top(), Width(), Height(), TRUE);
}

void TCustomForm::TextChanged() {
  if (FHandle != nullptr) SetWindowTextA(FHandle, Caption().c_str());
}

// --- The window procedure ---

LRESULT CALLBACK TCustomForm::FormWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TCustomForm* form = WindowObject<TCustomForm>(hwnd, msg, lParam);
  if (form == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (form->FHandle == nullptr) form->FHandle = hwnd;  // messages sent during creation
  if (msg == CM_RELEASE) {
    delete form;
    return 0;
  }
  TMessage message{msg, wParam, lParam, 0};
  try {
    form->WndProc(message);
  } catch (const std::exception&) {
    HandleEventException(form);
  }
  return message.Result;
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      return WMPaint();
    case WM_CLOSE:
      return WMClose();
    case WM_SHOWWINDOW:
      return WMShowWindow(m.WParam != 0, m.LParam);
    case WM_SIZE:
      return WMSize(m.WParam);
    case WM_MOVE:
      return WMMove();
    case WM_ACTIVATE:
      WMActivate(LOWORD(m.WParam) != WA_INACTIVE);
      break;
    case WM_SETCURSOR:
      if (!WMSetCursor(reinterpret_cast<HWND>(m.WParam), static_cast<SHORT>(LOWORD(m.LParam))))
        break;
      m.Result = TRUE;
      return;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this) {
        Application->Minimize();
        return;
      }
      break;
    default:
      if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && MouseMessage(m)) return;
      if (m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST && KeyMessage(m)) return;
      break;
  }
  m.Result = DefWindowProcA(FHandle, m.Msg, m.WParam, m.LParam);
}

void TCustomForm::PaintWindow(HDC dc, const RECT& area) {
  // The form's colour first, then what OnPaint draws, then the controls above both.
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(area);
  canvas.SetHandle(nullptr);
  OnPaint(this);
  PaintControls(dc, area);
}

void TCustomForm::WMPaint() {
  PAINTSTRUCT ps{};
  const HDC dc = BeginPaint(FHandle, &ps);
  try {
    PaintWindow(dc, ps.rcPaint);
  } catch (...) {
    EndPaint(FHandle, &ps);
    throw;
  }
  EndPaint(FHandle, &ps);
}

void TCustomForm::WMClose() {
  Close();
}

// A window shown or hidden directly (not through Visible) keeps the property honest; hiding
// because the owner was minimised (a non-zero reason) does not change it.
void TCustomForm::WMShowWindow(bool shown, LPARAM reason) {
  if (reason != 0 || shown == FShowing) return;
  FShowing = shown;
  StoreVisible(shown);
}

// WM_SIZE and WM_MOVE tell the client area's size and place; the form's bounds are the
// window's, frame included, so they are read from the window itself.
void TCustomForm::WMSize(WPARAM kind) {
  if (FMovingWindow) return;  // the window follows the properties, not the reverse
  if (kind == SIZE_MINIMIZED) {
    FWindowState = wsMinimized;
    return;
  }
  FWindowState = kind == SIZE_MAXIMIZED ? wsMaximized : wsNormal;
  RECT r{};
  if (!GetWindowRect(FHandle, &r)) return;
  FMovingWindow = true;
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  FMovingWindow = false;
}

void TCustomForm::WMMove() {
  RECT r{};
  if (FMovingWindow || IsIconic(FHandle) || !GetWindowRect(FHandle, &r)) return;
  FMovingWindow = true;
  SetBounds(r.left, r.top, Width(), Height());
  FMovingWindow = false;
}

// The control under the pointer chooses its shape; without a choice the class's arrow shows.
bool TCustomForm::WMSetCursor(HWND window, int hitTest) {
  if (window != FHandle || hitTest != HTCLIENT) return false;
  POINT p{};
  if (!GetCursorPos(&p) || !::ScreenToClient(FHandle, &p)) return false;
  const TCursor cursor = CursorAtPoint(p);
  if (cursor == crDefault) return false;
  ::SetCursor(CursorHandle(cursor));
  return true;
}

void TCustomForm::WMActivate(bool active) {
  try {
    if (active)
      OnActivate(this);
    else
      OnDeactivate(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
}

// --- The screen ---

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw ERangeError("Form index out of bounds (" + std::to_string(index) + ")");
  return FForms[static_cast<size_t>(index)];
}

int TScreen::Width() const {
  return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::Height() const {
  return GetSystemMetrics(SM_CYSCREEN);
}

TCustomForm* TScreen::ActiveForm() const {
  const HWND active = GetActiveWindow();
  for (TCustomForm* f : FForms)
    if (f->WindowHandle() == active && active != nullptr) return f;
  return nullptr;
}

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(FForms, form);
}

// --- The application ---

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  CreateHandle();
}

TApplication::~TApplication() {
  DestroyComponents();
  if (FHandle != nullptr) {
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

void TApplication::CreateHandle() {
  RegisterWindowClass(kApplicationClass, AppWindowProc, 0);
  FHandle = CreateWindowExA(0, kApplicationClass, FTitle.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                            0, nullptr, nullptr, nullptr, this);
  if (FHandle == nullptr) throw EInvalidOperation("Couldn't create the application window");
}

void TApplication::SetTitle(const std::string& title) {
  ChangeProperty(FTitle, title, [this] { SetWindowTextA(FHandle, FTitle.c_str()); });
}

void TApplication::AdoptForm(TCustomForm* form) {
  if (FMainForm == nullptr) FMainForm = form;
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (FMainForm == form) FMainForm = nullptr;
}

void TApplication::Run() {
  if (FMainForm != nullptr) {
    if (FMainForm->WindowState() == wsMinimized)
      Minimize();
    else
      FMainForm->SetVisible(true);
  }
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (const std::exception&) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  // Activation lost and won back before the notification is taken is no loss: hiding or
  // parking the active window hands the activation to the window below it, another program's,
  // until the program takes it back. The notification is dropped, so that nothing reacts to a
  // loss the user never saw.
  if (msg.message == CM_DEACTIVATE && msg.hwnd == FHandle && HasForeground()) return true;
  bool handled = false;
  OnMessage(msg, handled);
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

bool TApplication::HasForeground() const {
  const HWND foreground = GetForegroundWindow();
  return foreground != nullptr &&
         (foreground == FHandle || GetAncestor(foreground, GA_ROOTOWNER) == FHandle);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg) && !FTerminated) WaitMessage();
}

void TApplication::Minimize() {
  if (IsIconic(FHandle)) return;
  NormalizeTopMosts();
  SetActiveWindow(FHandle);
  ShowWindow(FHandle, SW_MINIMIZE);
  OnMinimize(this);
}

void TApplication::Restore() {
  if (!IsIconic(FHandle)) return;
  SetActiveWindow(FHandle);
  ShowWindow(FHandle, SW_RESTORE);  // its WM_SIZE runs Restored
}

void TApplication::Restored() {
  if (FMainForm != nullptr && FMainForm->WindowState() == wsMinimized && !FMainForm->Visible()) {
    FMainForm->SetWindowState(wsNormal);
    FMainForm->Show();
  }
  RestoreTopMosts();
  OnRestore(this);
}

// The application window has no content of its own: when it gets the focus (activated from
// outside, or restored), the topmost shown window of the application takes it over.
void TApplication::FocusTopForm() {
  if (IsIconic(FHandle) || GetFocus() != FHandle) return;
  for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    if (GetWindow(h, GW_OWNER) == FHandle && IsWindowVisible(h) && IsWindowEnabled(h) &&
        !IsIconic(h)) {
      SetForegroundWindow(h);
      return;
    }
  }
}

void TApplication::NormalizeTopMosts() {
  for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h == FHandle || !IsWindowVisible(h)) continue;
    if ((GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) continue;
    if (GetWindow(h, GW_OWNER) != FHandle) continue;
    FTopMosts.push_back(h);
  }
  for (HWND h : FTopMosts)
    SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TApplication::RestoreTopMosts() {
  for (auto it = FTopMosts.rbegin(); it != FTopMosts.rend(); ++it)
    if (IsWindow(*it))
      SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FTopMosts.clear();
}

void TApplication::HandleException(TObject* sender) {
  const std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    if (OnException.Assigned()) {
      try {
        OnException(sender, e);
        return;
      } catch (const std::exception& again) {
        ShowException(MessageOf(again));
        return;
      }
    }
    ShowException(MessageOf(e));
  } catch (...) {
    ShowException("Unknown exception");
  }
}

void TApplication::ShowException(const std::string& message) {
  std::string text = message;
  if (!text.empty() && text.back() != '.') text += '.';
  ErrorBox()(FTitle, text);
}

LRESULT CALLBACK TApplication::AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TApplication* app = WindowObject<TApplication>(hwnd, msg, lParam);
  if (app == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (app->FHandle == nullptr) app->FHandle = hwnd;  // messages sent during creation
  try {
    return app->WndProc(msg, wParam, lParam);
  } catch (const std::exception&) {
    app->HandleException(app);
    return 0;
  }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ACTIVATEAPP:
      PostMessageA(FHandle, wParam ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
      return 0;
    case CM_ACTIVATE:
      OnActivate(this);
      return 0;
    case CM_DEACTIVATE:
      OnDeactivate(this);
      return 0;
    case WM_CLOSE:
      if (FMainForm != nullptr) FMainForm->Close();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        FMinimized = true;
      } else if (wParam == SIZE_RESTORED && FMinimized) {
        FMinimized = false;
        Restored();
      }
      break;
    case WM_SETFOCUS:
      PostMessageA(FHandle, CM_ENTER, 0, 0);
      break;
    case CM_ENTER:
      FocusTopForm();
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return 0;
        case SC_RESTORE:
          Restore();
          return 0;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(FHandle, msg, wParam, lParam);
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  PublishClass<TCustomForm, TWinControl>("TCustomForm")
      .IntegerIdents("Color", &TControl::Color, &TControl::SetColor, ColorIdents(), clBtnFace)
      .Integer("ClientWidth", &TControl::ClientWidth, &TCustomForm::SetReadClientWidth)
      .Integer("ClientHeight", &TControl::ClientHeight, &TCustomForm::SetReadClientHeight)
      .String("Caption", &TControl::Caption, &TControl::SetCaption, std::string())
      .Enumeration(
          "BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
          {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
          std::optional(bsSizeable))
      .Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
           {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
           std::optional(TBorderIcons{biSystemMenu, biMinimize, biMaximize}))
      .Enumeration("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                   {"fsNormal", "fsStayOnTop"}, std::optional(fsNormal))
      .Enumeration(
          "Position", &TCustomForm::Position, &TCustomForm::SetPosition,
          {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter"},
          std::optional(poDesigned))
      .Enumeration("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                   {"wsNormal", "wsMinimized", "wsMaximized"}, std::optional(wsNormal))
      .Component<TControl>("ActiveControl", &TCustomForm::ActiveControl,
                           &TCustomForm::SetActiveControl)
      .Boolean("Visible", &TControl::Visible, &TCustomForm::SetVisible, false)
      .Event("OnCreate", &TCustomForm::OnCreate)
      .Event("OnDestroy", &TCustomForm::OnDestroy)
      .Event("OnShow", &TCustomForm::OnShow)
      .Event("OnHide", &TCustomForm::OnHide)
      .Event("OnActivate", &TCustomForm::OnActivate)
      .Event("OnDeactivate", &TCustomForm::OnDeactivate)
      .Event("OnPaint", &TCustomForm::OnPaint)
      .Event("OnClose", &TCustomForm::OnClose)
      .Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
  PublishClass<TForm, TCustomForm>("TForm");
  return true;
}();

}  // namespace
