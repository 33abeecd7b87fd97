#include "core/format.h"

#include <cstring>

namespace quillet {
namespace {

// Appends up to a fixed limit; the caller guarantees at least one byte.
class Output {
 public:
  Output(char* out, size_t outSize)
      : out_(out), limit_((outSize < kFormatBufferSize ? outSize : kFormatBufferSize) - 1) {}
  void Append(const char* text, size_t length) {
    size_t room = limit_ - length_;
    if (length > room) length = room;
    std::memcpy(out_ + length_, text, length);
    length_ += length;
  }
  size_t Finish() {
    out_[length_] = '\0';
    return length_;
  }

 private:
  char* out_;
  size_t limit_;
  size_t length_ = 0;
};

}  // namespace

FormatArg TextArg(const char* text) { return FormatArg{text, std::strlen(text)}; }

size_t FormatText(char* out, size_t outSize, const char* format, const FormatArg* args, size_t argCount) {
  if (out == nullptr || outSize == 0) return 0;
  Output result(out, outSize);
  size_t nextArg = 0;
  const char* p = format;
  while (*p != '\0') {
    const char* percent = std::strchr(p, '%');
    if (percent == nullptr) {
      result.Append(p, std::strlen(p));
      break;
    }
    result.Append(p, static_cast<size_t>(percent - p));
    p = percent + 1;
    if (*p == '%') {
      result.Append("%", 1);
      ++p;
      continue;
    }
    // "%s" or "%.Ns" with an argument left; anything else stays literal.
    const char* q = p;
    bool hasPrecision = false;
    size_t precision = 0;
    if (*q == '.') {
      hasPrecision = true;
      ++q;
      while (*q >= '0' && *q <= '9') {
        if (precision < kFormatBufferSize) precision = precision * 10 + static_cast<size_t>(*q - '0');
        ++q;
      }
    }
    if (*q == 's' && nextArg < argCount) {
      const FormatArg& arg = args[nextArg++];
      size_t length = arg.length;
      if (hasPrecision && precision < length) length = precision;
      result.Append(arg.text, length);
      p = q + 1;
    } else {
      result.Append("%", 1);
    }
  }
  return result.Finish();
}

size_t ExpandSearchMask(char* out, size_t outSize, const char* mask, FormatArg query) {
  return FormatText(out, outSize, mask, &query, 1);
}

}  // namespace quillet
