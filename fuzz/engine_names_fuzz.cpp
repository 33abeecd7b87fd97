// What the engine list makes of the platform reader's result, whatever it is:
// the count the reader returned and the bytes it left in the 4096-byte buffer.
// Also the list path formed from a library path of any text.
//
// Input: two bytes of count (least significant first), then the buffer's
// bytes; those beyond the input keep what lay there before. The same bytes up
// to their NUL are the library path.
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "settings/engine_list.h"

namespace quillet {

int RunEngineNamesFuzzInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput input(data, size);
  const uint32_t placed = input.Number(2);
  const std::string left = input.Rest().substr(0, kEngineBufferSize);
  std::string before = left;
  before.resize(kEngineBufferSize, fuzz::kUntouched);
  fuzz::ExactBuffer names(before);
  const uint32_t count = EndEngineNames(names.data(), placed);
  fuzz::CheckEqual(count, std::min(placed, kEngineBufferSize - 2), "name count");
  fuzz::CheckEqual(names.bytes().substr(0, count), before.substr(0, count), "names placed are kept");
  fuzz::WalkEngineNames(names, count);

  const std::string library = fuzz::TextOf(left.substr(0, kEngineBufferSize - 1));
  fuzz::ExactBuffer path(library + '\0');
  MakeEngineListPath(path.data());
  const std::string expected = library.size() < 3 ? "" : library.substr(0, library.size() - 3) + "ini";
  fuzz::CheckEqual(fuzz::TextOf(path.bytes()), expected, "list path beside the library");
  return 0;
}

}  // namespace quillet
