// The tray icon family: one icon in the notification area with its tooltip, state images,
// mouse events and animation, the timer manager that drives its timed work from one toolkit
// timer, and the moves of the application between the taskbar and the tray. Program layer.
//
// Choices where the behaviour is ours to decide, all made so that nothing reaches a destroyed
// object:
// - A tray icon destroyed while the application keeps running takes its minimise and restore
//   notifications back from the application when they are still its own; a later tray icon's
//   notifications are left alone.
// - A form-close hook whose tray icon is destroyed before the hooked form forgets the tray icon
//   and from then on only calls the form's own close handler.
// - A PopupMenu of another form is watched through a free notification, so destroying it first
//   leaves PopupMenu empty exactly as a menu of the same form does.
// - Assigning another animation object to Animation copies its settings (Interval, Icons,
//   Options) into the tray icon's own object, which stays owned by the tray icon.
// - Deferred calls are posted to the tray icon's hidden window; once the tray icon is destroyed
//   that window is gone and a pending call is dropped with it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Classes.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

class TPopupMenu;
class TTimer;
class TUtilityWindow;
struct TMessage;
class TLwTrayIcon95;

// --- Private messages of the hidden window ---
// The shell's notification about mouse activity on the icon; lParam is the mouse message.
constexpr UINT kTrayCallbackMessage = WM_USER + 100;
// Runs the tray icon's pending deferred call.
constexpr UINT kDeferredCallMessage = WM_USER + 101;
// The icon's identifier within the hidden window.
constexpr UINT kTrayIconId = 42;

// --- Unit-level state ---
// Milliseconds a press waits for a double click before it counts as a single click; read at
// every press.
extern int ClickWaitInterval;
// Nesting depth of LockDesktop over every tray icon of the process.
int DesktopLockCount();

// --- Timer manager ---
// Milliseconds, limited to 55..100000 where a value is converted to it.
using TLwTimerInterval = int;
constexpr TLwTimerInterval kMinTimerInterval = 55;
constexpr TLwTimerInterval kMaxTimerInterval = 100000;
// The value as a timer interval; raises ERangeError outside 55..100000.
TLwTimerInterval ToTimerInterval(long long value);

class TLwTimerManager;

// One timed action of a manager. It fires on the first tick of the manager's timer at which its
// interval has passed since it last fired or was armed.
class TLwTimerItem : public TComponent {
 public:
  // The owner must be the manager; items are made through TLwTimerManager::AddTimer.
  explicit TLwTimerItem(TComponent* owner);

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  TLwTimerInterval Interval() const { return FInterval; }
  // Accepts any value; the manager's base period follows it while the item is enabled.
  void SetInterval(TLwTimerInterval interval);

  // The interval has passed since the last firing or arming (the tick count may wrap).
  bool IsDue() const;
  // Runs the callback with the item as Sender, then counts the wait from now.
  void Fire();

 private:
  friend class TLwTimerManager;
  TLwTimerManager* FManager = nullptr;
  TLwTimerInterval FInterval = 0;
  bool FEnabled = false;
  TNotifyEvent FOnTimer;
  DWORD FLastTick = 0;
};

// Drives any number of timer items from one periodic toolkit timer, whose period is 150 ms or
// the shortest interval of an enabled item, whichever is less.
class TLwTimerManager : public TComponent {
 public:
  static constexpr UINT kBasePeriod = 150;

  explicit TLwTimerManager(TComponent* owner);
  ~TLwTimerManager() override;

  bool Enabled() const { return FEnabled; }
  // A disabled manager leaves its timer as it is and does not follow changes of its items.
  void SetEnabled(bool enabled);
  // Makes an item owned by the manager; it is released with the manager.
  TLwTimerItem* AddTimer(bool enabled, TLwTimerInterval interval, TNotifyEvent callback);
  // Recomputes the base period and restarts the wait of every enabled item from now.
  void Rearm();

  int ItemCount() const { return static_cast<int>(FItems.size()); }
  TLwTimerItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
  // The period of the underlying timer, and whether it runs.
  UINT BasePeriod() const;
  bool Ticking() const;

 private:
  void TimerTick(TObject* sender);

  bool FEnabled = false;
  std::vector<TLwTimerItem*> FItems;
  TTimer* FTimer = nullptr;
};

// --- Tray icon types ---
enum TLwTrayIconState : uint8_t { tsEnabled, tsDisabled, tsAnimated };
enum TLwTrayIconOption {
  toMinimizeToTray,
  toUnclutterTovrin1TaskBar,
  toCloseFormsOnHideApp,
  toHideTaskBarIconOnShowApp
};
using TLwTrayIconOptions = TSet<TLwTrayIconOption>;
constexpr TLwTrayIconOptions kDefaultTrayOptions{toMinimizeToTray, toUnclutterTovrin1TaskBar,
                                                 toCloseFormsOnHideApp};
