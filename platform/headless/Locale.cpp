// Headless controls of the regional settings and the local clock. Platform, headless driver.
#include "platform/core/Locale.h"
#include "platform/headless/headless.h"

namespace headless {

void SetShortDateFormat(const std::string& picture, const std::string& separator) {
  platform::LocaleSettings s = platform::CurrentLocale();
  s.shortDate = picture;
  s.dateSeparator = separator;
  platform::OverrideLocale(s);
}

void SetLocalTime(const SYSTEMTIME& time) {
  platform::OverrideLocalTime(time);
}

void ResetLocale() {
  platform::OverrideLocale(std::nullopt);
  platform::OverrideLocalTime(std::nullopt);
}

}  // namespace headless
