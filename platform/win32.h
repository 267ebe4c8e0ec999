// The platform's one public header: the subset of the Win32 API that the layers above use,
// with the real names, types, constants, structure layouts and meanings. Built for Windows, it
// is the system's own <windows.h>; here each area has a header of its own.
#pragma once

#ifdef _WIN32
// The code above uses the explicit ANSI names (TextOutA, GetMessageA), so the generic names
// and the min/max macros of the system headers are not wanted there.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The notification area and ShellExecuteA, which the lean headers leave out.
#include <shellapi.h>
// Generic names of the system headers that the toolkit and the components use as names of
// their own (TCanvas::TextOut, TCanvas::DrawText, TMorCircButton::LoadImage, GetObject).
#undef DrawText
#undef GetObject
#undef LoadImage
#undef TextOut
#else
#include "platform/win32/gdi.h"     // device contexts, bitmaps, shapes, text (gdi32)
#include "platform/win32/kernel.h"  // system facts, files, registry, resources, versions
#include "platform/win32/shell.h"   // notification area and ShellExecuteA (shell32)
#include "platform/win32/types.h"   // basic types, handles, structures shared by every area
#include "platform/win32/user.h"    // windows, messages, timers, input (user32)
#endif
