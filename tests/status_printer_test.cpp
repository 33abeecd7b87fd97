// Failures print status codes in hex and counts as numbers, through the
// printer every test program is built with.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/hresult.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet {
namespace {

TEST(StatusPrinter, CodesInHexCountsAsNumbers) {
  const struct {
    Status value;
    const char* printed;
  } cases[] = {
      {kS_OK, "0"},
      {kS_FALSE, "1"},
      {-1, "-1"},
      {0xFFFF, "65535"},
      {0x10000, "0x00010000 (65536)"},
      {0x00040100, "0x00040100 (262400)"},  // a success code with a facility
      {kE_FAIL, "0x80004005 (-2147467259)"},
      {kDISP_E_EXCEPTION, "0x80020009 (-2147352567)"},
      {StatusFromWin32(5), "0x80070005 (-2147024891)"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.printed, ::testing::PrintToString(c.value));
}

// What a failed comparison of two codes says.
TEST(StatusPrinter, AFailedComparisonShowsBothCodes) {
  EXPECT_NONFATAL_FAILURE(EXPECT_EQ(kS_OK, kE_OUTOFMEMORY), "0x8007000E (-2147024882)");
}

#ifdef _WIN32
// HRESULT is a long to the compiler, not a Status.
TEST(StatusPrinter, HresultsToo) {
  EXPECT_EQ("0x80004005 (-2147467259)", ::testing::PrintToString(E_FAIL));
  EXPECT_EQ("0", ::testing::PrintToString(S_OK));
  EXPECT_NONFATAL_FAILURE(EXPECT_EQ(S_OK, CLASS_E_NOAGGREGATION), "0x80040110");
}
#endif

}  // namespace
}  // namespace quillet
