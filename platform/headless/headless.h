// Test controls of the headless driver: the in-memory desktop that unit tests drive. Never
// included by the program itself. Each area of the platform has its own section below.
#pragma once

#include <string>
#include <vector>

#include "platform/Driver.h"
#include "platform/core/Registry.h"
#include "platform/core/Surface.h"
#include "platform/win32.h"

namespace headless {

// --- Start ---
// Installs a fresh headless driver and forgets every window, class, message, timer and input
// state of the core. Every unit test starts with it; it never picks the X11 driver, even
// where a display is open.
void Reset();
// Thrown (after a message on stderr) when the program waits for a message that can never
// come: nothing queued, no timer set. Tests expect it instead of hanging.
using TDeadlock = platform::DeadlockError;

// --- The screen ---
void SetScreenSize(int width, int height);  // the wallpaper is refilled at the new size
// The desktop's picture behind every window (0x00RRGGBB pixels, sized like the screen).
platform::Surface& Wallpaper();
// What the screen shows: the wallpaper with our visible top-level windows in Z order.
platform::Surface Screen();
// A desktop whose compositor keeps the screen from programs (a Wayland session): reading the
// screen yields see-through pixels, and windows show the desktop behind them there.
void SetScreenReadable(bool readable);

// --- The clock ---
DWORD Tick();
// Sets the tick count (the start of a test; moving it back counts as a jump forward).
void SetTick(DWORD tick);
// Moves the clock on; timers become due but nothing is dispatched.
void Advance(DWORD ms);
// Dispatches what is queued and due now, without moving the clock; stops at WM_QUIT, which
// stays queued. Returns the number of messages dispatched.
int RunPending();
// Runs the loop for `ms` milliseconds of the clock: the clock jumps from one due timer to the
// next and everything on the way is dispatched. Stops early at WM_QUIT.
void RunFor(DWORD ms);

// --- Pointer and keyboard ---
// Buttons: 0 left, 1 right, 2 middle. Every event carries the current tick.
enum TButton { btLeft = 0, btRight = 1, btMiddle = 2 };
void MovePointer(int x, int y);
void Press(int x, int y, TButton button = btLeft);
void Release(int x, int y, TButton button = btLeft);
void Click(int x, int y, TButton button = btLeft);
// The pointer's shape as the platform last showed it, and the window it showed it in (null
// before any): the arrow until the program sets another.
platform::PointerShape PointerShape();
HWND PointerShapeWindow();
// Two clicks at the same place and time: a double click where the class asks for it.
void DoubleClick(int x, int y, TButton button = btLeft);
void KeyDown(BYTE virtualKey);
void KeyUp(BYTE virtualKey);
void KeyPress(BYTE virtualKey);  // down and up, typing what the key types
// Types Windows-1252 text: letters and digits with their keys (Shift for capitals), other
// characters as VK_PACKET presses that carry them.
void TypeText(const std::string& text);

// --- The window manager ---
// The user minimises (true) or restores (false) one of our windows through the system, with
// its frame's button or its taskbar button: the window is asked with WM_SYSCOMMAND.
void MinimiseBySystem(HWND hwnd, bool minimised);

// --- Windows of other programs ---
struct TForeignSpec {
  std::string className;
  std::string text;
  bool visible = true;
  bool iconic = false;
  RECT bounds{0, 0, 100, 100};
  size_t depth = 0;  // place in the Z order: 0 top, 1 below the top window, ...
};
// What another program's window went through.
struct TForeignRecord {
  std::vector<MSG> posted;
  std::vector<int> showCommands;
  int restored = 0;        // ShowWindow that restored it (SW_RESTORE, or showing it normal)
  int broughtForward = 0;  // SetForegroundWindow on it
};
// Creates the window; the result is the handle our program sees for it.
HWND AddForeignWindow(const TForeignSpec& spec);
void RemoveForeignWindow(HWND hwnd);
const TForeignRecord& ForeignRecord(HWND hwnd);
bool ForeignVisible(HWND hwnd);
bool ForeignIconic(HWND hwnd);
// The user activates the window: it comes to the top and our program loses activation.
void ActivateForeign(HWND hwnd);
// The user clicks the bare desktop: our program loses activation.
void ActivateDesktop();

// --- The session ---
// The session ends, as a SIGTERM from the session manager ends it on Linux: at the program's
// next look at its queue (GetMessageA, PeekMessageA, RunPending) every top-level window of ours
// receives WM_QUERYENDSESSION, then WM_ENDSESSION with TRUE, and WM_QUIT with 0 is queued.
void EndSession();

// --- Memory ---
// The bytes the pictures of our windows hold now: hidden windows hold none.
size_t WindowSurfaceBytes();

// --- Update lock ---
// Every LockWindowUpdate call in order, NULL for the unlocking ones.
const std::vector<HWND>& LockWindowUpdateCalls();
HWND LockedWindow();

// --- Locale ---
// Sets the user's short-date format (a Windows picture such as "dd/MM/yyyy") and date
// separator, as GetLocaleInfoA then reports them.
void SetShortDateFormat(const std::string& picture, const std::string& separator);
// Fixes the local time that GetLocalTime reports; it advances with the driver's clock.
void SetLocalTime(const SYSTEMTIME& time);
// Returns to the environment's settings and the real local time.
void ResetLocale();

// --- System facts, registry and shell ---
// Answers a test gives in place of the system's own; Reset puts the system's back.
// GetCurrentDirectoryA presents exactly this text (for instance "C:\\Tools"); file functions
// still resolve relative names against the process's real current directory.
void SetCurrentDirectoryText(std::string text);
void SetComputerNameText(std::string name);
void SetUserNameText(std::string name);
// GetVersionExA reports this record (its size field is the caller's, as always).
void SetVersionRecord(const OSVERSIONINFOA& record);
// GetVersionExA fails with ERROR_INSUFFICIENT_BUFFER whatever size it is given.
void FailVersionQuery();
// Every RegOpenKeyExA after this reads `hive`; keys opened before keep their hive.
void SetRegistryHive(platform::RegistryHive hive);
// Puts back the system's own answers for everything above.
void ResetSystemFacts();
// What ShellExecuteA asked the desktop to open, in order: web addresses as given, files as
// absolute Unix paths. Nothing is started.
const std::vector<std::string>& OpenedDocuments();
// The ShellExecuteA calls behind them, with every argument as the program passed it.
const std::vector<platform::ShellRequest>& ShellRequests();
// Makes later openings fail, as on a desktop without a handler.
void SetOpenDocumentFails(bool fails);

// --- The notification area ---
// One call of Shell_NotifyIconA as the shell received it: the message, the icon as it stood
// after the call's flags were applied, and the answer.
struct TTrayCall {
  DWORD message = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
  HWND owner = nullptr;
  UINT id = 0;
  UINT callbackMessage = 0;
  std::string tip;
  platform::Surface image;
  bool succeeded = false;
};
std::vector<TTrayCall> TrayCalls();
void ClearTrayCalls();
// Whether a notification area runs (it does after Reset). Without one NIM_ADD fails; when one
// starts again, the icons added before it ended are shown again.
void SetTrayHost(bool running);
bool TrayIconShown(HWND owner, UINT id);
// What the shell does when the user works the icon: posts its callback message to its owner,
// with the id in wParam and `mouseMessage` (WM_MOUSEMOVE, WM_LBUTTONDBLCLK...) in lParam.
// False when no such icon is shown or it has no callback message.
bool PostTrayCallback(HWND owner, UINT id, UINT mouseMessage);

}  // namespace headless
