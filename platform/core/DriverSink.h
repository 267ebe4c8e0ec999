// What a driver calls to hand native events to the platform's portable core: one function per
// kind of event. The core turns them into queued messages (input) or sends them at once
// (activation, moves), exactly as Windows would, so every driver gives the same message order.
// Internal to platform/; only drivers include it, and it is all of the core they see
// (platform/core/Core.h is the core's own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win32/types.h"

namespace platform::sink {

// Buttons as drivers report them.
enum class Button { btLeft, btRight, btMiddle };

// --- Pointer ---
// `target` is the top-level window the system delivered the event to: ours, another program's
// or the desktop (whose events are dropped), or null to let the core find our window under
// `screen`. The pointer capture, when set, takes precedence either way. `time` is in the TickCount
// base of the driver. Presses become double clicks here, by GetDoubleClickTime,
// SM_CXDOUBLECLK/SM_CYDOUBLECLK and the target class's CS_DBLCLKS.
void PointerMoved(HWND target, POINT screen, DWORD time);
void PointerButton(HWND target, Button button, bool down, POINT screen, DWORD time);
// The mouse buttons held now, as the system tells with every pointer event. A release that went
// to another program's window (ours had gone, or no longer held the pointer) never came as an
// event of ours; the buttons' state follows it all the same, as Windows' does.
void PointerButtonsHeld(bool left, bool right, bool middle);
// `delta` in WHEEL_DELTA units (120 per notch, positive away from the user).
void PointerWheel(HWND target, int delta, POINT screen, DWORD time);

// --- Keyboard ---
// A key went down or up; it is queued for the window with the keyboard focus (or the active
// window). `typed` is the Windows-1252 character the key types with the current modifiers, or
// 0 when it types none; TranslateMessage turns it into WM_CHAR. `virtualKey` may be
// VK_PACKET for a character that has no key of its own.
void Key(BYTE virtualKey, bool down, char typed, DWORD time);

// --- Activation ---
// The system gave the activation to our top-level window `hwnd`, or to another program's
// window (a handle from ForeignHandle), the desktop (GetDesktopWindow) or an unknown one (null).
// Sends WM_ACTIVATEAPP to all our top-level windows when activation moves between programs, and
// WM_ACTIVATE/WM_SETFOCUS/WM_KILLFOCUS as on Windows. Nothing happens when the state does not
// change.
void ActivationMoved(HWND hwnd);

// --- Our windows, changed by the system ---
// Part of the window must be drawn again (window coordinates): it joins the update region.
void Exposed(HWND hwnd, const RECT& area);
// The window manager moved or resized the window (screen coordinates).
void MovedBySystem(HWND hwnd, const RECT& bounds);
// The user minimised (true) or restored (false) the window through the system: its frame or
// its taskbar button. The window receives WM_SYSCOMMAND with SC_MINIMIZE or SC_RESTORE; when
// it stays as it was, the driver is told to show it so again.
void MinimisedBySystem(HWND hwnd, bool minimised);
// The user asked to close the window from its frame: WM_SYSCOMMAND with SC_CLOSE.
void CloseRequested(HWND hwnd);

// --- The session ---
// The session ends and the program must go (on Linux: SIGTERM from a session manager or systemd,
// SIGINT, SIGHUP). Every top-level window of ours, hidden ones included, receives
// WM_QUERYENDSESSION and then WM_ENDSESSION with TRUE (the answers change nothing: this end
// cannot be refused), and WM_QUIT with exit code 0 is posted, so the program leaves its loop and
// shuts down normally.
void SessionEnding();

// --- Other programs ---
// Another program posted a message to one of our windows: it joins the posted messages.
void ForeignMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Another process of ours asked, on its user's behalf, to show one of our top-level windows
// with ShowWindow's `showCommand`, or to bring it to the foreground (a second copy of the
// program handing over to the first). Windows carries out such calls from another process in
// the window's own thread, so the core makes them here as if the program had: the window's
// procedure sees the same messages. Handles that are not our windows are ignored.
void ShowRequested(HWND hwnd, int showCommand);
void ForegroundRequested(HWND hwnd);
// The handle by which our program sees another program's window `key` (made on first use).
HWND ForeignHandle(uint64_t key);
// The other program's window behind a handle, or false when it is not one.
bool ForeignKey(HWND hwnd, uint64_t& key);

// --- Helpers for drivers ---
// The Windows-1252 character a key types on a US keyboard, or 0 when it types none.
char TypedOnUsKeyboard(BYTE virtualKey, bool shift, bool control);
// Our visible top-level window under a screen point, in our own Z order, or null.
HWND OwnWindowAt(POINT screen);
// Whether a key or button is down as the driver last reported it (not as of the message taken).
bool KeyHeld(BYTE virtualKey);

// --- The core's state, for a driver's own controls (the headless desktop's test controls) ---
// Clears every window, class, message, timer and input state; the driver stays installed.
void ResetCore();
// The core's 64-bit view of the driver's tick count.
uint64_t Now();
// When the next timer of any window (or of the thread) is due on that clock; false when none is
// set.
bool NextTimerDue(uint64_t& due);
// Whether WM_QUIT has been posted and not yet taken.
bool QuitPending();
// The bytes of pixels the core keeps for the surfaces of our live windows.
size_t WindowSurfaceBytes();
// Every LockWindowUpdate call's argument, in order, and the window locked now (null for none).
const std::vector<HWND>& LockWindowUpdateCalls();
HWND LockedWindow();

}  // namespace platform::sink
