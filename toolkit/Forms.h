// Forms, the application object and the screen: the top-level windows of the toolkit, the
// event loop with its message hook, minimising and restoring the application, and the
// standard handling of exceptions that escape event handlers. Toolkit layer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.h"

// Private messages of the toolkit, posted to the application window.
constexpr UINT kCmBase = 0xB000;
constexpr UINT CM_ACTIVATE = kCmBase + 0;
// Posted once each time the application loses activation.
constexpr UINT CM_DEACTIVATE = kCmBase + 1;
// Posted when the application window gets the keyboard focus: it hands the focus on.
constexpr UINT CM_ENTER = kCmBase + 26;
// Posted by TCustomForm::Release; the form is destroyed when it arrives.
constexpr UINT CM_RELEASE = kCmBase + 33;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsStayOnTop };

// --- Forms ---
class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the form's compiled-in description, creates its window and runs OnCreate; runs
  // after the most derived constructor (TApplication::CreateForm, CreateComponent).
  void AfterConstruction() override;

  // --- The window ---
  // The form's window, created on first use; owned by the application window.
  HWND Handle();
  HWND WindowHandle() const override { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  // The form's bounds are its window's, frame included; the client area is what the frame
  // leaves (on Windows a caption and borders; on our platform, whose window manager frames a
  // window from outside, the whole window).
  int ClientWidth() const override;
  int ClientHeight() const override;
  // The published client size: kept while the description is read, applied otherwise.
  void SetReadClientWidth(int width);
  void SetReadClientHeight(int height);

  // --- Properties ---
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TControl* ActiveControl() const { return FActiveControl; }
  virtual void SetActiveControl(TControl* control);
  // Forgets `control` as the focused one without telling anybody (it is being destroyed).
  void ForgetActiveControl(const TControl* control) {
    if (FActiveControl == control) FActiveControl = nullptr;
  }
  bool Active() const;

  // --- Actions ---
  void SetVisible(bool visible) override;
  // Makes the form visible and brings it to the front.
  void Show();
  // Runs OnCloseQuery and OnClose; closing the main form ends the program, others act as
  // the close action says (hide by default).
  void Close();
  void BringToFront();
  void Release();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  // The form's window procedure: one line per message, each to a named handler; the rest go
  // to the controls' hooks and then to the default.
  virtual void WndProc(TMessage& message);
  // Painting of the client area: the controls layer fills it; `dc` is from BeginPaint.
  virtual void PaintWindow(HDC dc, const RECT& area);
  // Mouse and keyboard messages the controls layer routes to windowless controls.
  virtual bool MouseMessage(TMessage& message) { return RouteMouse(message); }
  virtual bool KeyMessage(TMessage& message) { return RouteKey(message); }
  virtual void DoShow();
  virtual void DoHide();
  virtual bool CloseQuery();
  void BoundsChanged() override;
  void TextChanged() override;
  // A client size read from the description takes effect here, once the border style it was
  // meant for is known.
  void Loaded() override;
  void DoCreate();
  // How much wider and taller the window is than its client area with the current styles.
  SIZE FrameSize() const;

 private:
  static LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateHandle();
  void DestroyHandle();
  void ShowWindowNow();
  void CenterOnScreen();
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  void WMPaint();
  void WMClose();
  void WMShowWindow(bool shown, LPARAM reason);
  void WMSize(WPARAM kind);
  void WMMove();
  void WMActivate(bool active);
  bool WMSetCursor(HWND window, int hitTest);

  HWND FHandle = nullptr;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormStyle FFormStyle = fsNormal;
  TControl* FActiveControl = nullptr;
  bool FShowing = false;       // the window is on screen through the Visible property
  bool FCreating = false;      // the description is being read
  bool FMovingWindow = false;  // bounds follow the window, not the other way round
  bool FCentred = false;       // poScreenCenter has placed the form once
  int FReadClientWidth = -1;   // the description's client size, until it is loaded
  int FReadClientHeight = -1;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// --- The screen ---
// Every form of the program, in order of creation.
class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner) : TComponent(owner) {}
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const;
  const std::vector<TCustomForm*>& FormList() const { return FForms; }
  int Width() const;
  int Height() const;
  TCustomForm* ActiveForm() const;

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form) { FForms.push_back(form); }
  void RemoveForm(TCustomForm* form);
  std::vector<TCustomForm*> FForms;
};

