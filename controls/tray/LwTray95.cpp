// The tray icon family: timer manager, tray icon, its hidden window's handler, the animation
// and the form-close hook. Program layer.
#include "controls/tray/LwTray95.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "controls/tray/LwAppWnd.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/TypInfo.h"
#include "toolkit/UtilWindow.h"

// --- Unit-level state ---

int ClickWaitInterval = 400;

namespace {

int LockCount = 0;
// Set while an OnStateChanging handler of any tray icon runs.
bool StateChangeGuard = false;

// The record's flags for every add and modify: callback message, icon and tip.
constexpr UINT kNotifyFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// The size of the record as the first shells knew it: a tip of 64 characters, nothing after.
constexpr DWORD kNotifyDataSize = NOTIFYICONDATAA_V1_SIZE;
constexpr size_t kTipCapacity = sizeof(NOTIFYICONDATAA{}.szTip);
// The animation's frames from resources are loaded at the small icon size.
constexpr int kFrameSize = 16;

HWND AppHandle() {
  return Application->Handle();
}

// Holds the desktop lock of a tray icon for a scope, giving it back on every path. With
// `taken` the caller has already locked, and the scope only gives the lock back.
class TDesktopLock {
 public:
  explicit TDesktopLock(TLwTrayIcon95& trayIcon, bool taken = false) : FTrayIcon(trayIcon) {
    if (!taken) FTrayIcon.LockDesktop(true);
  }
  ~TDesktopLock() { FTrayIcon.LockDesktop(false); }
  TDesktopLock(const TDesktopLock&) = delete;
  TDesktopLock& operator=(const TDesktopLock&) = delete;

 private:
  TLwTrayIcon95& FTrayIcon;
};

}  // namespace

int DesktopLockCount() {
  return LockCount;
}

TLwTimerInterval ToTimerInterval(long long value) {
  if (value < kMinTimerInterval || value > kMaxTimerInterval)
    throw ERangeError("Range check error");
  return static_cast<TLwTimerInterval>(value);
}

// --- TLwTimerItem ---

TLwTimerItem::TLwTimerItem(TComponent* owner)
    : TComponent(owner), FManager(dynamic_cast<TLwTimerManager*>(owner)) {}

void TLwTimerItem::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (FManager != nullptr) FManager->Rearm();
}

void TLwTimerItem::SetInterval(TLwTimerInterval interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  if (FEnabled && FManager != nullptr) FManager->Rearm();
}

bool TLwTimerItem::IsDue() const {
  // Unsigned subtraction keeps the elapsed time right across the wrap of the tick count.
  const DWORD elapsed = GetTickCount() - FLastTick;
  return static_cast<long long>(elapsed) >= static_cast<long long>(FInterval);
}

void TLwTimerItem::Fire() {
  FOnTimer(this);
  FLastTick = GetTickCount();
}

// --- TLwTimerManager ---

TLwTimerManager::TLwTimerManager(TComponent* owner) : TComponent(owner) {
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = TNotifyEvent(this, &TLwTimerManager::TimerTick);
}

TLwTimerManager::~TLwTimerManager() {
  FTimer->SetEnabled(false);
  delete FTimer;
  FTimer = nullptr;
  FItems.clear();
  // The items go with the inherited destruction; they no longer reach the manager.
  for (TComponent* c : ComponentList())
    if (auto* item = dynamic_cast<TLwTimerItem*>(c)) item->FManager = nullptr;
}

void TLwTimerManager::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (FEnabled) Rearm();
}

TLwTimerItem* TLwTimerManager::AddTimer(bool enabled, TLwTimerInterval interval,
                                        TNotifyEvent callback) {
  auto* item = new TLwTimerItem(this);
  // The item joins the list last, so its own setters do not re-arm the manager yet.
  item->SetEnabled(enabled);
  item->SetInterval(interval);
  item->FOnTimer = std::move(callback);
  FItems.push_back(item);
  if (item->Enabled()) Rearm();
  return item;
}

