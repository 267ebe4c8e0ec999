// Dates and the short-date conversion under the user's regional settings.
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"

namespace {

class DateTest : public testing::Test {
 protected:
  void SetUp() override {
    headless::ResetLocale();
    SYSTEMTIME now{};
    now.wYear = 2024;
    now.wMonth = 5;
    now.wDay = 17;
    now.wHour = 13;
    now.wMinute = 30;
    headless::SetLocalTime(now);
    headless::SetShortDateFormat("dd/MM/yyyy", "/");
  }
  void TearDown() override { headless::ResetLocale(); }

  static void ExpectDate(TDateTime d, int year, int month, int day) {
    WORD y, m, dd;
    DecodeDate(d, y, m, dd);
    EXPECT_EQ(y, year);
    EXPECT_EQ(m, month);
    EXPECT_EQ(dd, day);
    EXPECT_EQ(d, static_cast<long long>(d)) << "a converted date is at 00:00";
  }
};

TEST_F(DateTest, EncodeDateCountsDaysFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2001, 7, 1), 37073);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2001, 13, 1), EConvertError);
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
}

TEST_F(DateTest, DecodeDateInvertsEncodeDateAcrossCenturies) {
  for (int year : {1, 99, 100, 1600, 1899, 1900, 2000, 2024, 9999})
    for (int month = 1; month <= 12; ++month)
      for (int day : {1, DaysInMonth(year, month)})
        ExpectDate(EncodeDate(year, month, day), year, month, day);
}

TEST_F(DateTest, NowFollowsThePlatformsLocalTime) {
  const TDateTime now = Now();
  ExpectDate(Date(), 2024, 5, 17);
  WORD h, m, s, ms;
  DecodeTime(now, h, m, s, ms);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(m, 30);
}

TEST_F(DateTest, DayMonthYearReadsTheFirstOfJuly) {
  ExpectDate(StrToDate("01/07/2001"), 2001, 7, 1);
}

TEST_F(DateTest, MonthsOutsideTheCalendarFail) {
  EXPECT_THROW(StrToDate("01/00/2001"), EConvertError);
  EXPECT_THROW(StrToDate("01/13/2001"), EConvertError);
  EXPECT_THROW(StrToDate("31/02/2001"), EConvertError);
}

TEST_F(DateTest, ASeparatorOtherThanTheSettingsFails) {
  EXPECT_THROW(StrToDate("01-07-2001"), EConvertError);
  headless::SetShortDateFormat("dd.MM.yyyy", ".");
  EXPECT_THROW(StrToDate("01/07/2001"), EConvertError);
  ExpectDate(StrToDate("01.07.2001"), 2001, 7, 1);
}

TEST_F(DateTest, MonthDayYearReadsTheSameTextInThatOrder) {
  headless::SetShortDateFormat("M/d/yyyy", "/");
  ExpectDate(StrToDate("01/07/2001"), 2001, 1, 7);
  EXPECT_THROW(StrToDate("13/07/2001"), EConvertError);
  headless::SetShortDateFormat("yyyy-MM-dd", "-");
  ExpectDate(StrToDate("2001-07-01"), 2001, 7, 1);
}

TEST_F(DateTest, BlanksBeforeNumbersAndSeparatorsAreSkipped) {
  ExpectDate(StrToDate(" 01/ 07 /  2001 "), 2001, 7, 1);
  // An expiry field with the month typed and the year left blank is not a date.
  EXPECT_THROW(StrToDate("01/07/    "), EConvertError);
  EXPECT_THROW(StrToDate("01/  /    "), EConvertError);
}

TEST_F(DateTest, TwoDigitYearsFallInTheCurrentCentury) {
  ExpectDate(StrToDate("01/07/01"), 2001, 7, 1);
  ExpectDate(StrToDate("01/07/99"), 2099, 7, 1);
  // Three or four digits are taken as written.
  ExpectDate(StrToDate("01/07/0099"), 99, 7, 1);
}

TEST_F(DateTest, TwoNumbersTakeTheCurrentYearAndTrailingTextFails) {
  ExpectDate(StrToDate("01/07"), 2024, 7, 1);
  EXPECT_THROW(StrToDate("01/07/2001x"), EConvertError);
  EXPECT_THROW(StrToDate("01/07/20011"), EConvertError);
  EXPECT_THROW(StrToDate(""), EConvertError);
  EXPECT_THROW(StrToDate("/07/2001"), EConvertError);
}

TEST_F(DateTest, ConversionErrorNamesTheText) {
  try {
    StrToDate("01/13/2001");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'01/13/2001' is not a valid date");
  }
}

TEST_F(DateTest, SettingsComeThroughGetLocaleInfo) {
  char buffer[32];
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, sizeof buffer), 11);
  EXPECT_STREQ(buffer, "dd/MM/yyyy");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, nullptr, 0), 2);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 5), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDATE, buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, "1");
  EXPECT_EQ(DateToStr(EncodeDate(2001, 7, 1)), "01/07/2001");
}

}  // namespace
