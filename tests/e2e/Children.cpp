// The child roles of the end-to-end test program.
#include "tests/e2e/Children.h"

#include <cstdio>

namespace e2e {

int RunChild(const std::string& role, const std::vector<std::string>& args) {
  std::fprintf(stderr, "e2e: unknown child role %s\n", role.c_str());
  return 2;
}

}  // namespace e2e
