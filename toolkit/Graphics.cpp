// Graphic objects of the toolkit: the font description. Toolkit layer.
#include "toolkit/Graphics.h"

#include <cmath>

#include "toolkit/TypInfo.h"

void TFont::SetName(const std::string& name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

int TFont::Size() const {
  return -static_cast<int>(std::lround(FHeight * 72.0 / kPixelsPerInch));
}

void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(std::lround(points * static_cast<double>(kPixelsPerInch) / 72.0)));
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TFont*>(source)) {
    if (*this == *other) return;
    FName = other->FName;
    FHeight = other->FHeight;
    FColor = other->FColor;
    FStyle = other->FStyle;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::operator==(const TFont& other) const {
  return FName == other.FName && FHeight == other.FHeight && FColor == other.FColor &&
         FStyle == other.FStyle;
}

const std::vector<std::pair<std::string, long long>>& ColorIdents() {
  static const std::vector<std::pair<std::string, long long>> idents = {
      {"clBlack", clBlack},
      {"clMaroon", clMaroon},
      {"clGreen", clGreen},
      {"clOlive", clOlive},
      {"clNavy", clNavy},
      {"clPurple", clPurple},
      {"clTeal", clTeal},
      {"clGray", clGray},
      {"clSilver", clSilver},
      {"clRed", clRed},
      {"clLime", clLime},
      {"clYellow", clYellow},
      {"clBlue", clBlue},
      {"clFuchsia", clFuchsia},
      {"clAqua", clAqua},
      {"clWhite", clWhite},
      {"clNone", clNone},
      {"clDefault", clDefault},
      {"clBtnFace", clBtnFace},
      {"clWindow", clWindow},
      {"clWindowText", clWindowText},
      {"clBtnShadow", clBtnShadow},
      {"clBtnHighlight", clBtnHighlight},
      {"clHighlight", clHighlight},
      {"clHighlightText", clHighlightText},
      {"clGrayText", clGrayText}};
  return idents;
}

namespace {

const bool kRegistered = [] {
  PublishClass<TFont, TPersistent>("TFont")
      .IntegerIdents("Color", &TFont::Color, &TFont::SetColor, ColorIdents(), clWindowText)
      .Integer("Height", &TFont::Height, &TFont::SetHeight, -11)
      .String("Name", &TFont::Name, &TFont::SetName, std::string("MS Sans Serif"))
      .Set("Style", &TFont::Style, &TFont::SetStyle,
           {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, std::optional(TFontStyles{}));
  return true;
}();

}  // namespace
