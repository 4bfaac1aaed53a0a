// skintool: the editor's engine without a window.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::puts("usage: skintool COMMAND [OPTIONS]");
    return 0;
  }
  std::fputs("usage: skintool COMMAND [OPTIONS] (see skintool --help)\n", stderr);
  return 2;
}
