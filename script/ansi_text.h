// Text in the system's ANSI code page: stepping over characters (a lead byte
// and its trail byte are one character), case-insensitive comparison and the
// conversion of UTF-16 text. The Win32 build uses the platform's own rules;
// the native build defaults to a single-byte page, and a double-byte page with
// a lead-byte table is available to both builds so that the logic can be run
// over double-byte text anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  virtual bool IsLeadByte(unsigned char byte) const = 0;
  // CharNextA: the start of the next character; stays on the NUL, and a lead
  // byte right before the NUL is a character of its own.
  virtual const char* Next(const char* text) const;
  // lstrcmpiA: below, equal to or above zero.
  virtual int CompareNoCase(const char* left, const char* right) const = 0;
  // WideCharToMultiByte: the number of ANSI bytes `text` needs (no NUL), and
  // the conversion into `out`, which has room for exactly that many.
  virtual size_t AnsiLength(const char16_t* text) const = 0;
  virtual void ToAnsi(const char16_t* text, char* out, size_t outLength) const = 0;
};

// A code page without lead bytes: code units below 256 are the byte of the
// same value, others become "?"; letters fold as in Latin-1.
class SingleByteCodePage : public AnsiCodePage {
 public:
  bool IsLeadByte(unsigned char) const override { return false; }
  int CompareNoCase(const char* left, const char* right) const override;
  size_t AnsiLength(const char16_t* text) const override;
  void ToAnsi(const char16_t* text, char* out, size_t outLength) const override;
};

// A double-byte code page given by its lead-byte ranges. A UTF-16 code unit
// whose high byte is a lead byte (and whose low byte is not 0) is that byte
// pair; other code units convert as in the single-byte page. Only ASCII
// letters fold.
class DoubleByteCodePage : public AnsiCodePage {
 public:
  struct Range {
    unsigned char first;
    unsigned char last;
  };
  DoubleByteCodePage(const Range* ranges, size_t rangeCount);
  bool IsLeadByte(unsigned char byte) const override { return lead_[byte]; }
  int CompareNoCase(const char* left, const char* right) const override;
  size_t AnsiLength(const char16_t* text) const override;
  void ToAnsi(const char16_t* text, char* out, size_t outLength) const override;

 private:
  bool IsPair(char16_t unit) const;
  bool lead_[256] = {};
};

// The lead bytes of Shift-JIS (code page 932): 0x81-0x9F and 0xE0-0xFC.
const DoubleByteCodePage& ShiftJisLikeCodePage();

// The system's ANSI code page (CP_ACP); single-byte in the native build.
const AnsiCodePage& SystemCodePage();

// Whether `text` holds `wanted` as a character of its own (never a trail byte).
bool ContainsCharacter(const char* text, char wanted, const AnsiCodePage& codePage);

}  // namespace quillet
