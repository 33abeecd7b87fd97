// The mask formatter on an arbitrary mask and arguments, into an output
// buffer of any size a caller uses (0 to 4096 bytes).
//
// Input: two bytes of output size (modulo 4097, least significant first), a
// byte of argument count (modulo 3), the mask ended by a NUL, the first
// argument ended by a NUL, then the second. Arguments lie in blocks of their
// own length without a NUL, as the autosearch query does, so reading one
// byte too far is seen.
#include <algorithm>
#include <cstring>

#include "core/format.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"

namespace quillet {

int RunFormatFuzzInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput input(data, size);
  const size_t outSize = input.Number(2) % 4097;
  const size_t argCount = input.Byte() % 3;
  const std::string mask = input.Field();
  const std::string args[2] = {input.Field(), input.Rest()};

  fuzz::ExactBuffer format(mask + '\0');
  fuzz::ExactBuffer arg0(args[0]);
  fuzz::ExactBuffer arg1(args[1]);
  const FormatArg formatArgs[2] = {{arg0.data(), arg0.size()}, {arg1.data(), arg1.size()}};
  fuzz::ExactBuffer out(outSize, fuzz::kUntouched);
  const size_t length = argCount == 1 ? ExpandSearchMask(out.data(), outSize, format.data(), formatArgs[0])
                                      : FormatText(out.data(), outSize, format.data(), formatArgs, argCount);
  if (outSize == 0) {
    fuzz::CheckEqual(static_cast<long long>(length), 0, "nothing formatted into no buffer");
    return 0;
  }
  const size_t limit = std::min(outSize, kFormatBufferSize) - 1;
  const std::string expected = fuzz::ModelExpansion(mask, args, argCount).substr(0, limit);
  const std::string got = out.bytes();
  fuzz::CheckEqual(static_cast<long long>(length), static_cast<long long>(expected.size()), "result length");
  fuzz::CheckEqual(got.substr(0, length + 1), expected + '\0', "result and its NUL");
  fuzz::CheckEqual(got.substr(length + 1), std::string(outSize - length - 1, fuzz::kUntouched),
                   "nothing written after the NUL");
  return 0;
}

}  // namespace quillet
