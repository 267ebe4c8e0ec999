// Test-only controls of the headless driver: things a test sets or reads that a program never
// could through the Win32 API. Platform layer; never included by the program.
#pragma once

#include <string>

#include "platform/win32.h"

namespace headless {

// --- Locale ---
// Sets the user's short-date format (a Windows picture such as "dd/MM/yyyy") and date
// separator, as GetLocaleInfoA then reports them.
void SetShortDateFormat(const std::string& picture, const std::string& separator);
// Fixes the local time that GetLocalTime reports; it advances with the driver's clock.
void SetLocalTime(const SYSTEMTIME& time);
// Returns to the environment's settings and the real local time.
void ResetLocale();

}  // namespace headless