void TLwTimerManager::Rearm() {
  if (!FEnabled || FTimer == nullptr) return;
  FTimer->SetEnabled(false);
  long long base = kBasePeriod;
  bool any = false;
  const DWORD now = GetTickCount();
  for (TLwTimerItem* item : FItems) {
    if (!item->Enabled()) continue;
    any = true;
    base = std::min<long long>(base, item->Interval());
    item->FLastTick = now;
  }
  if (!any) return;
  FTimer->SetInterval(static_cast<UINT>(std::max<long long>(base, 1)));
  FTimer->SetEnabled(true);
}

UINT TLwTimerManager::BasePeriod() const {
  return FTimer->Interval();
}

bool TLwTimerManager::Ticking() const {
  return FTimer->Enabled();
}

void TLwTimerManager::TimerTick(TObject* sender) {
  // Callbacks may change the items; later items of this tick see the changes.
  const size_t count = FItems.size();
  for (size_t i = 0; i < count && i < FItems.size(); ++i) {
    TLwTimerItem* item = FItems[i];
    if (item->FOnTimer.Assigned() && item->Enabled() && item->IsDue()) item->Fire();
  }
}

// --- TLwTrayIconAnimation ---

TLwTrayIconAnimation::TLwTrayIconAnimation(TLwTrayIcon95& trayIcon, TLwTimerManager& manager)
    : FTrayIcon(trayIcon), FIcons(std::make_unique<TStringList>()) {
  FTimer =
      manager.AddTimer(false, kDefaultInterval, TNotifyEvent(this, &TLwTrayIconAnimation::Step));
}

bool TLwTrayIconAnimation::Running() const {
  return FTrayIcon.State() == tsAnimated && FTrayIcon.Active();
}

void TLwTrayIconAnimation::SetInterval(int interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  if (Running()) Start();
}

void TLwTrayIconAnimation::SetIcons(const TStringList* icons) {
  FIcons->Assign(icons);
  if (Running()) FFrame = 0;
}

void TLwTrayIconAnimation::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TLwTrayIconAnimation*>(source);
  if (other == nullptr) return TPersistent::Assign(source);
  if (other == this) return;
  SetOptions(other->Options());
  SetIcons(other->Icons());
  SetInterval(other->Interval());
}

void TLwTrayIconAnimation::Start() {
  Stop();
  FFrame = 0;
  Step();
  if (FTrayIcon.State() != tsAnimated) return;
  FTimer->SetInterval(ToTimerInterval(FInterval));
  FTimer->SetEnabled(true);
}

void TLwTrayIconAnimation::Stop() {
  if (FTimer != nullptr) FTimer->SetEnabled(false);
}

void TLwTrayIconAnimation::Step(TObject* sender) {
  try {
    FTrayIcon.DoNotify(FTrayIcon.OnAnimation);
    FTrayIcon.UpdateIcon();
  } catch (const EFOpenError&) {
    // A frame that cannot be opened is skipped; the previous image stays.
  }
  if (FFrame < FIcons->Count() - 1)
    ++FFrame;
  else
    FFrame = 0;
}

// --- TLwTrayIconMsgWindow ---

TLwTrayIconMsgWindow::TLwTrayIconMsgWindow(TLwTrayIcon95* trayIcon, TLwTimerManager& manager)
    : TComponent(trayIcon), FTrayIcon(*trayIcon) {
  FClickTimer = manager.AddTimer(false, ClickWaitInterval,
                                 TNotifyEvent(this, &TLwTrayIconMsgWindow::ClickTimerFired));
  FExitTimer = manager.AddTimer(false, kExitCheckInterval,
                                TNotifyEvent(this, &TLwTrayIconMsgWindow::CheckMouseExit));
}

