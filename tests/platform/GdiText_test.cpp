// Text: fonts resolve to installed faces, backgrounds follow the mode, the measured extent is
// where the drawing is, and DrawTextA's "&" rule, alignment and line breaking.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/FontEngine.h"
#include "platform/win32.h"
#include "tests/platform/GdiTestSupport.h"

namespace {

constexpr COLORREF kBack = RGB(255, 255, 0);

HFONT MakeFont(const char* face, int height, int weight = FW_NORMAL, bool underline = false) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, ANSI_CHARSET, 0, 0,
                     DEFAULT_QUALITY, 0, face);
}

// The box around every pixel that is not the background.
RECT Inked(const TMemoryCanvas& canvas, int w, int h, COLORREF back = kBack) {
  RECT r{w, h, 0, 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (canvas.At(x, y) != back)
        r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
             std::max<LONG>(r.bottom, y + 1)};
  return r;
}

class GdiText : public ::testing::Test {
 protected:
  void SetUp() override {
    FFont = MakeFont("MS Sans Serif", -11);
    FOld = SelectObject(FCanvas.Dc(), FFont);
  }
  void TearDown() override {
    SelectObject(FCanvas.Dc(), FOld);
    DeleteObject(FFont);
  }
  TMemoryCanvas FCanvas{200, 60, kBack};
  HFONT FFont = nullptr;
  HGDIOBJ FOld = nullptr;
};

TEST(GdiFonts, WindowsFacesResolveToInstalledFamilies) {
  EXPECT_EQ(platform::fonts::SubstituteFamily("Arial"), "Liberation Sans");
  EXPECT_EQ(platform::fonts::SubstituteFamily("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(platform::fonts::SubstituteFamily("COMIC SANS MS"), "Comic Neue");
  for (const char* face :
       {"MS Sans Serif", "Arial", "Times New Roman", "Comic Sans MS", "Small Fonts"}) {
    LOGFONTA log{};
    log.lfHeight = -11;
    std::strcpy(log.lfFaceName, face);
    const auto resolved = platform::fonts::FaceFor(log);
    EXPECT_FALSE(resolved->Metrics().family.empty()) << face;
    EXPECT_GT(resolved->Glyph('A').advance, 0) << face;
  }
}

TEST_F(GdiText, MetricsFollowTheRequestedCharacterHeight) {
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(FCanvas.Dc(), &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
  HFONT cell = MakeFont("Arial", 20);
  SelectObject(FCanvas.Dc(), cell);
  ASSERT_TRUE(GetTextMetricsA(FCanvas.Dc(), &tm));
  EXPECT_NEAR(tm.tmHeight, 20, 1) << "a positive height asks for the cell height";
  SelectObject(FCanvas.Dc(), FFont);
  DeleteObject(cell);
}

TEST_F(GdiText, TransparentTextKeepsTheBackgroundAndStaysInItsExtent) {
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(FCanvas.Dc(), "Verifica CPF", 12, &size));
  EXPECT_GT(size.cx, 30);
  SetBkMode(FCanvas.Dc(), TRANSPARENT);
  SetTextColor(FCanvas.Dc(), RGB(0, 0, 0));
  ASSERT_TRUE(TextOutA(FCanvas.Dc(), 10, 5, "Verifica CPF", 12));
  const RECT ink = Inked(FCanvas, 200, 60);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 10 + size.cx);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 5 + size.cy);
  EXPECT_GT(ink.right - ink.left, size.cx * 3 / 4) << "the ink spans most of the extent";
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      const COLORREF c = FCanvas.At(x, y);
      ASSERT_TRUE(c == kBack || c == RGB(0, 0, 0)) << "only ink and untouched background";
    }
}

// A program that shows nothing closes its font files; text drawn afterwards, with the same
// fonts, opens them again and comes out exactly as before.
TEST_F(GdiText, TextAfterTheFontFilesWereClosedIsDrawnAsBefore) {
  const auto draw = [&](TMemoryCanvas& canvas) {
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    ASSERT_TRUE(TextOutA(canvas.Dc(), 4, 4, "Verifica CPF \xC1\xE7", 14));
  };
  draw(FCanvas);
  SIZE before{};
  GetTextExtentPoint32A(FCanvas.Dc(), "Verifica", 8, &before);
  platform::fonts::ReleaseFaceFiles();
  SIZE after{};
  GetTextExtentPoint32A(FCanvas.Dc(), "Verifica", 8, &after);
  EXPECT_EQ(after.cx, before.cx);
  EXPECT_EQ(after.cy, before.cy);
  TMemoryCanvas again{200, 60, kBack};
  const HGDIOBJ old = SelectObject(again.Dc(), FFont);
  draw(again);
  SelectObject(again.Dc(), old);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(again.At(x, y), FCanvas.At(x, y)) << x << "," << y;
}