// --- The application ---
using TExceptionEvent = TEvent<TObject*, const std::exception&>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // The hidden top-level window of class "TApplication" whose text is the title.
  HWND Handle() const { return FHandle; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& title);
  TCustomForm* MainForm() const { return FMainForm; }
  bool Terminated() const { return FTerminated; }

  void Initialize() {}
  // Creates a form of class T owned by the application, sets `reference` before its create
  // handler runs, and makes the first form created the main form.
  template <class T>
  void CreateForm(T*& reference);
  // Runs the loop until the program ends. A main form stored minimised minimises the
  // application when the loop starts.
  void Run();
  void Terminate();
  // Dispatches everything queued, then returns.
  void ProcessMessages();
  // Dispatches one message, waiting for one when none is queued. Nested modal loops use this,
  // so the hook sees their messages too.
  void HandleMessage();

  // Minimise and restore the application window. Restoring also happens when the window is
  // restored from outside (another copy of the program does it with ShowWindow): either way a
  // main form stored minimised and not yet shown comes up normal, and OnRestore fires.
  void Minimize();
  void Restore();
  // Takes the application's topmost windows out of the topmost band (before minimising) and
  // puts them back (after restoring).
  void NormalizeTopMosts();
  void RestoreTopMosts();

  // Shows the exception being handled in the standard error box (or gives it to OnException);
  // call from inside a catch block.
  void HandleException(TObject* sender);
  void ShowException(const std::string& message);

  // Every message the application's loops take from the queue, before dispatch.
  TMessageEvent OnMessage;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TExceptionEvent OnException;

 private:
  static LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  bool ProcessMessage(MSG& msg);
  // Whether the foreground window is the application window or one of the program's windows.
  bool HasForeground() const;
  void CreateHandle();
  void AdoptForm(TCustomForm* form);
  void Restored();
  void FocusTopForm();
  friend class TCustomForm;
  void FormDestroyed(TCustomForm* form);

  HWND FHandle = nullptr;
  std::string FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FMinimized = false;  // the application window is minimised (seen through WM_SIZE)
  std::vector<HWND> FTopMosts;
};

// The one application and screen of the program. The toolkit makes them, with the application
// window, on their first use (the program's first call, Application->Initialize()), and
// DoneApplication takes them down; tests call it before headless::Reset to start afresh.
template <class T>
class TGlobalRef {
 public:
  T* operator->() const { return Get(); }
  T& operator*() const { return *Get(); }
  operator T*() const { return Get(); }
  T* Get() const;
  // Whether it exists, without making it.
  bool Assigned() const;
};
extern TGlobalRef<TApplication> Application;
extern TGlobalRef<TScreen> Screen;
void DoneApplication();

// --- Ending the program from inside ---
// Halt ends the program with `exitCode` through its normal shutdown from anywhere on the
// user-interface thread, also from a form's create handler: it unwinds to the program's entry,
// and what was made so far is destroyed on the way (a form under construction by CreateForm,
// the rest by DoneApplication at the entry). THalt is deliberately not an Exception, so no
// handler that shows program errors and goes on can stop it.
struct THalt {
  int ExitCode = 0;
};
[[noreturn]] void Halt(int exitCode);

// The standard error box. The default is a minimal box; the message dialogs replace it.
using TErrorBoxProc = std::function<void(const std::string& title, const std::string& message)>;
void SetErrorBox(TErrorBoxProc proc);

// Gives an exception that escaped an event handler to the application (from a catch block).
void HandleEventException(TObject* sender);

template <class T>
void TApplication::CreateForm(T*& reference) {
  T* form = new T(this);
  reference = form;
  try {
    form->AfterConstruction();
  } catch (...) {
    reference = nullptr;
    delete form;
    throw;
  }
  AdoptForm(form);
}