void TLwTrayIconMsgWindow::WndProc(TMessage& message) {
  // Every other message is answered with 0 and gets no default processing.
  message.Result = 0;
  switch (message.Msg) {
    case WM_QUERYENDSESSION:
      message.Result = 1;
      break;
    case WM_ENDSESSION:
      if ((message.WParam & 0xFF) != 0) FTrayIcon.HideIcon();
      break;
    case kTrayCallbackMessage:
      TrayCallback(message);
      break;
    case kDeferredCallMessage:
      FTrayIcon.RunDeferredCall();
      break;
    default:
      break;
  }
}

void TLwTrayIconMsgWindow::TrayCallback(TMessage& message) {
  // wParam, the icon's identifier, is not looked at: the window serves one icon.
  switch (message.LParam) {
    case WM_MOUSEMOVE:
      return MouseMove();
    case WM_LBUTTONDOWN:
      return Press(mbLeft);
    case WM_RBUTTONDOWN:
      return Press(mbRight);
    case WM_MBUTTONDOWN:
      return Press(mbMiddle);
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      return DoubleClick();
    default:
      return;  // button releases and anything else
  }
}

void TLwTrayIconMsgWindow::Press(TMouseButton button) {
  FLastButton = button;
  if (FTrayIcon.AutoPopup() && FTrayIcon.PopupMenu() != nullptr && button == mbRight)
    return FTrayIcon.ShowPopup();
  if (FTrayIcon.OnDblClick.Assigned()) return StartClickTimer();
  // Nothing to wait for: the click fires as soon as the shell's message has been handled.
  FDblClicked = false;
  FTrayIcon.PostDeferredCall(&FTrayIcon,
                             TNotifyEvent(this, &TLwTrayIconMsgWindow::ClickTimerFired));
}

void TLwTrayIconMsgWindow::DoubleClick() {
  FDblClicked = true;
  ClickTimerFired(this);
}

void TLwTrayIconMsgWindow::StartClickTimer() {
  FDblClicked = false;
  FClickTimer->SetInterval(ClickWaitInterval);
  FClickTimer->SetEnabled(true);
}

void TLwTrayIconMsgWindow::ClickTimerFired(TObject* sender) {
  FClickTimer->SetEnabled(false);
  FTrayIcon.DoNotify(FDblClicked ? FTrayIcon.OnDblClick : FTrayIcon.OnClick);
}

void TLwTrayIconMsgWindow::MouseMove() {
  GetCursorPos(&FCursorPos);
  if (FTrayIcon.OnMouseEnter.Assigned() || FTrayIcon.OnMouseExit.Assigned()) {
    if (!FMouseInside) return MouseEnter(FCursorPos);
  } else {
    FMouseInside = true;
  }
  if (FTrayIcon.OnMouseMove.Assigned() && !FClickTimer->Enabled() && FMouseInside)
    FTrayIcon.OnMouseMove(&FTrayIcon, GetShiftState(), FCursorPos.x, FCursorPos.y);
}

void TLwTrayIconMsgWindow::MouseEnter(POINT point) {
  FMouseInside = true;
  FExitTimer->SetEnabled(true);
  FTrayIcon.OnMouseEnter(&FTrayIcon, GetShiftState(), point.x, point.y);
}

void TLwTrayIconMsgWindow::CheckMouseExit(TObject* sender) {
  try {
    POINT now{};
    GetCursorPos(&now);
    if (std::abs(now.x - FCursorPos.x) > kExitTolerance ||
        std::abs(now.y - FCursorPos.y) > kExitTolerance)
      MouseExit();
  } catch (const std::exception&) {
    // The check runs again at the next tick.
  }
}

void TLwTrayIconMsgWindow::MouseExit() {
  FMouseInside = false;
  FTrayIcon.OnMouseExit(&FTrayIcon, GetShiftState(), FCursorPos.x, FCursorPos.y);
  FExitTimer->SetEnabled(false);
}

// --- TLwTrayIcon95: life cycle ---

