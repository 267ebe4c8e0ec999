// The program's own resource directory: finding resources by number, by name and by "#n",
// their bytes, icons split into the group and image resources a Windows program has, and
// LoadImageA of icons by resource name and by Z:\ file name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/core/GdiIcons.h"
#include "platform/headless/headless.h"
#include "platform/win32.h"
#include "tests/support/ResourceFiles.h"

namespace {

std::string Bytes(HRSRC resource) {
  const HGLOBAL loaded = LoadResource(nullptr, resource);
  const auto* data = static_cast<const char*>(LockResource(loaded));
  return data ? std::string(data, SizeofResource(nullptr, resource)) : std::string();
}

}  // namespace

TEST(Resources, AreFoundByNameWithoutRegardToCaseAndByNumber) {
  const HRSRC byName = FindResourceA(nullptr, "greeting", RT_RCDATA);
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(Bytes(byName), "Ol\xc3\xa1, Calvix\n");
  EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "GREETING", RT_RCDATA), byName);
  EXPECT_EQ(FindResourceA(nullptr, "Greeting", "#10"), byName);

  const HRSRC byNumber = FindResourceA(nullptr, MAKEINTRESOURCEA(42), RT_RCDATA);
  ASSERT_NE(byNumber, nullptr);
  EXPECT_NE(byNumber, byName);
  EXPECT_EQ(FindResourceA(nullptr, "#42", RT_RCDATA), byNumber);
  EXPECT_EQ(Bytes(byNumber), Bytes(byName));
}

TEST(Resources, MissingOnesAreReported) {
  SetLastError(0);
  EXPECT_EQ(FindResourceA(nullptr, "NOPE", RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(FindResourceA(nullptr, "GREETING", RT_BITMAP), nullptr);
  EXPECT_EQ(FindResourceA(nullptr, "42", RT_RCDATA), nullptr);  // a name, not the number
  EXPECT_EQ(FindResourceA(nullptr, "", RT_RCDATA), nullptr);
  // Other modules have no resources here.
  EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(0x1000), "GREETING", RT_RCDATA), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, reinterpret_cast<HRSRC>(0x7FFFFFFF)), 0u);
  EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
}

TEST(Resources, IconsAreAGroupAndOneImagePerSize) {
  const HRSRC group = FindResourceA(nullptr, "Calvix", RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const std::string directory = Bytes(group);
  ASSERT_EQ(directory.size(), 6u + 2 * 14u);
  WORD count = 0;
  std::memcpy(&count, directory.data() + 4, sizeof count);
  EXPECT_EQ(count, 2);
  for (int i = 0; i < 2; ++i) {
    const char* entry = directory.data() + 6 + i * 14;
    const int size = static_cast<unsigned char>(entry[0]);
    DWORD bytes = 0;
    WORD id = 0;
    std::memcpy(&bytes, entry + 8, sizeof bytes);
    std::memcpy(&id, entry + 12, sizeof id);
    const HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_ICON);
    ASSERT_NE(image, nullptr) << size;
    EXPECT_EQ(SizeofResource(nullptr, image), bytes);
    const std::string bitmap = Bytes(image);
    LONG width = 0;
    std::memcpy(&width, bitmap.data() + 4, sizeof width);
    EXPECT_EQ(width, size);
  }
}

TEST(Resources, TheVersionBlockIsAResourceToo) {
  const HRSRC version = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  ASSERT_NE(version, nullptr);
  const std::string block = Bytes(version);
  WORD length = 0;
  std::memcpy(&length, block.data(), sizeof length);
  EXPECT_EQ(length, block.size());
  EXPECT_EQ(block.substr(6, 4), std::string("V\0S\0", 4));
}

// --- Images from resources and files ---

namespace {

// The colour of the icon's middle pixel at its own size (0xAARRGGBB).
uint32_t MiddleColour(HANDLE icon) {
  platform::Surface pixels;
  if (!platform::gdi::IconPixels(static_cast<HICON>(icon), 0, 0, pixels)) return 0;
  return pixels.At(pixels.width / 2, pixels.height / 2);
}

constexpr uint32_t kRed = 0xFFFF0000;   // the 16-pixel image of the test icon
constexpr uint32_t kBlue = 0xFF0000FF;  // its 32-pixel image

}  // namespace

TEST(ResourceImages, IconsLoadByNameInTheSizeAskedFor) {
  headless::Reset();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const HANDLE small = LoadImageA(instance, "CALVIX", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(MiddleColour(small), kRed);
  const HANDLE large = LoadImageA(instance, "calvix", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR);
  EXPECT_EQ(MiddleColour(large), kBlue);
  // The nearest image is stretched to the size asked for.
  const HANDLE stretched = LoadImageA(instance, "CALVIX", IMAGE_ICON, 20, 20, LR_DEFAULTCOLOR);
  platform::Surface pixels;
  ASSERT_TRUE(platform::gdi::IconPixels(static_cast<HICON>(stretched), 0, 0, pixels));
  EXPECT_EQ(pixels.width, 20);
  EXPECT_EQ(pixels.At(10, 10), kRed);
  for (HANDLE icon : {small, large, stretched})
    DestroyIcon(static_cast<HICON>(icon));
}

TEST(ResourceImages, MissingIconsGiveNoImage) {
  headless::Reset();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  SetLastError(0);
  EXPECT_EQ(LoadImageA(instance, "NOSUCHICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_NAME_NOT_FOUND);
  // Data that is no icon group, and the system images a NULL instance names, are not icons.
  EXPECT_EQ(LoadImageA(instance, "GREETING", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR), nullptr);
  EXPECT_EQ(LoadImageA(nullptr, "CALVIX", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR), nullptr);
  EXPECT_EQ(LoadImageA(instance, "CALVIX", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR), nullptr);
}

TEST(ResourceImages, IconFilesAreNamedTheWindowsWay) {
  headless::Reset();
  const std::string name = testfiles::ZPath(CALVIX_TEST_DATA) + "\\..\\data\\red16-blue32.ico";
  const HANDLE icon = LoadImageA(nullptr, name.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(MiddleColour(icon), kRed);
  DestroyIcon(static_cast<HICON>(icon));
  EXPECT_EQ(LoadImageA(nullptr, "C:\\icons\\red16-blue32.ico", IMAGE_ICON, 16, 16, LR_LOADFROMFILE),
            nullptr);
}
