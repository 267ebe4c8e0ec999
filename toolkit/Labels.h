// Labels: windowless captions drawn on their parent. Toolkit layer.
#pragma once

#include "toolkit/Controls.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// --- Labels ---
// A caption drawn on the parent. "&" marks the next character as a mnemonic (underlined) and
// "&&" shows one "&", unless ShowAccelChar is off. With AutoSize the label takes the size of
// its text; a right-justified label keeps its right edge when it does.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wordWrap);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool show);

 protected:
  void Paint() override;
  void Loaded() override;
  void TextChanged() override;
  void FontChanged() override;

 private:
  UINT DrawFlags() const;
  void AdjustBounds();

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
};