TLwTrayIcon95::TLwTrayIcon95(TComponent* owner) : TComponent(owner) {
  FOwnerForm = dynamic_cast<TCustomForm*>(owner);
  if (FOwnerForm == nullptr) throw EInvalidOperation("TrayIcons must be owned by a Form !");
  if (IsAppWindowCreated() && !IsDesigning()) {
    ShowWindow(AppHandle(), SW_HIDE);
    SetParent(AppHandle(), nullptr);
  }
  FTimerManager = new TLwTimerManager(this);
  FTimerManager->SetEnabled(true);
  FMsgWindow = new TLwTrayIconMsgWindow(this, *FTimerManager);
  FHiddenWindow =
      std::make_unique<TUtilityWindow>(TWndMethod(FMsgWindow, &TLwTrayIconMsgWindow::WndProc));
  FWindowHandle = FHiddenWindow->Handle();
  FNotifyData.hWnd = FWindowHandle;
  FNotifyData.uID = kTrayIconId;
  FNotifyData.uCallbackMessage = kTrayCallbackMessage;
  FCurrentIcon = std::make_unique<TIcon>();
  FIcon = std::make_unique<TIcon>();
  FDisabledIcon = std::make_unique<TIcon>();
  RefreshTip();
  FAnimation = std::make_unique<TLwTrayIconAnimation>(*this, *FTimerManager);
  FIcon->OnChange = TNotifyEvent(this, &TLwTrayIcon95::IconChanged);
  FDisabledIcon->OnChange = TNotifyEvent(this, &TLwTrayIcon95::IconChanged);
  Application->OnMinimize = TNotifyEvent(this, &TLwTrayIcon95::AppMinimize);
  Application->OnRestore = TNotifyEvent(this, &TLwTrayIcon95::AppRestore);
}

TLwTrayIcon95::~TLwTrayIcon95() {
  HideIcon();
  FTimerManager->SetEnabled(false);
  delete FTimerManager;
  FTimerManager = nullptr;
  FIcon.reset();
  FDisabledIcon.reset();
  FCurrentIcon.reset();
  FHiddenWindow.reset();
  delete FMsgWindow;
  FMsgWindow = nullptr;
  FAnimation.reset();
  // The application must not call a destroyed tray icon; a later tray icon's handlers stay.
  if (Application.Assigned()) {
    if (Application->OnMinimize.Target() == this) Application->OnMinimize = nullptr;
    if (Application->OnRestore.Target() == this) Application->OnRestore = nullptr;
  }
}

void TLwTrayIcon95::Loaded() {
  TComponent::Loaded();
  SetOptions(Options());
  if (!IsDesigning() && FActive) {
    FActive = false;
    ShowIcon();
  }
}

void TLwTrayIcon95::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == FPopupMenu)
    FPopupMenu = nullptr;
}

// --- TLwTrayIcon95: properties ---

void TLwTrayIcon95::SetIcon(const TIcon* icon) {
  FIcon->Assign(icon);
  UpdateIcon();
}

void TLwTrayIcon95::SetDisabledIcon(const TIcon* icon) {
  FDisabledIcon->Assign(icon);
  UpdateIcon();
}

void TLwTrayIcon95::SetAnimation(const TLwTrayIconAnimation* animation) {
  FAnimation->Assign(animation);
}

void TLwTrayIcon95::SetActive(bool active) {
  if (IsDesigning()) {
    FActive = active;
    return;
  }
  if (active)
    ShowIcon();
  else
    HideIcon();
}

void TLwTrayIcon95::SetHint(const std::string& hint) {
  if (hint == FHint) return;
  FHint = hint;
  if (FShowHint) SetShowHint(true);
}

void TLwTrayIcon95::SetShowHint(bool value) {
  FShowHint = value;
  RefreshTip();
  if (!IsDesigning() && FActive) ModifyIcon();
}

void TLwTrayIcon95::RefreshTip() {
  const std::string tip = FShowHint ? FHint.substr(0, kTipCapacity - 1) : std::string();
  std::memset(FNotifyData.szTip, 0, kTipCapacity);
  std::memcpy(FNotifyData.szTip, tip.data(), tip.size());
}

