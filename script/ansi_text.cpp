#include "script/ansi_text.h"

#include "platform/ascii_case.h"

namespace quillet {
namespace {

// Latin-1 lower-case letters 0xE0-0xFE (but not the division sign) fold too.
unsigned char FoldLatin1(unsigned char c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return AsciiUpper(c);
}

}  // namespace

const char* AnsiCodePage::Next(const char* text) const {
  if (*text == '\0') return text;
  if (IsLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0') return text + 2;
  return text + 1;
}

int SingleByteCodePage::CompareNoCase(const char* left, const char* right) const {
  for (;; ++left, ++right) {
    int l = FoldLatin1(static_cast<unsigned char>(*left));
    int r = FoldLatin1(static_cast<unsigned char>(*right));
    if (l != r) return l - r;
    if (l == 0) return 0;
  }
}

size_t SingleByteCodePage::AnsiLength(const char16_t* text) const {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

void SingleByteCodePage::ToAnsi(const char16_t* text, char* out, size_t outLength) const {
  for (size_t i = 0; i < outLength && text[i] != 0; ++i) out[i] = text[i] < 256 ? static_cast<char>(text[i]) : '?';
}

DoubleByteCodePage::DoubleByteCodePage(const Range* ranges, size_t rangeCount) {
  for (size_t i = 0; i < rangeCount; ++i) {
    for (unsigned b = ranges[i].first; b <= ranges[i].last; ++b) lead_[b] = true;
  }
}

bool DoubleByteCodePage::IsPair(char16_t unit) const { return lead_[unit >> 8] && (unit & 0xFF) != 0; }

int DoubleByteCodePage::CompareNoCase(const char* left, const char* right) const {
  for (;;) {
    const char* nextLeft = Next(left);
    const char* nextRight = Next(right);
    bool pairLeft = nextLeft - left == 2;
    bool pairRight = nextRight - right == 2;
    int l = AsciiUpper(static_cast<unsigned char>(*left));
    int r = AsciiUpper(static_cast<unsigned char>(*right));
    if (pairLeft || pairRight) {
      // Trail bytes never fold: compare the pair exactly.
      l = static_cast<unsigned char>(left[0]) << 8 | (pairLeft ? static_cast<unsigned char>(left[1]) : 0);
      r = static_cast<unsigned char>(right[0]) << 8 | (pairRight ? static_cast<unsigned char>(right[1]) : 0);
    }
    if (l != r) return l - r;
    if (*left == '\0') return 0;
    left = nextLeft;
    right = nextRight;
  }
}

size_t DoubleByteCodePage::AnsiLength(const char16_t* text) const {
  size_t length = 0;
  for (; *text != 0; ++text) length += IsPair(*text) ? 2 : 1;
  return length;
}

void DoubleByteCodePage::ToAnsi(const char16_t* text, char* out, size_t outLength) const {
  size_t used = 0;
  for (; *text != 0; ++text) {
    if (IsPair(*text)) {
      if (used + 2 > outLength) return;
      out[used++] = static_cast<char>(*text >> 8);
      out[used++] = static_cast<char>(*text & 0xFF);
    } else {
      if (used + 1 > outLength) return;
      out[used++] = *text < 256 && !lead_[*text] ? static_cast<char>(*text) : '?';
    }
  }
}

const DoubleByteCodePage& ShiftJisLikeCodePage() {
  static const DoubleByteCodePage::Range ranges[] = {{0x81, 0x9F}, {0xE0, 0xFC}};
  static const DoubleByteCodePage page(ranges, 2);
  return page;
}

bool ContainsCharacter(const char* text, char wanted, const AnsiCodePage& codePage) {
  while (*text != '\0') {
    const char* next = codePage.Next(text);
    if (next - text == 1 && *text == wanted) return true;
    text = next;
  }
  return false;
}

}  // namespace quillet
