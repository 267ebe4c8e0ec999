// The tests on a private Wayland desktop run headless (scripts/wayland-desktop), or, started
// again with --child=tray, the small tray program those tests drive.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/wayland/TrayProgram.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--child=tray") == 0) return wayland_test::RunTrayProgram();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