using TLwTrayIconStateChangingEvent = TEvent<TObject*, TLwTrayIconState&>;

enum TLwTrayIconAnimationOptions { aoIconsInExe, aoIconsAreFiles };

// --- Animation ---
// The animation settings of a tray icon: while the tray icon is active and animated, each step
// shows the next image of Icons (files or icon resources of the program).
class TLwTrayIconAnimation : public TPersistent {
 public:
  static constexpr int kDefaultInterval = 1000;

  // Adds the step item, disabled, to the tray icon's timer manager.
  TLwTrayIconAnimation(TLwTrayIcon95& trayIcon, TLwTimerManager& manager);

  int Interval() const { return FInterval; }
  // While animated and active, restarts the animation at the first frame.
  void SetInterval(int interval);
  TStringList* Icons() const { return FIcons.get(); }
  // Copies the lines; while animated and active, the next step shows the first frame.
  void SetIcons(const TStringList* icons);
  TLwTrayIconAnimationOptions Options() const { return FOptions; }
  void SetOptions(TLwTrayIconAnimationOptions options) { FOptions = options; }
  // The index of the frame the next step shows.
  int Frame() const { return FFrame; }

  // Shows the first frame at once, then every Interval; raises ERangeError (after the first
  // frame) when Interval is outside 55..100000.
  void Start();
  void Stop();
  void Step(TObject* sender = nullptr);

  // Copies Interval, Icons and Options of another animation object.
  void Assign(const TPersistent* source) override;

 private:
  bool Running() const;

  TLwTrayIcon95& FTrayIcon;
  TLwTimerItem* FTimer = nullptr;
  int FFrame = 0;
  int FInterval = kDefaultInterval;
  std::unique_ptr<TStringList> FIcons;
  TLwTrayIconAnimationOptions FOptions = aoIconsAreFiles;
};

// --- The hidden window's handler ---
// Receives the messages of the tray icon's hidden window and turns the shell's raw mouse
// notifications into the tray icon's events: single and double clicks told apart by a short
// wait, the mouse arriving over the icon and leaving it, and the popup menu on a right press.
class TLwTrayIconMsgWindow : public TComponent {
 public:
  // The owner must be the tray icon; makes the click-wait and mouse-exit items in `manager`.
  TLwTrayIconMsgWindow(TLwTrayIcon95* trayIcon, TLwTimerManager& manager);

  void WndProc(TMessage& message);
  POINT CursorPos() const { return FCursorPos; }
  bool MouseInside() const { return FMouseInside; }
  TMouseButton LastButton() const { return FLastButton; }

 private:
  static constexpr TLwTimerInterval kExitCheckInterval = 70;
  // The cursor counts as gone when it is farther than this from the last notified position.
  static constexpr int kExitTolerance = 2;

  void TrayCallback(TMessage& message);
  void Press(TMouseButton button);
  void DoubleClick();
  void MouseMove();
  void StartClickTimer();
  void ClickTimerFired(TObject* sender);
  void MouseEnter(POINT point);
  void MouseExit();
  void CheckMouseExit(TObject* sender);

  TMouseButton FLastButton = mbLeft;
  TLwTrayIcon95& FTrayIcon;
  bool FDblClicked = false;
  TLwTimerItem* FClickTimer = nullptr;
  TLwTimerItem* FExitTimer = nullptr;
  POINT FCursorPos{0, 0};
  bool FMouseInside = false;
};

// --- The tray icon ---
class TLwTrayIcon95 : public TComponent {
 public:
  // The owner must be a form (EInvalidOperation otherwise). Installs the tray icon's minimise
  // and restore handlers in the application, replacing any earlier ones.
  explicit TLwTrayIcon95(TComponent* owner);
  // Removes the icon from the notification area.
  ~TLwTrayIcon95() override;

