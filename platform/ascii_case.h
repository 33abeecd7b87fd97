// ASCII case folding: the letters A-Z and a-z, every other byte as it is.
// Code pages that fold more letters do so on top of this.
#pragma once

namespace quillet {

constexpr unsigned char AsciiLower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
constexpr unsigned char AsciiUpper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) { return static_cast<char>(AsciiLower(static_cast<unsigned char>(c))); }
constexpr char AsciiUpper(char c) { return static_cast<char>(AsciiUpper(static_cast<unsigned char>(c))); }

}  // namespace quillet
