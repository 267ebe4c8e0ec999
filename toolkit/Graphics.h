// Graphic objects of the toolkit that forms need from the start: the font description.
// Canvases, bitmaps and icons join this header with the drawing code. Toolkit layer.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/Classes.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

// A font as a form describes it. Height is in pixels (negative: character height without the
// internal leading, as Windows counts it); Size is in points at 96 pixels per inch.
class TFont : public TPersistent {
 public:
  static constexpr int kPixelsPerInch = 96;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);

  void Assign(const TPersistent* source) override;
  bool operator==(const TFont& other) const;

  TNotifyEvent OnChange;

 private:
  void Changed() { OnChange(this); }

  std::string FName = "MS Sans Serif";
  int FHeight = -11;  // 8 points
  TColor FColor = clWindowText;
  TFontStyles FStyle;
};

// The colour constants by name, for colour properties of form descriptions.
const std::vector<std::pair<std::string, long long>>& ColorIdents();
