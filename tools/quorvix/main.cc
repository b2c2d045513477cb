#include <cstdio>

int main() {
  std::puts("quorvix");
  return 0;
}
