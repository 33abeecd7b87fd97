// A fact about the run that every test of a program relies on, such as the
// code page the run asked for or the name the program runs under. It is
// checked once before the first test; when it does not hold, the program
// fails with the reason and runs no test, instead of each test failing in a
// way of its own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quillet::test {

class Precondition : public ::testing::Environment {
 public:
  // `check` gives an empty text when the fact holds, else what is wrong.
  explicit Precondition(std::string (*check)()) : check_(check) {}
  void SetUp() override {
    const std::string wrong = check_();
    if (!wrong.empty()) GTEST_FAIL() << "precondition: " << wrong << "; no test was run";
  }

 private:
  std::string (*check_)();
};

// For a namespace-scope constant: registered when the program starts.
inline ::testing::Environment* RequireBeforeAnyTest(std::string (*check)()) {
  return ::testing::AddGlobalTestEnvironment(new Precondition(check));
}

// The ANSI code page is the one the run asked for (QUILLET_CODEPAGE, 1251
// when unset; tools/wine-run starts Wine in it).
inline std::string WrongCodePage() {
  const char* wanted = std::getenv("QUILLET_CODEPAGE");
  const UINT expected = wanted != nullptr ? static_cast<UINT>(std::atoi(wanted)) : 1251u;
  if (GetACP() == expected) return std::string();
  return "the run asked for ANSI code page " + std::to_string(expected) + " and has " + std::to_string(GetACP());
}

}  // namespace quillet::test
