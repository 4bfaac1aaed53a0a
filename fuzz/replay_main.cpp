// Runs a fuzz target's entry function on every file of the folders given,
// without libFuzzer: the seed corpora, past findings among them, are run by
// the tests on every build, and under the sanitizers.
#include <dirent.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size);

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    DIR* dir = ::opendir(argv[i]);
    if (!dir) {
      std::fprintf(stderr, "%s: no such folder of seeds\n", argv[i]);
      return 1;
    }
    std::vector<std::string> files;
    while (const dirent* e = ::readdir(dir)) {
      if (e->d_name[0] != '.') files.push_back(std::string(argv[i]) + "/" + e->d_name);
    }
    ::closedir(dir);
    for (const std::string& file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++inputs;
    }
  }
  std::printf("%d inputs ran\n", inputs);
  return inputs > 0 ? 0 : 1;
}
