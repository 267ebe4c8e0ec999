// Icons and image files: drawing through the mask, reading the parts back, loading bitmaps
// and icons from files, and the failures of LoadImageA.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/core/GdiIcons.h"
#include "platform/core/ImageFile.h"
#include "platform/win32.h"
#include "tests/platform/GdiTestSupport.h"

namespace {

// A 4 by 4 icon: red, with its left column see-through.
HICON RedIcon() {
  TMemoryCanvas colour(4, 4, RGB(255, 0, 0));
  TMemoryCanvas mask(4, 4, RGB(0, 0, 0), 1);
  const RECT column{0, 0, 1, 4};
  FillRect(mask.Dc(), &column, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const RECT clear{0, 0, 1, 4};
  FillRect(colour.Dc(), &clear, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ICONINFO info{TRUE, 0, 0, mask.Bitmap(), colour.Bitmap()};
  return CreateIconIndirect(&info);
}

std::string TempFile(const char* name, const std::vector<uint8_t>& bytes) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path.string();
}

TEST(GdiIcons, DrawingGoesThroughTheMask) {
  HICON icon = RedIcon();
  ASSERT_NE(icon, nullptr);
  TMemoryCanvas canvas(8, 8, RGB(0, 0, 255));
  ASSERT_TRUE(DrawIconEx(canvas.Dc(), 2, 2, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(2, 3), RGB(0, 0, 255)) << "the see-through column shows the background";
  EXPECT_EQ(canvas.At(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(6, 3), RGB(0, 0, 255)) << "nothing beyond the icon";
  ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(1, 7), RGB(0, 0, 255)) << "stretched, the column is two wide";
  EXPECT_EQ(canvas.At(2, 7), RGB(255, 0, 0));

  platform::Surface pixels;
  ASSERT_TRUE(platform::gdi::IconPixels(icon, 0, 0, pixels));
  EXPECT_EQ(pixels.At(0, 0), 0u) << "see-through pixels have no alpha";
  EXPECT_EQ(pixels.At(1, 0), 0xFFFF0000u);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(GdiIcons, IconInfoHandsOutCopiesTheCallerOwns) {
  HICON icon = RedIcon();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_TRUE(info.fIcon);
  BITMAP mask{}, colour{};
  ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof(mask), &mask));
  ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof(colour), &colour));
  EXPECT_EQ(mask.bmBitsPixel, 1);
  EXPECT_EQ(colour.bmWidth, 4);
  DestroyIcon(icon);
  EXPECT_TRUE(DeleteObject(info.hbmMask)) << "the copies outlive the icon";
  EXPECT_TRUE(DeleteObject(info.hbmColor));
}

TEST(GdiIcons, LoadImageReadsBitmapAndIconFiles) {
  platform::Surface picture(3, 2, 0x00FF00);
  picture.At(0, 0) = 0xFF0000;
  const std::string bmp = TempFile("calvix_gdi_test.bmp", platform::image::WriteBmp(picture, 24));
  HBITMAP bitmap =
      static_cast<HBITMAP>(LoadImageA(nullptr, bmp.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 255, 0));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  // Windows names: drive Z: is the root and either separator works.
  std::string windowsName = "Z:" + bmp;
  for (char& c : windowsName)
    if (c == '/') c = '\\';
  bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, windowsName.c_str(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 6) << "stretched to the size asked for";
  DeleteObject(bitmap);
  std::remove(bmp.c_str());
}

TEST(GdiIcons, LoadImageFailsCleanly) {
  SetLastError(0);
  EXPECT_EQ(LoadImageA(nullptr, "/no/such/file.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  // A name that no resource carries: which of the resource errors depends on whether the
  // module has resources at all, as in Win32.
  EXPECT_EQ(LoadImageA(nullptr, "NOSUCHICON", IMAGE_ICON, 16, 16, 0), nullptr);
  EXPECT_TRUE(GetLastError() == DWORD(ERROR_RESOURCE_NAME_NOT_FOUND) ||
              GetLastError() == DWORD(ERROR_RESOURCE_DATA_NOT_FOUND) ||
              GetLastError() == DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
  const std::string junk = TempFile("calvix_gdi_junk.bmp", {'B', 'M', 1, 2, 3});
  EXPECT_EQ(LoadImageA(nullptr, junk.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
  std::remove(junk.c_str());
}

}  // namespace
