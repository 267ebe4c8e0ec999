// File streams take the Windows-style names the rest of the program uses.
#include "toolkit/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "toolkit/Graphics.h"

TEST(FileStream, RoundTripsThroughADriveNameAndRefusesMissingFiles) {
  const auto dir = std::filesystem::temp_directory_path() / "calvix-streams";
  std::filesystem::create_directories(dir);
  // The Unix root is drive Z: with backslashes.
  std::string name = "Z:" + (dir / "s.bin").string();
  for (char& c : name)
    if (c == '/') c = '\\';
  {
    TFileStream out(name, fmCreate);
    out.WriteBuffer("0123456789", 10);
  }
  TFileStream in(name, fmOpenRead);
  EXPECT_EQ(in.Size(), 10);
  in.SetPosition(4);
  char buf[4] = {};
  EXPECT_EQ(in.Read(buf, 4), 4);
  EXPECT_EQ(std::string(buf, 4), "4567");
  EXPECT_EQ(in.Read(buf, 4), 2);
  EXPECT_THROW(TFileStream("Z:\\no\\such\\file.bmp", fmOpenRead), EFOpenError);
  std::filesystem::remove_all(dir);
}
