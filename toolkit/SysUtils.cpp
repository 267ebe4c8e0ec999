// Exceptions, dates and small text helpers of the toolkit. Toolkit layer.
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cmath>

#include "platform/win32.h"

// --- Text helpers ---

std::string IntToStr(long long value) {
  return std::to_string(value);
}

std::string UpperCase(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerCase(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  // Compared in place: stored forms look names up this way many times as they load.
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return upper(x) == upper(y); });
}

// --- Dates ---

namespace {

// Days from 1 January 1 to 30 December 1899, the origin of TDateTime.
constexpr long long kDateDelta = 693594;
constexpr double kMsPerDay = 86400000.0;

int CurrentYear() {
  WORD year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  long long days = day;
  for (int m = 1; m < month; ++m)
    days += DaysInMonth(year, m);
  const long long y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  result = static_cast<double>(days - kDateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result))
    throw EConvertError("Invalid argument to date encode");
  return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    throw EConvertError("Invalid argument to time encode");
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / kMsPerDay;
}

void DecodeDate(TDateTime date, WORD& year, WORD& month, WORD& day) {
  // The whole days of the value count; a time before midnight of the origin belongs to it.
  long long days = static_cast<long long>(std::trunc(date)) + kDateDelta - 1;
  if (days < 0) {
    year = month = day = 0;
    return;
  }
  constexpr long long kD400 = 146097, kD100 = 36524, kD4 = 1461;
  long long y = 1 + 400 * (days / kD400);
  days %= kD400;
  long long n = days / kD100;
  if (n == 4) n = 3;
  y += 100 * n;
  days -= n * kD100;
  y += 4 * (days / kD4);
  days %= kD4;
  n = days / 365;
  if (n == 4) n = 3;
  y += n;
  days -= n * 365;
  int m = 1;
  while (days >= DaysInMonth(static_cast<int>(y), m))
    days -= DaysInMonth(static_cast<int>(y), m++);
  year = static_cast<WORD>(y);
  month = static_cast<WORD>(m);
  day = static_cast<WORD>(days + 1);
}

void DecodeTime(TDateTime time, WORD& hour, WORD& minute, WORD& second, WORD& millisecond) {
  const double fraction = std::fabs(time - std::trunc(time));
  long long ms = std::llround(fraction * kMsPerDay);
  if (ms >= static_cast<long long>(kMsPerDay)) ms = static_cast<long long>(kMsPerDay) - 1;
  hour = static_cast<WORD>(ms / 3600000);
  minute = static_cast<WORD>(ms / 60000 % 60);
  second = static_cast<WORD>(ms / 1000 % 60);
  millisecond = static_cast<WORD>(ms % 1000);
}

TDateTime Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) +
         EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Date() {
  return std::trunc(Now());
}

// --- Short dates ---

namespace {

std::string LocaleString(LCTYPE type, const std::string& fallback) {
  char buffer[128];
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  return n > 1 ? std::string(buffer, static_cast<size_t>(n - 1)) : fallback;
}

enum TDateOrder { doMDY, doDMY, doYMD };

// The order of a short-date picture is that of the first day, month or year letter in it.
TDateOrder DateOrderOf(const std::string& picture) {
  for (char c : picture) {
    switch (c) {
      case 'd':
      case 'D':
        return doDMY;
      case 'M':
      case 'm':
        return doMDY;
      case 'y':
      case 'Y':
      case 'E':
      case 'e':
        return doYMD;
      default:
        break;
    }
  }
  return doMDY;
}

// Reads a text from left to right the way the short-date conversion does.
class TDateScanner {
 public:
  explicit TDateScanner(const std::string& text) : FText(text) {}

  void SkipBlanks() {
    while (FPos < FText.size() && FText[FPos] == ' ')
      ++FPos;
  }
  // Up to four digits after optional blanks; `digits` tells how many were read.
  bool Number(int& value, int& digits) {
    SkipBlanks();
    const size_t start = FPos;
    value = 0;
    while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9' && value < 1000)
      value = value * 10 + (FText[FPos++] - '0');
    digits = static_cast<int>(FPos - start);
    return digits > 0;
  }
  bool Char(char c) {
    SkipBlanks();
    if (FPos < FText.size() && FText[FPos] == c) {
      ++FPos;
      return true;
    }
    return false;
  }
  bool AtEnd() const { return FPos >= FText.size(); }

 private:
  const std::string& FText;
  size_t FPos = 0;
};

}  // namespace

TShortDateSettings CurrentShortDateSettings() {
  TShortDateSettings s;
  s.ShortDateFormat = LocaleString(LOCALE_SSHORTDATE, "M/d/yy");
  const std::string separator = LocaleString(LOCALE_SDATE, "/");
  s.DateSeparator = separator.empty() ? '/' : separator[0];
  return s;
}

bool TryStrToDate(const std::string& text, TDateTime& result, const TShortDateSettings& settings) {
  TDateScanner scan(text);
  const char sep = settings.DateSeparator;
  int n1, n2, n3, l1, l2, l3;
  if (!scan.Number(n1, l1) || !scan.Char(sep) || !scan.Number(n2, l2)) return false;
  int y, m, d;
  const TDateOrder order = DateOrderOf(settings.ShortDateFormat);
  if (scan.Char(sep)) {
    if (!scan.Number(n3, l3)) return false;
    int yearDigits;
    switch (order) {
      case doMDY:
        y = n3, yearDigits = l3, m = n1, d = n2;
        break;
      case doDMY:
        y = n3, yearDigits = l3, m = n2, d = n1;
        break;
      default:
        y = n1, yearDigits = l1, m = n2, d = n3;
        break;
    }
    if (yearDigits <= 2) y += CurrentYear() / 100 * 100;
  } else {
    // Two numbers are a day and a month of the current year.
    y = CurrentYear();
    if (order == doDMY)
      d = n1, m = n2;
    else
      m = n1, d = n2;
  }
  scan.Char(sep);
  scan.SkipBlanks();
  return scan.AtEnd() && TryEncodeDate(y, m, d, result);
}

TDateTime StrToDate(const std::string& text, const TShortDateSettings& settings) {
  TDateTime result;
  if (!TryStrToDate(text, result, settings))
    throw EConvertError("'" + text + "' is not a valid date");
  return result;
}

TDateTime StrToDate(const std::string& text) {
  return StrToDate(text, CurrentShortDateSettings());
}

std::string DateToStr(TDateTime date, const TShortDateSettings& settings) {
  WORD year, month, day;
  DecodeDate(date, year, month, day);
  const std::string& picture = settings.ShortDateFormat;
  std::string out;
  auto pad2 = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  for (size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c)
      ++run;
    if (c == 'd')
      out += run >= 2 ? pad2(day) : std::to_string(day);
    else if (c == 'M')
      out += run >= 2 ? pad2(month) : std::to_string(month);
    else if (c == 'y')
      out += run <= 2 ? pad2(year % 100) : std::to_string(year);
    else if (c == '\'') {
      const size_t close = picture.find('\'', i + 1);
      out += picture.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
      run = close == std::string::npos ? picture.size() - i : close - i + 1;
    } else
      out.append(run, c);
    i += run;
  }
  return out;
}

std::string DateToStr(TDateTime date) {
  return DateToStr(date, CurrentShortDateSettings());
}
