// The program's pictures as files: the skin and the logos as indexed bitmaps, the tray icon
// with its two 16-colour images, and the installed icons as PNG files. Part of calvix-assets.
#include "assets/Assets.h"

#include "assets/Colors.h"
#include "assets/Emblem.h"
#include "assets/PictureFiles.h"
#include "assets/Pictures.h"

namespace assets {

TScene DrawIcon(int size) {
  TScene scene(size, size);
  PaintEmblem(scene, 0, 0, float(size));
  return scene;
}

std::vector<TAssetFile> BuildAssets() {
  std::vector<TAssetFile> files;
  // The skin keeps its panel and frame colours exact, so the window's text sits on one plain
  // colour.
  files.push_back({"skin.bmp", BmpFile(Keyed(DrawSkin(), 256, {kPanelYellow, 0x000000}), 8)});
  files.push_back({"logo.bmp", BmpFile(Keyed(DrawLogo(), 256, {}), 8)});
  files.push_back({"picture2.bmp", BmpFile(Keyed(DrawMakerPicture(), 256, {}), 8)});
  const TScene icon32 = DrawIcon(32), icon16 = DrawIcon(16);
  files.push_back({"calvix.ico", IcoFile({&icon32, &icon16})});
  for (int size : {16, 32, 48}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    files.push_back({"icons/" + folder + "/calvix.png", PngFile(DrawIcon(size))});
  }
  return files;
}

}  // namespace assets
