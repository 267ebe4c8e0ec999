// Shared value types of the toolkit: colours, dates, sets, shift states and mouse buttons.
// Toolkit layer; everything above the platform uses these names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// --- Text and dates ---
// Text is std::string holding Windows-1252 bytes. A date is a day count since 30 December 1899
// 00:00, the fraction being the time of day.
using TDateTime = double;

// --- Colours ---
// A plain colour is 0x00BBGGRR. Colours with the high byte 0x80 name a system colour by index,
// the way the toolkit's ancestors did; painting code translates them.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor kSystemColorFlag = static_cast<TColor>(0x80000000);
constexpr TColor clBtnFace = kSystemColorFlag | 15;
constexpr TColor clWindow = kSystemColorFlag | 5;
constexpr TColor clWindowText = kSystemColorFlag | 8;
constexpr TColor clBtnShadow = kSystemColorFlag | 16;
constexpr TColor clBtnHighlight = kSystemColorFlag | 20;
constexpr TColor clHighlight = kSystemColorFlag | 13;
constexpr TColor clHighlightText = kSystemColorFlag | 14;
constexpr TColor clGrayText = kSystemColorFlag | 17;

// --- Sets ---
// A set of the values of an enumeration with at most 32 members; member n is bit n, so a set
// of up to eight members fits the byte its ancestors stored.
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> members) {
    for (E m : members)
      Include(m);
  }
  static constexpr TSet FromBits(uint32_t bits) {
    TSet s;
    s.FBits = bits;
    return s;
  }

  constexpr bool Contains(E m) const { return (FBits >> static_cast<unsigned>(m)) & 1u; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr uint32_t Bits() const { return FBits; }
  constexpr TSet& Include(E m) {
    FBits |= 1u << static_cast<unsigned>(m);
    return *this;
  }
  constexpr TSet& Exclude(E m) {
    FBits &= ~(1u << static_cast<unsigned>(m));
    return *this;
  }

  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  uint32_t FBits = 0;
};

// --- Input ---
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
