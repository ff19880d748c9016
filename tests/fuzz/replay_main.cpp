// Runs a fuzz harness over saved inputs, without libFuzzer: each argument is
// a file or a folder of files (read in name order). The native tree links
// every harness to this, so the tests replay the seed corpora and every
// regression input with the compiler and sanitizers of that tree.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;

bool Replay(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path path = argv[i];
    std::error_code error;
    std::vector<fs::path> inputs;
    if (fs::is_directory(path, error)) {
      for (const auto& entry : fs::recursive_directory_iterator(path, error)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
      std::sort(inputs.begin(), inputs.end());
    } else {
      inputs.push_back(path);
    }
    // A missing or empty corpus would make a replay that proves nothing.
    if (inputs.empty()) {
      std::fprintf(stderr, "%s: no inputs\n", argv[i]);
      return 2;
    }
    for (const fs::path& input : inputs) {
      if (!Replay(input)) {
        std::fprintf(stderr, "%s: cannot be read\n", input.string().c_str());
        return 2;
      }
      ++replayed;
    }
  }
  std::printf("replayed %zu inputs\n", replayed);
  return replayed ? 0 : 2;
}
