// Entry point of MorCalvix.
#include <cstdio>

int main() {
  std::puts("MorCalvix: the windows are not built yet.");
  return 0;
}
