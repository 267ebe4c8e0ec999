// The colours every picture of the program shares: navy and gold around a yellow panel, with
// a green check mark. Part of calvix-assets, the tool that draws the program's pictures.
#pragma once

#include "assets/Scene.h"

namespace assets {

constexpr TRgb kInk = Hex(0x111B3F);         // outlines against the desktop
constexpr TRgb kNavyLight = Hex(0x3A5AA8);   // top of navy gradients
constexpr TRgb kNavy = Hex(0x22387A);        // navy surfaces
constexpr TRgb kNavyDeep = Hex(0x16265A);    // bottom of navy gradients
constexpr TRgb kGoldLight = Hex(0xFFE58A);   // top of gold gradients
constexpr TRgb kGold = Hex(0xF6BE1E);        // gold surfaces
constexpr TRgb kGoldDeep = Hex(0xC98C06);    // bottom of gold gradients
constexpr TRgb kCardLight = Hex(0xFFF3B4);   // the emblem's card, top
constexpr TRgb kCardDeep = Hex(0xFFC928);    // the emblem's card, bottom
constexpr TRgb kGreenLight = Hex(0x62D673);  // the check mark, top
constexpr TRgb kGreenDeep = Hex(0x1F8A37);   // the check mark, bottom
constexpr TRgb kGreenEdge = Hex(0x155526);   // the check mark's edge

}  // namespace assets