void TLwTrayIcon95::SetPopupMenu(TPopupMenu* menu) {
  if (menu == FPopupMenu) return;
  if (FPopupMenu != nullptr) RemoveFreeNotification(FPopupMenu);
  FPopupMenu = menu;
  if (FPopupMenu != nullptr) FreeNotification(FPopupMenu);
}

void TLwTrayIcon95::SetState(TLwTrayIconState state) {
  if (StateChangeGuard) {
    StateChangeGuard = false;
    throw EInvalidOperation(
        "You cannot modify the state property in the OnStateChanging event !!!");
  }
  if (IsLoading() || !FActive) {
    FState = state;
    return;
  }
  if (state == FState) return;
  StateChangeGuard = true;
  try {
    OnStateChanging(this, state);
  } catch (...) {
    StateChangeGuard = false;
    throw;
  }
  StateChangeGuard = false;
  if (state != FState) ChangeState(state);
}

void TLwTrayIcon95::ChangeState(TLwTrayIconState newState) {
  if (FState == tsAnimated) FAnimation->Stop();
  FState = newState;
  UpdateIcon();
  if (FState == tsAnimated) FAnimation->Start();
}

// --- TLwTrayIcon95: the shell ---

void TLwTrayIcon95::NotifyShell(DWORD message) {
  if (IsLoading()) return;
  NOTIFYICONDATAA data{};
  data.cbSize = kNotifyDataSize;
  data.hWnd = FWindowHandle;
  data.uID = kTrayIconId;
  data.uFlags = FNotifyData.uFlags;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = FCurrentIcon->Handle();
  std::memcpy(data.szTip, FNotifyData.szTip, kTipCapacity - 1);
  // Failures are not looked at: nothing would be done differently.
  Shell_NotifyIconA(message, &data);
}

void TLwTrayIcon95::ShowIcon() {
  if (FActive) return;
  UpdateIcon();
  FActive = true;
  FNotifyData.uFlags = kNotifyFlags;
  NotifyShell(NIM_ADD);
  if (FState == tsAnimated) FAnimation->Start();
}

void TLwTrayIcon95::HideIcon() {
  if (!FActive) return;
  FActive = false;
  if (FState == tsAnimated) FAnimation->Stop();
  NotifyShell(NIM_DELETE);
}

void TLwTrayIcon95::ModifyIcon() {
  FNotifyData.uFlags = kNotifyFlags;
  NotifyShell(NIM_MODIFY);
}

void TLwTrayIcon95::UpdateIcon() {
  if (IsDesigning()) return;
  switch (FState) {
    case tsEnabled:
      FCurrentIcon->Assign(FIcon.get());
      break;
    case tsDisabled:
      FCurrentIcon->Assign(FDisabledIcon.get());
      break;
    case tsAnimated:
      LoadAnimationFrame(FAnimation->Frame());
      break;
  }
  if (FActive) ModifyIcon();
}

void TLwTrayIcon95::IconChanged(TObject* sender) {
  if (!IsDesigning() && FActive) UpdateIcon();
}

void TLwTrayIcon95::LoadAnimationFrame(int index) {
  const TStringList& icons = *FAnimation->Icons();
  if (index < 0 || index >= icons.Count()) return;
  const std::string& entry = icons[index];
  if (FAnimation->Options() == aoIconsInExe) {
    const std::string name = UpperCase(entry);
    FCurrentIcon->SetHandle(
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_ICON,
                                      kFrameSize, kFrameSize, LR_DEFAULTCOLOR)));
    return;
  }
  const HANDLE icon = LoadImageA(nullptr, entry.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
  if (icon == nullptr) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_ACCESS_DENIED)
      return;  // a frame file that cannot be opened is skipped
    throw EInvalidGraphic("Icon image is not valid (" + entry + ")");
  }
  FCurrentIcon->SetHandle(static_cast<HICON>(icon));
}