// Text is measured from the glyphs' advances before any of it is drawn (a form lays its labels
// out before it shows): the extent must be the one the drawn glyphs then have.
TEST(GdiFonts, TextMeasuredBeforeItIsDrawnHasTheExtentOfItsDrawing) {
  const char* const text = "Digite o C.P.F. \xC1\xE7\xE3o W@";
  for (const int weight : {FW_NORMAL, FW_BOLD}) {
    for (const char* face : {"MS Sans Serif", "Times New Roman", "Comic Sans MS"}) {
      // A size no other test asks for, so that no glyph of the face was drawn yet.
      const HFONT font = MakeFont(face, -17, weight);
      TMemoryCanvas canvas{400, 40, kBack};
      const HGDIOBJ old = SelectObject(canvas.Dc(), font);
      SIZE measured{}, drawn{};
      GetTextExtentPoint32A(canvas.Dc(), text, int(strlen(text)), &measured);
      TextOutA(canvas.Dc(), 0, 0, text, int(strlen(text)));
      GetTextExtentPoint32A(canvas.Dc(), text, int(strlen(text)), &drawn);
      EXPECT_EQ(measured.cx, drawn.cx) << face << " weight " << weight;
      EXPECT_GT(measured.cx, 0);
      SelectObject(canvas.Dc(), old);
      DeleteObject(font);
    }
  }
}

TEST_F(GdiText, OpaqueTextFillsItsCellWithTheBackgroundColour) {
  SetBkColor(FCanvas.Dc(), RGB(0, 0, 255));
  ASSERT_TRUE(TextOutA(FCanvas.Dc(), 10, 5, "x", 1));
  SIZE size{};
  GetTextExtentPoint32A(FCanvas.Dc(), "x", 1, &size);
  EXPECT_EQ(FCanvas.At(10, 5), RGB(0, 0, 255));
  EXPECT_EQ(FCanvas.At(10 + size.cx - 1, 5 + size.cy - 1), RGB(0, 0, 255));
  EXPECT_EQ(FCanvas.At(10 + size.cx, 5), kBack);
  EXPECT_EQ(FCanvas.At(10, 5 + size.cy), kBack);
}

TEST_F(GdiText, DrawTextPrefixRule) {
  SetBkMode(FCanvas.Dc(), TRANSPARENT);
  RECT r{0, 0, 200, 60};
  SIZE one{}, both{};
  GetTextExtentPoint32A(FCanvas.Dc(), "Morvane Software & Systems", 26, &one);
  DrawTextA(FCanvas.Dc(), "Morvane Software && Systems", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.right, one.cx) << "\"&&\" shows one \"&\"";
  r = {0, 0, 200, 60};
  GetTextExtentPoint32A(FCanvas.Dc(), "Morvane Software && Systems", 27, &both);
  DrawTextA(FCanvas.Dc(), "Morvane Software && Systems", -1, &r, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(r.right, both.cx) << "DT_NOPREFIX shows both";

  // "&F" underlines the F: a line appears under the baseline that the plain text lacks.
  TEXTMETRICA tm{};
  GetTextMetricsA(FCanvas.Dc(), &tm);
  r = {0, 0, 200, 60};
  DrawTextA(FCanvas.Dc(), "&Fechar", -1, &r, DT_SINGLELINE);
  TMemoryCanvas plain(200, 60, kBack);
  SelectObject(plain.Dc(), FFont);
  SetBkMode(plain.Dc(), TRANSPARENT);
  DrawTextA(plain.Dc(), "Fechar", -1, &r, DT_SINGLELINE);
  int differing = 0;
  for (int x = 0; x < 20; ++x)
    differing += FCanvas.At(x, tm.tmAscent + 1) != plain.At(x, tm.tmAscent + 1);
  EXPECT_GT(differing, 2);
  for (int y = 0; y < tm.tmAscent; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(FCanvas.At(x, y), plain.At(x, y)) << "the letters are the same";
  SelectObject(plain.Dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(GdiText, DrawTextCentresAndBreaksLines) {
  SetBkMode(FCanvas.Dc(), TRANSPARENT);
  SIZE size{};
  GetTextExtentPoint32A(FCanvas.Dc(), "OK", 2, &size);
  RECT r{0, 0, 100, 40};
  const int height = DrawTextA(FCanvas.Dc(), "OK", 2, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const RECT ink = Inked(FCanvas, 100, 40);
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 50, 2);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 20, 3);
  EXPECT_EQ(height, (40 - size.cy) / 2 + size.cy);

  RECT wrap{0, 0, 68, 200};
  const int lines = DrawTextA(FCanvas.Dc(), "Tipo, validade e numero do cart\xE3o", -1, &wrap,
                              DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GE(lines, 2 * size.cy) << "a narrow box breaks the text into lines";
  EXPECT_LE(wrap.right, 68);
  // Lines that start or end with blanks, as a message box's text may, are broken too.
  RECT blanks{0, 0, 400, 200};
  EXPECT_EQ(DrawTextA(FCanvas.Dc(), "Nome     \r\r                 http://x.y ", -1, &blanks,
                      DT_CALCRECT | DT_WORDBREAK),
            3 * size.cy);
  RECT narrowBlanks{0, 0, 30, 200};
  EXPECT_GE(DrawTextA(FCanvas.Dc(), "   abc   def", -1, &narrowBlanks, DT_CALCRECT | DT_WORDBREAK),
            2 * size.cy);
  RECT single{0, 0, 68, 200};
  EXPECT_EQ(DrawTextA(FCanvas.Dc(), "a\r\nb\nc", -1, &single, DT_CALCRECT), 3 * size.cy);
}

}  // namespace
