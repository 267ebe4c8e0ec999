// A fresh application with a main form on the headless desktop for the tests of the tray icon
// family, with helpers that make icon images and icon files and read the shell's records.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/tray/LwAppWnd.h"
#include "controls/tray/LwTray95.h"
#include "platform/headless/headless.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

// A solid 16 by 16 icon of `rgb` (0x00RRGGBB), owned by the caller.
inline HICON SolidIcon(uint32_t rgb) {
  std::vector<uint32_t> pixels(16 * 16, rgb);
  std::vector<uint8_t> mask(16 * 2, 0);  // all opaque
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = CreateBitmap(16, 16, 1, 32, pixels.data());
  info.hbmMask = CreateBitmap(16, 16, 1, 1, mask.data());
  const HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return icon;
}

// The bytes of an ICO file holding one solid 16 by 16 image of 32 bits.
inline std::vector<uint8_t> SolidIconFile(uint32_t rgb) {
  std::vector<uint8_t> out;
  auto put16 = [&](uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  constexpr uint32_t kSide = 16, kHeader = 40, kMaskRow = 4;
  const uint32_t imageSize = kHeader + kSide * kSide * 4 + kSide * kMaskRow;
  put16(0), put16(1), put16(1);                              // directory: one icon
  out.push_back(kSide), out.push_back(kSide), put16(0);      // 16 x 16, no palette
  put16(1), put16(32), put32(imageSize), put32(6 + 16);      // planes, bits, size, offset
  put32(kHeader), put32(kSide), put32(kSide * 2), put16(1);  // image and mask rows
  put16(32), put32(0), put32(0), put32(0), put32(0), put32(0), put32(0);
  for (uint32_t i = 0; i < kSide * kSide; ++i)
    put32(rgb | 0xFF000000u);
  out.insert(out.end(), kSide * kMaskRow, 0);
  return out;
}

// The colour (0x00RRGGBB) at the top-left of a recorded tray image, or 0xFFFFFFFF for none.
inline uint32_t ImageColor(const headless::TTrayCall& call) {
  return call.image.width > 0 ? call.image.At(0, 0) & 0xFFFFFFu : 0xFFFFFFFFu;
}

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DoneApplication();
    DestroyAppWindow();
    headless::Reset();
    headless::SetScreenSize(800, 600);
    SetErrorBox(
        [this](const std::string&, const std::string& message) { Errors.push_back(message); });
    Application->CreateForm(MainForm);
  }
  void TearDown() override {
    DoneApplication();
    DestroyAppWindow();
    SetErrorBox([](const std::string&, const std::string&) {});
    std::filesystem::remove_all(FilesDir);
  }

  // A tray icon on the main form, active with a blue icon when asked.
  TLwTrayIcon95* NewTray(bool active = true) {
    auto* tray = new TLwTrayIcon95(MainForm);
    TIcon icon;
    icon.SetHandle(SolidIcon(kBlue));
    tray->SetIcon(&icon);
    tray->SetActive(active);
    headless::ClearTrayCalls();
    return tray;
  }

  static std::vector<DWORD> Messages() {
    std::vector<DWORD> out;
    for (const auto& call : headless::TrayCalls())
      out.push_back(call.message);
    return out;
  }
  static std::vector<uint32_t> ModifiedColors() {
    std::vector<uint32_t> out;
    for (const auto& call : headless::TrayCalls())
      if (call.message == NIM_MODIFY) out.push_back(ImageColor(call));
    return out;
  }

  // Writes an icon file of one colour into a folder of the test; returns its name.
  std::string IconFile(const std::string& name, uint32_t rgb) {
    std::filesystem::create_directories(FilesDir);
    const std::filesystem::path path = FilesDir / name;
    const std::vector<uint8_t> bytes = SolidIconFile(rgb);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }

  static constexpr uint32_t kBlue = 0x0000FF;
  static constexpr uint32_t kRed = 0xFF0000;
  static constexpr uint32_t kGreen = 0x00FF00;

  TForm* MainForm = nullptr;
  std::vector<std::string> Errors;
  std::filesystem::path FilesDir =
      std::filesystem::temp_directory_path() /
      ("lwtray-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
       std::to_string(reinterpret_cast<uintptr_t>(this)));
};
