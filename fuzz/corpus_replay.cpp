// Feeds every file of a corpus directory to one fuzz entry, so each committed
// corpus is replayed by the ordinary test run without a fuzzing compiler.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_entries.h"

int main(int argc, char** argv) {
  quillet::FuzzEntry entry = argc == 3 ? quillet::FindFuzzEntry(argv[1]) : nullptr;
  if (entry == nullptr) {
    std::fprintf(stderr, "usage: %s TARGET CORPUS_DIRECTORY (TARGET: chain, format, autosearch, settings, "
                 "engine_names, script; engine_list in the Windows build)\n", argv[0]);
    return 2;
  }
  std::vector<std::filesystem::path> inputs;
  for (const auto& file : std::filesystem::directory_iterator(argv[2])) {
    if (file.is_regular_file()) inputs.push_back(file.path());
  }
  std::sort(inputs.begin(), inputs.end());
  for (const auto& path : inputs) {
    // Named first, so that a failing check's report says which input it was.
    std::printf("%s\n", path.filename().string().c_str());
    std::fflush(stdout);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
