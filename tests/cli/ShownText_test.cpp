// Tests of how inputs are shown: control characters in text lines, and JSON strings that stay
// valid whatever the bytes.
#include <gtest/gtest.h>

#include <string>

#include "cli/ShownText.h"
#include "tests/cli/JsonCheck.h"

using clitest::IsValidJson;

namespace {

std::string Json(std::string_view bytes) {
  std::string out;
  AppendJsonString(out, bytes);
  return out;
}

std::string Plain(std::string_view bytes) {
  std::string out = ">";
  AppendPlainText(out, bytes);
  return out;
}

}  // namespace

TEST(AppendPlainText, ShowsControlCharactersAsQuestionMarks) {
  EXPECT_EQ(Plain(std::string_view("a\tb\nc\0d\x7f"
                                   "e",
                                   9)),
            ">a?b?c?d?e");
  // Other bytes pass as they are, whatever their encoding.
  EXPECT_EQ(Plain("\xC3\xA9\xFF"), ">\xC3\xA9\xFF");
}

TEST(AppendJsonString, EscapesQuotesBackslashesAndControls) {
  EXPECT_EQ(Json("a\"b\\c/"), R"("a\"b\\c/")");
  EXPECT_EQ(Json(std::string_view("\b\f\n\r\t\0\x1f\x7f", 8)), R"("\b\f\n\r\t\u0000\u001f\u007f")");
}

TEST(AppendJsonString, KeepsWellFormedUtf8) {
  for (const std::string_view text : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                      "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF"}) {
    EXPECT_EQ(Json(text), "\"" + std::string(text) + "\"");
  }
}

TEST(AppendJsonString, ReplacesEachIllFormedSequenceOnce) {
  const std::string fffd = "\\ufffd";
  // A lone continuation byte, bytes that never start a sequence, overlong forms, surrogates,
  // code points past U+10FFFF.
  EXPECT_EQ(Json("\x80"), "\"" + fffd + "\"");
  EXPECT_EQ(Json("\xC0\x80"), "\"" + fffd + fffd + "\"");
  EXPECT_EQ(Json("\xFF\xFE"), "\"" + fffd + fffd + "\"");
  EXPECT_EQ(Json("\xE0\x80\x80"), "\"" + fffd + fffd + fffd + "\"");
  EXPECT_EQ(Json("\xED\xA0\x80"), "\"" + fffd + fffd + fffd + "\"");
  EXPECT_EQ(Json("\xF4\x90\x80\x80"), "\"" + fffd + fffd + fffd + fffd + "\"");
  // A sequence cut short is one replacement, and what follows it is read afresh.
  EXPECT_EQ(Json("\xE2\x82"), "\"" + fffd + "\"");
  EXPECT_EQ(Json("\xF0\x9F\x98"
                 "A"),
            "\"" + fffd + "A\"");
  EXPECT_EQ(Json("\xE2\x82\xE2\x82\xAC"), "\"" + fffd + "\xE2\x82\xAC\"");
}

TEST(AppendJsonString, GivesValidJsonForEveryPairOfBytes) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const char bytes[] = {static_cast<char>(first), static_cast<char>(second), '\xE2'};
      const std::string json = Json(std::string_view(bytes, 3));
      ASSERT_TRUE(IsValidJson(json)) << first << " " << second << " " << json;
    }
  }
}
