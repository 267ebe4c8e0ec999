// The program's pictures as scenes, before they become files. Part of calvix-assets, the tool
// that draws the program's pictures.
#pragma once

#include "assets/Scene.h"

namespace assets {

// The main window's skin, 356 × 259: a yellow panel with a navy title plate and foot; white is
// left see-through.
TScene DrawSkin();
// The panel's plain yellow, under every label and field of the window.
constexpr uint32_t kPanelYellow = 0xFFE878;

// The emblem alone on a transparent square of `size` pixels (16, 32 or 48).
TScene DrawIcon(int size);

// The tall logo of the information windows, 114 × 322, on white.
TScene DrawLogo();
// The maker's small picture, 81 × 57, on white.
TScene DrawMakerPicture();

}  // namespace assets