  // --- Properties ---
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(const TIcon* icon);
  TIcon* DisabledIcon() const { return FDisabledIcon.get(); }
  void SetDisabledIcon(const TIcon* icon);
  TLwTrayIconAnimation* Animation() const { return FAnimation.get(); }
  void SetAnimation(const TLwTrayIconAnimation* animation);
  bool Active() const { return FActive; }
  void SetActive(bool active);
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint);
  TLwTrayIconOptions Options() const { return FOptions; }
  void SetOptions(TLwTrayIconOptions options) { FOptions = options; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  TLwTrayIconState State() const { return FState; }
  // Raises EInvalidOperation when called from any tray icon's OnStateChanging.
  void SetState(TLwTrayIconState state);

  // The tooltip as the shell receives it (at most 63 characters).
  std::string Tip() const { return FNotifyData.szTip; }
  // The hidden window that receives the shell's notifications and the deferred calls.
  HWND WindowHandle() const { return FWindowHandle; }
  TLwTimerManager* TimerManager() const { return FTimerManager; }
  TLwTrayIconMsgWindow* MsgWindow() const { return FMsgWindow; }

  // --- Actions ---
  // Shows PopupMenu at the position of the last mouse-move notification.
  void ShowPopup();
  // Makes the desktop the foreground window unless one of our forms is on screen.
  void RestoreForeground();
  // Hides the main form or closes another form without bringing back the taskbar button.
  // Raises EInvalidOperation for no form.
  void HideForm(TCustomForm* form);
  // Runs `call` with `argument` once the message being handled has finished. A request
  // replaces one that has not run yet.
  void PostDeferredCall(TObject* argument, TNotifyEvent call);
  // Fires `event` with the tray icon as Sender.
  void DoNotify(const TNotifyEvent& event);
  // Loads frame `index` of the animation into the current image.
  void LoadAnimationFrame(int index);
  // Copies the image of the state into the current image and tells the shell when active.
  void UpdateIcon();

  // --- Events ---
  TNotifyEvent OnAnimation;
  TNotifyEvent OnAppMinimize;
  TNotifyEvent OnAppRestore;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseMoveEvent OnMouseMove;
  TMouseMoveEvent OnMouseEnter;
  TMouseMoveEvent OnMouseExit;
  TLwTrayIconStateChangingEvent OnStateChanging;

  // --- Moving the application between the taskbar and the tray ---
  virtual void ShowApplication();
  virtual void HideApplication();
  // Nested freeze of screen updates: the first lock freezes, the last unlock releases.
  virtual void LockDesktop(bool lock);

  void Loaded() override;
  // The timer manager and the message handler are the tray icon's own insides: a form
  // description holds none of them.
  void GetChildren(const std::function<void(TComponent*)>& proc,
                   const TComponent* root) const override {}

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TLwTrayIconMsgWindow;
  friend class TLwTrayIconAnimation;

  // --- The shell ---
  void NotifyShell(DWORD message);
  void ShowIcon();
  void HideIcon();
  void ModifyIcon();
  void IconChanged(TObject* sender);
  void RefreshTip();
  void ChangeState(TLwTrayIconState newState);
  void RunDeferredCall();

  // --- The application ---
  void AppMinimize(TObject* sender);
  void AppRestore(TObject* sender);
  void MinimizeApplication(TObject* sender);
  void DoShowApplication(TObject* sender);
  void HideAppWindow(TObject* sender);
  void ParkAppWindow(bool park);
  bool IsAppHidden() const;
  bool HookFormClose(TCustomForm* form);
  void FormClosed(TObject* sender);
  // SetParent(application window, hidden window) and ShowWindow(SW_HIDE), under the caller's
  // lock, for the steps that find the application window already hidden.
  void KeepAppWindowHidden();

  TCustomForm* FOwnerForm = nullptr;
  HWND FWindowHandle = nullptr;
  std::unique_ptr<TUtilityWindow> FHiddenWindow;
  TLwTrayIconMsgWindow* FMsgWindow = nullptr;
  TLwTimerManager* FTimerManager = nullptr;
  std::unique_ptr<TIcon> FCurrentIcon;
  std::unique_ptr<TIcon> FIcon;
  std::unique_ptr<TIcon> FDisabledIcon;
  std::unique_ptr<TLwTrayIconAnimation> FAnimation;
  NOTIFYICONDATAA FNotifyData{};
  TNotifyEvent FPendingCall;
  TObject* FPendingArg = nullptr;

  bool FActive = false;
  bool FAutoPopup = false;
  std::string FHint;
  TLwTrayIconOptions FOptions = kDefaultTrayOptions;
  TPopupMenu* FPopupMenu = nullptr;
  bool FShowHint = true;
  TLwTrayIconState FState = tsEnabled;
};

// --- Form-close hook ---
// Sits on a form (its owner) and tells a tray icon when the form closes, then runs the form's
// own close handler. A form carries at most one hook.
class TLwNotifyOnFormClose : public TComponent {
 public:
  explicit TLwNotifyOnFormClose(TComponent* owner);

  // Hooks `form`'s close handler. When the form already carries a hook, this one is destroyed
  // (do not use it afterwards) and the result is false.
  bool Install(TCustomForm* form, TNotifyEvent onClosed);
  void FormClose(TObject* sender, TCloseAction& action);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TCustomForm* FForm = nullptr;
  TCloseEvent FOldOnClose;
  TNotifyEvent FOnClosed;
  TComponent* FNotified = nullptr;  // the component FOnClosed calls, watched for its end
};
