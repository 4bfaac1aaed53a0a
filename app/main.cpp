// skinedit: the skin editor's window.
#include <cstdio>

int main() {
  std::puts("The editor window is not built yet; use skintool for the engine.");
  return 0;
}
