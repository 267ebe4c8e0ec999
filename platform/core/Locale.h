// The regional settings and the local clock behind GetLocaleInfoA and GetLocalTime, with the
// overrides that the headless driver offers to tests. Internal to platform/.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/kernel.h"

namespace platform {

struct LocaleSettings {
  std::string shortDate;  // Windows picture: "dd/MM/yyyy"
  std::string longDate;   // Windows picture: "dddd, d' de 'MMMM' de 'yyyy"
  std::string dateSeparator;
  std::string timeSeparator;
};

// The settings in force: the override when one is set, else those of the LC_TIME locale.
LocaleSettings CurrentLocale();
void OverrideLocale(std::optional<LocaleSettings> settings);

// A fixed local time for tests; it advances with the driver's clock from the moment it is set.
void OverrideLocalTime(std::optional<SYSTEMTIME> time);

// Converts a strftime date format ("%d/%m/%Y") to a Windows date picture ("dd/MM/yyyy").
std::string DatePictureFromStrftime(const std::string& format);

}  // namespace platform
