// Exceptions, dates and small text helpers of the toolkit. Toolkit layer.
#pragma once

#include <exception>
#include <string>

#include "platform/win32.h"
#include "toolkit/Types.h"

// --- Exceptions ---
// Every error the toolkit and the program raise derives from Exception and carries the text
// that the standard error box shows.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

// A call that is not allowed in the object's present state, or a misuse by the programmer.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A value outside the range its type or container allows (a list index, a date part).
class ERangeError : public Exception {
 public:
  using Exception::Exception;
};

// A text or value that cannot be converted to the type asked for.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A component operation that failed: a bad or duplicate name, an unknown class.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A file that could not be opened for reading or writing.
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// A damaged form description. The message names the line; Line() gives it as a number.
class EReadError : public EStreamError {
 public:
  EReadError(const std::string& message, int line)
      : EStreamError("Line " + std::to_string(line) + ": " + message), FLine(line) {}
  int Line() const { return FLine; }

 private:
  int FLine;
};

// --- Text helpers ---
std::string IntToStr(long long value);
// Upper-cases the letters a to z only; every other byte stays as it is.
std::string UpperCase(const std::string& text);
std::string LowerCase(const std::string& text);
// Compares ignoring the case of the letters a to z.
bool SameText(const std::string& a, const std::string& b);

// --- Dates ---
// A date is valid from 1 January 1 to 31 December 9999.
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Raises EConvertError for a year, month or day outside the calendar.
TDateTime EncodeDate(int year, int month, int day);
// Raises EConvertError for an hour, minute, second or millisecond out of range.
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
void DecodeDate(TDateTime date, WORD& year, WORD& month, WORD& day);
void DecodeTime(TDateTime time, WORD& hour, WORD& minute, WORD& second, WORD& millisecond);
// The platform's local date and time (the headless driver's clock in tests).
TDateTime Now();
TDateTime Date();

// The user's short-date settings as the platform reports them.
struct TShortDateSettings {
  std::string ShortDateFormat;  // "dd/MM/yyyy", "M/d/yyyy", ...
  char DateSeparator = '/';
};
TShortDateSettings CurrentShortDateSettings();

// Converts a short date text following the user's regional settings: the order of day,
// month and year comes from the short-date format, the separator must match, blanks before
// numbers are skipped, a year of one or two digits falls in the current century and a text
// of two numbers takes the current year. Raises EConvertError when the text is not a date.
TDateTime StrToDate(const std::string& text);
TDateTime StrToDate(const std::string& text, const TShortDateSettings& settings);
bool TryStrToDate(const std::string& text, TDateTime& result, const TShortDateSettings& settings);
// Formats a date with the short-date format of the settings.
std::string DateToStr(TDateTime date);
std::string DateToStr(TDateTime date, const TShortDateSettings& settings);
