// Failures print COM status codes in hex. An HRESULT is a long to the
// compiler (and the logic's Status an int32_t), so GoogleTest cannot tell it
// from any other integer by its type; its printer for those integer types is
// replaced instead, in every test program (quillet_add_test puts this header
// first in each of its sources). A value too large for a count or a Win32
// error code, as every failure code and every success code with a facility
// is, prints in hex with its decimal value after it; others print as before.
#pragma once

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <ostream>

namespace quillet::test {

inline void PrintStatusOrNumber(int64_t value, std::ostream* os) {
  if (value > -0x10000 && value < 0x10000) {
    *os << value;
    return;
  }
  char text[40];
  std::snprintf(text, sizeof text, "0x%08" PRIX32 " (%" PRId64 ")", static_cast<uint32_t>(value), value);
  *os << text;
}

}  // namespace quillet::test

namespace testing::internal {

template <>
class UniversalPrinter<int32_t> {
 public:
  static void Print(const int32_t& value, std::ostream* os) { quillet::test::PrintStatusOrNumber(value, os); }
};

#ifdef _WIN32
// HRESULT and LONG: 32 bits on both Windows builds.
template <>
class UniversalPrinter<long> {
 public:
  static void Print(const long& value, std::ostream* os) { quillet::test::PrintStatusOrNumber(value, os); }
};
#endif

}  // namespace testing::internal
