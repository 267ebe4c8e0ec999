// The program's name as the X11 driver gives it to the desktop: the stem of its own file.
#include "platform/x11/X11ProgramName.h"

#include <gtest/gtest.h>

using platform::x11::ProgramName;
using platform::x11::ProgramNameFromPath;

TEST(X11ProgramName, TheStemOfTheFileNameWhateverTheFolderAndSeparator) {
  EXPECT_EQ(ProgramNameFromPath("Z:\\usr\\bin\\MorCalvix"), "MorCalvix");
  EXPECT_EQ(ProgramNameFromPath("C:\\Programas\\Calvix\\MorCalvix.exe"), "MorCalvix");
  EXPECT_EQ(ProgramNameFromPath("Z:/opt/calvix.d/MorCalvix"), "MorCalvix");
  EXPECT_EQ(ProgramNameFromPath("Z:\\home\\ana\\.calvix"), ".calvix");
  EXPECT_EQ(ProgramNameFromPath("MorCalvix"), "MorCalvix");
}

TEST(X11ProgramName, TheRunningProgramIsNamedAfterItsOwnFile) {
  // The tests run as their own program, so the name is theirs, not a constant of the product.
  EXPECT_EQ(ProgramName(), "platform_tests");
}