// --- TLwTrayIcon95: deferred calls and events ---

void TLwTrayIcon95::PostDeferredCall(TObject* argument, TNotifyEvent call) {
  FPendingCall = std::move(call);
  FPendingArg = argument;
  PostMessageA(FWindowHandle, kDeferredCallMessage, 0, 0);
}

void TLwTrayIcon95::RunDeferredCall() {
  if (!FPendingCall.Assigned()) return;
  const TNotifyEvent call = std::move(FPendingCall);
  FPendingCall = nullptr;
  try {
    call(FPendingArg);
  } catch (const std::exception&) {
    FPendingCall = nullptr;
    FPendingArg = nullptr;
  }
}

void TLwTrayIcon95::DoNotify(const TNotifyEvent& event) {
  event(this);
}

// --- TLwTrayIcon95: popup menu ---

void TLwTrayIcon95::ShowPopup() {
  if (FPopupMenu == nullptr) return;
  SetForegroundWindow(AppHandle());
  Application->ProcessMessages();
  if (FPopupMenu == nullptr) return;  // destroyed by a message just handled
  const POINT at = FMsgWindow->CursorPos();
  FPopupMenu->Popup(at.x, at.y);
  PostMessageA(AppHandle(), WM_USER, 0, 0);
  RestoreForeground();
}

void TLwTrayIcon95::RestoreForeground() {
  const HWND app = AppHandle();
  if (!IsWindowVisible(app) && !IsIconic(app)) {
    const auto& forms = Screen->FormList();
    if (std::any_of(forms.begin(), forms.end(), [](TCustomForm* f) { return f->Visible(); }))
      return;
  }
  SetForegroundWindow(GetDesktopWindow());
}

// --- TLwTrayIcon95: moving the application ---

void TLwTrayIcon95::LockDesktop(bool lock) {
  LockCount += lock ? 1 : -1;
  if (LockCount == 1)
    LockWindowUpdate(GetDesktopWindow());
  else if (LockCount == 0)
    LockWindowUpdate(nullptr);
}

void TLwTrayIcon95::ParkAppWindow(bool park) {
  if (park) {
    LockDesktop(true);
    SetParent(AppHandle(), GetAppWindow());
    return;
  }
  TDesktopLock unlock(*this, true);
  ShowWindow(AppHandle(), SW_HIDE);
  SetParent(AppHandle(), nullptr);
}

bool TLwTrayIcon95::IsAppHidden() const {
  return !IsWindowVisible(AppHandle());
}

void TLwTrayIcon95::KeepAppWindowHidden() {
  SetParent(AppHandle(), GetAppWindow());
  ShowWindow(AppHandle(), SW_HIDE);
}

void TLwTrayIcon95::HideAppWindow(TObject* sender) {
  TDesktopLock lock(*this);
  KeepAppWindowHidden();
  SetParent(AppHandle(), nullptr);
}

void TLwTrayIcon95::AppMinimize(TObject* sender) {
  if (IsDesigning()) return;
  if (FActive && FOptions.Contains(toMinimizeToTray)) HideApplication();
  DoNotify(OnAppMinimize);
}

void TLwTrayIcon95::AppRestore(TObject* sender) {
  if (IsDesigning()) return;
  if (FActive) ShowApplication();
  DoNotify(OnAppRestore);
}

void TLwTrayIcon95::HideApplication() {
  if (!FOptions.Contains(toCloseFormsOnHideApp))
    return PostDeferredCall(this, TNotifyEvent(this, &TLwTrayIcon95::MinimizeApplication));
  TDesktopLock lock(*this);
  SetParent(AppHandle(), GetAppWindow());
  // Closing a form may change the screen's list; the forms are taken as they stood.
  const std::vector<TCustomForm*> forms = Screen->FormList();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->Visible()) HideForm(*it);
  HideAppWindow(this);
  SetParent(AppHandle(), GetAppWindow());
}

