// The end-to-end test program: GoogleTest on a private virtual desktop, or, started again by a
// test with --child=ROLE, one of the small programs that play another process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/Children.h"
#include "tests/e2e/Desktop.h"

namespace {

class TDesktopEnvironment : public testing::Environment {
 public:
  void SetUp() override { e2e::TDesktop::Get(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strncmp(argv[1], "--child=", 8) == 0) {
    return e2e::RunChild(argv[1] + 8, std::vector<std::string>(argv + 2, argv + argc));
  }
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new TDesktopEnvironment);
  return RUN_ALL_TESTS();
}
