// Regional settings from the environment's LC_TIME locale and the local clock, answered the way
// GetLocaleInfoA and GetLocalTime answer on Windows. Platform core.
#include "platform/core/Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <time.h>

#include <chrono>
#include <cstring>

#include "platform/win32.h"

#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif

namespace platform {
namespace {

std::optional<LocaleSettings> localeOverride;
std::optional<SYSTEMTIME> timeOverride;
DWORD timeOverrideSetAt = 0;

// The first character of a picture that is not a letter or a quote is its separator.
std::string SeparatorOf(const std::string& picture, const char* fallback) {
  for (char c : picture) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && c != '\'' && c != ' ' && c != ',') return std::string(1, c);
  }
  return fallback;
}

std::string LangInfo(nl_item item, const char* fallback) {
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  std::string value = fallback;
  if (loc != static_cast<locale_t>(0)) {
    const char* text = nl_langinfo_l(item, loc);
    if (text != nullptr && *text != '\0') value = text;
    freelocale(loc);
  }
  return value;
}

LocaleSettings EnvironmentLocale() {
  LocaleSettings s;
  s.shortDate = DatePictureFromStrftime(LangInfo(D_FMT, "%m/%d/%y"));
  s.longDate = DatePictureFromStrftime(LangInfo(D_FMT, "%m/%d/%y"));
  s.dateSeparator = SeparatorOf(s.shortDate, "/");
  const std::string timeFormat = LangInfo(T_FMT, "%H:%M:%S");
  s.timeSeparator = timeFormat.find('.') != std::string::npos ? "." : ":";
  return s;
}

// Days since 1 January 1970 of a civil date, and back (proleptic Gregorian calendar).
long long DaysFromCivil(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

SYSTEMTIME FromMilliseconds(long long msSinceEpoch) {
  const long long msPerDay = 86400000LL;
  long long days = msSinceEpoch / msPerDay;
  long long rest = msSinceEpoch % msPerDay;
  if (rest < 0) {
    rest += msPerDay;
    --days;
  }
  int y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);  // 1 January 1970 was a Thursday
  st.wHour = static_cast<WORD>(rest / 3600000);
  st.wMinute = static_cast<WORD>(rest / 60000 % 60);
  st.wSecond = static_cast<WORD>(rest / 1000 % 60);
  st.wMilliseconds = static_cast<WORD>(rest % 1000);
  return st;
}

long long ToMilliseconds(const SYSTEMTIME& st) {
  return DaysFromCivil(st.wYear, st.wMonth, st.wDay) * 86400000LL + st.wHour * 3600000LL +
         st.wMinute * 60000LL + st.wSecond * 1000LL + st.wMilliseconds;
}

SYSTEMTIME SystemLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const long long ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  const time_t seconds = static_cast<time_t>(ms / 1000);
  struct tm local {};
  localtime_r(&seconds, &local);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(local.tm_year + 1900);
  st.wMonth = static_cast<WORD>(local.tm_mon + 1);
  st.wDay = static_cast<WORD>(local.tm_mday);
  st.wDayOfWeek = static_cast<WORD>(local.tm_wday);
  st.wHour = static_cast<WORD>(local.tm_hour);
  st.wMinute = static_cast<WORD>(local.tm_min);
  st.wSecond = static_cast<WORD>(local.tm_sec);
  st.wMilliseconds = static_cast<WORD>(ms % 1000);
  return st;
}

// The clock that a fixed local time advances with: the driver's tick count, so that a test
// that fixes the local time and advances the headless clock sees the time of day move on.
DWORD ClockNow() {
  return GetTickCount();
}

long long OverrideElapsed() {
  return static_cast<DWORD>(ClockNow() - timeOverrideSetAt);
}

}  // namespace

std::string DatePictureFromStrftime(const std::string& format) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    char spec = format[++i];
    if (spec == 'E' || spec == 'O') {  // alternative representations: use the plain one
      if (i + 1 >= format.size()) break;
      spec = format[++i];
    }
    switch (spec) {
      case 'd':
        out += "dd";
        break;
      case 'e':
        out += "d";
        break;
      case 'm':
        out += "MM";
        break;
      case 'y':
        out += "yy";
        break;
      case 'Y':
        out += "yyyy";
        break;
      case 'b':
      case 'h':
        out += "MMM";
        break;
      case 'B':
        out += "MMMM";
        break;
      case 'a':
        out += "ddd";
        break;
      case 'A':
        out += "dddd";
        break;
      case 'D':
        out += "MM/dd/yy";
        break;
      case 'F':
        out += "yyyy-MM-dd";
        break;
      case '%':
        out += '%';
        break;
      default:
        break;
    }
  }
  return out;
}

LocaleSettings CurrentLocale() {
  return localeOverride ? *localeOverride : EnvironmentLocale();
}

void OverrideLocale(std::optional<LocaleSettings> settings) {
  localeOverride = std::move(settings);
}

void OverrideLocalTime(std::optional<SYSTEMTIME> time) {
  timeOverride = time;
  timeOverrideSetAt = ClockNow();
}

}  // namespace platform

namespace {

std::string LocaleValue(const platform::LocaleSettings& s, LCTYPE type, bool& known) {
  known = true;
  switch (type) {
    case LOCALE_SDATE:
      return s.dateSeparator;
    case LOCALE_STIME:
      return s.timeSeparator;
    case LOCALE_SSHORTDATE:
      return s.shortDate;
    case LOCALE_SLONGDATE:
      return s.longDate;
    case LOCALE_IDATE: {
      // 0 month-day-year, 1 day-month-year, 2 year-month-day: the first part that appears.
      const size_t pos = s.shortDate.find_first_of("dMy");
      const char first = pos == std::string::npos ? 'M' : s.shortDate[pos];
      return first == 'd' ? "1" : first == 'y' ? "2" : "0";
    }
    default:
      known = false;
      return {};
  }
}

}  // namespace

extern "C" int WINAPI GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
  if ((Locale != LOCALE_USER_DEFAULT && Locale != LOCALE_SYSTEM_DEFAULT) || cchData < 0 ||
      (cchData > 0 && lpLCData == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool known = false;
  const std::string value =
      LocaleValue(platform::CurrentLocale(), LCType & ~LOCALE_NOUSEROVERRIDE, known);
  if (!known) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  const int needed = static_cast<int>(value.size()) + 1;
  if (cchData == 0) return needed;
  if (cchData < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpLCData, value.c_str(), static_cast<size_t>(needed));
  return needed;
}

extern "C" void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
  if (lpSystemTime == nullptr) return;
  if (!platform::timeOverride) {
    *lpSystemTime = platform::SystemLocalTime();
    return;
  }
  *lpSystemTime = platform::FromMilliseconds(platform::ToMilliseconds(*platform::timeOverride) +
                                             platform::OverrideElapsed());
}