void TLwTrayIcon95::MinimizeApplication(TObject* sender) {
  {
    TDesktopLock lock(*this);
    const HWND app = AppHandle();
    SetParent(app, GetAppWindow());
    Application->NormalizeTopMosts();
    SetActiveWindow(app);
    ShowWinNoAnimate(app, SW_MINIMIZE);
    DoNotify(OnAppMinimize);
    ShowWindow(app, SW_HIDE);
    if (TCustomForm* mainForm = Application->MainForm()) ShowWindow(mainForm->Handle(), SW_HIDE);
  }
  HideAppWindow(this);
}

void TLwTrayIcon95::ShowApplication() {
  PostDeferredCall(this, TNotifyEvent(this, &TLwTrayIcon95::DoShowApplication));
}

void TLwTrayIcon95::DoShowApplication(TObject* sender) {
  ParkAppWindow(true);
  TDesktopLock unlock(*this, true);
  const HWND app = AppHandle();
  SetForegroundWindow(app);
  // The toolkit's restore ends in AppRestore, which posts this step once more; the second run
  // finds nothing minimised.
  if (IsIconic(app)) Application->Restore();
  TCustomForm* mainForm = Application->MainForm();
  if (mainForm != nullptr) {
    if (!mainForm->Visible()) mainForm->Show();
    if (FOptions.Contains(toHideTaskBarIconOnShowApp)) {
      ShowWindow(app, SW_HIDE);
      ShowWindow(mainForm->Handle(), SW_SHOWNORMAL);
      HookFormClose(mainForm);
    } else {
      ShowWindow(app, SW_SHOWNORMAL);
    }
  }
  SetParent(app, nullptr);
}

void TLwTrayIcon95::HideForm(TCustomForm* form) {
  if (form == nullptr) throw EInvalidOperation("You cant hide a \"nil\" form !");
  const bool hidden = IsAppHidden();
  const bool isMainForm = form == Application->MainForm();
  // The taskbar button is kept away afterwards, also when closing the form raised.
  struct TAfter {
    TLwTrayIcon95& trayIcon;
    TCustomForm* form;
    bool post;
    ~TAfter() {
      if (post)
        trayIcon.PostDeferredCall(form, TNotifyEvent(&trayIcon, &TLwTrayIcon95::HideAppWindow));
    }
  } after{*this, form, isMainForm || hidden};
  TDesktopLock lock(*this);
  if (hidden) KeepAppWindowHidden();
  if (isMainForm)
    form->Hide();
  else
    form->Close();
}

bool TLwTrayIcon95::HookFormClose(TCustomForm* form) {
  if (form == nullptr) return false;
  auto* hook = new TLwNotifyOnFormClose(form);
  if (hook->Install(form, TNotifyEvent(this, &TLwTrayIcon95::FormClosed)))
    hook->FreeNotification(this);
  return true;
}

void TLwTrayIcon95::FormClosed(TObject* sender) {
  const bool hidden = IsAppHidden();
  {
    TDesktopLock lock(*this);
    if (hidden) KeepAppWindowHidden();
  }
  if (hidden) PostDeferredCall(sender, TNotifyEvent(this, &TLwTrayIcon95::HideAppWindow));
}

// --- TLwNotifyOnFormClose ---

TLwNotifyOnFormClose::TLwNotifyOnFormClose(TComponent* owner) : TComponent(owner) {}

bool TLwNotifyOnFormClose::Install(TCustomForm* form, TNotifyEvent onClosed) {
  for (TComponent* c : form->ComponentList()) {
    if (c != this && dynamic_cast<TLwNotifyOnFormClose*>(c) != nullptr) {
      delete this;
      return false;
    }
  }
  FForm = form;
  FOldOnClose = form->OnClose;
  FOnClosed = std::move(onClosed);
  form->OnClose = TCloseEvent(this, &TLwNotifyOnFormClose::FormClose);
  return true;
}

void TLwNotifyOnFormClose::FormClose(TObject* sender, TCloseAction& action) {
  FOnClosed(FForm);
  FOldOnClose(sender, action);
}

void TLwNotifyOnFormClose::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // The tray icon that installed the hook has gone; the form's own handler still runs.
  if (operation == opRemove && component != nullptr && component != this &&
      static_cast<const void*>(component) == FOnClosed.Target())
    FOnClosed = nullptr;
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  PublishClass<TLwTimerManager, TComponent>("TLwTimerManager")
      .Boolean("Enabled", &TLwTimerManager::Enabled, &TLwTimerManager::SetEnabled);
  PublishClass<TLwTimerItem, TComponent>("TLwTimerItem")
      .Boolean("Enabled", &TLwTimerItem::Enabled, &TLwTimerItem::SetEnabled)
      .Integer("Interval", &TLwTimerItem::Interval, &TLwTimerItem::SetInterval);
  PublishClass<TLwTrayIconAnimation, TPersistent>("TLwTrayIconAnimation")
      .Integer("Interval", &TLwTrayIconAnimation::Interval, &TLwTrayIconAnimation::SetInterval,
               TLwTrayIconAnimation::kDefaultInterval)
      .Strings("Icons", &TLwTrayIconAnimation::Icons)
      .Enumeration("Options", &TLwTrayIconAnimation::Options, &TLwTrayIconAnimation::SetOptions,
                   {"aoIconsInExe", "aoIconsAreFiles"}, std::optional(aoIconsAreFiles));
  PublishClass<TLwTrayIcon95, TComponent>("TLwTrayIcon95")
      .Object("Icon", &TLwTrayIcon95::Icon)
      .Object("DisabledIcon", &TLwTrayIcon95::DisabledIcon)
      .Object("Animation", &TLwTrayIcon95::Animation)
      .Boolean("Active", &TLwTrayIcon95::Active, &TLwTrayIcon95::SetActive, false)
      .Boolean("AutoPopup", &TLwTrayIcon95::AutoPopup, &TLwTrayIcon95::SetAutoPopup, false)
      .String("Hint", &TLwTrayIcon95::Hint, &TLwTrayIcon95::SetHint, std::string())
      .Event("OnAnimation", &TLwTrayIcon95::OnAnimation)
      .Event("OnAppMinimize", &TLwTrayIcon95::OnAppMinimize)
      .Event("OnAppRestore", &TLwTrayIcon95::OnAppRestore)
      .Event("OnClick", &TLwTrayIcon95::OnClick)
      .Event("OnDblClick", &TLwTrayIcon95::OnDblClick)
      .Event("OnMouseMove", &TLwTrayIcon95::OnMouseMove)
      .Event("OnMouseEnter", &TLwTrayIcon95::OnMouseEnter)
      .Event("OnMouseExit", &TLwTrayIcon95::OnMouseExit)
      .Event("OnStateChanging", &TLwTrayIcon95::OnStateChanging)
      .Set("Options", &TLwTrayIcon95::Options, &TLwTrayIcon95::SetOptions,
           {"toMinimizeToTray", "toUnclutterTovrin1TaskBar", "toCloseFormsOnHideApp",
            "toHideTaskBarIconOnShowApp"},
           std::optional(kDefaultTrayOptions))
      .Component<TPopupMenu>("PopupMenu", &TLwTrayIcon95::PopupMenu, &TLwTrayIcon95::SetPopupMenu)
      .Boolean("ShowHint", &TLwTrayIcon95::ShowHint, &TLwTrayIcon95::SetShowHint, true)
      .Enumeration("State", &TLwTrayIcon95::State, &TLwTrayIcon95::SetState,
                   {"tsEnabled", "tsDisabled", "tsAnimated"}, std::optional(tsEnabled));
  PublishClass<TLwNotifyOnFormClose, TComponent>("TLwNotifyOnFormClose");
  return true;
}();

}  // namespace
