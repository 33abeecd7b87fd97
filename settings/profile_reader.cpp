#include "settings/profile_reader.h"

#include <cstring>

namespace quillet {
namespace {

struct Span {
  const char* begin = nullptr;
  const char* end = nullptr;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

// One non-empty line of the file, read as a section header or an entry.
struct Line {
  bool isSection = false;
  Span name;
  bool hasValue = false;
  Span value;
};

bool IsProfileSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }

char FoldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(Span name, Span wanted) {
  if (name.size() != wanted.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (FoldCase(name.begin[i]) != FoldCase(wanted.begin[i])) return false;
  }
  return true;
}

Span Trimmed(const char* text) {
  Span span{text, text + std::strlen(text)};
  while (span.begin < span.end && IsProfileSpace(*span.begin)) ++span.begin;
  while (span.end > span.begin && IsProfileSpace(span.end[-1])) --span.end;
  return span;
}

// The platform keeps names and values as NUL-terminated strings: a NUL in a
// line ends the name or value it falls in, after white space was dropped.
Span UpToNul(Span span) {
  const void* nul = std::memchr(span.begin, '\0', span.size());
  if (nul != nullptr) span.end = static_cast<const char*>(nul);
  return span;
}

class LineReader {
 public:
  LineReader(const char* text, size_t length) : next_(text), end_(text + length) {}

  bool Next(Line* line) {
    while (next_ < end_) {
      const char* begin = next_;
      while (next_ < end_ && *next_ != '\n' && *next_ != '\r') ++next_;
      const char* end = next_;
      while (next_ < end_ && (*next_ == '\n' || *next_ == '\r')) ++next_;
      while (begin < end && IsProfileSpace(*begin)) ++begin;
      while (end > begin && IsProfileSpace(end[-1])) --end;
      if (begin == end) continue;
      *line = Line();
      if (*begin == '[') {
        const char* close = end - 1;
        while (close > begin && *close != ']') --close;
        if (close > begin) {
          line->isSection = true;
          const char* nameBegin = begin + 1;
          const char* nameEnd = close;
          while (nameBegin < nameEnd && IsProfileSpace(*nameBegin)) ++nameBegin;
          while (nameEnd > nameBegin && IsProfileSpace(nameEnd[-1])) --nameEnd;
          line->name = UpToNul(Span{nameBegin, nameEnd});
          return true;
        }
      }
      const char* equals = static_cast<const char*>(std::memchr(begin, '=', static_cast<size_t>(end - begin)));
      if (equals == nullptr) {
        line->name = UpToNul(Span{begin, end});
        return true;
      }
      const char* nameEnd = equals;
      while (nameEnd > begin && IsProfileSpace(nameEnd[-1])) --nameEnd;
      const char* valueBegin = equals + 1;
      while (valueBegin < end && IsProfileSpace(*valueBegin)) ++valueBegin;
      line->name = UpToNul(Span{begin, nameEnd});
      line->hasValue = true;
      line->value = UpToNul(Span{valueBegin, end});
      return true;
    }
    return false;
  }

 private:
  const char* next_;
  const char* end_;
};

// Copies at most size − 1 bytes and the NUL; returns the bytes copied.
uint32_t CopyCut(char* buffer, uint32_t size, const char* text, size_t length) {
  if (size == 0) return 0;
  if (length > size - 1) length = size - 1;
  if (length != 0) std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

uint32_t CopyValue(Span value, char* buffer, uint32_t size) {
  // One pair of matching quotes goes; a lone quote stays. As on the platform,
  // the closing quote is only dropped when the rest of the value fits the
  // buffer whole or all but one character, so a buffer exactly that size
  // loses the value's last character instead.
  if (value.size() >= 2 && (*value.begin == '"' || *value.begin == '\'') && value.end[-1] == *value.begin) {
    ++value.begin;
    size_t length = value.size() < size - 1 ? value.size() : size - 1;
    if (size >= value.size() && length != 0) --length;
    return CopyCut(buffer, size, value.begin, length);
  }
  return CopyCut(buffer, size, value.begin, value.size());
}

uint32_t ListNames(LineReader& reader, char* buffer, uint32_t size) {
  uint32_t left = size;
  char* out = buffer;
  bool previousNameEmpty = false;
  Line line;
  while (reader.Next(&line) && !line.isSection) {
    // The platform keeps no entry without a name right after another one.
    const bool nameEmpty = line.name.size() == 0;
    if (nameEmpty && previousNameEmpty) continue;
    previousNameEmpty = nameEmpty;
    if (left <= 2) break;
    if (!nameEmpty && *line.name.begin == ';') continue;  // a comment
    if (!line.hasValue) continue;
    // Nor does it list anything when the first name is empty.
    if (nameEmpty && out == buffer) break;
    uint32_t placed = CopyCut(out, left - 1, line.name.begin, line.name.size());
    out += placed + 1;
    left -= placed + 1;
    if (left < 2) break;
  }
  // A cut list ends with the NUL of its last name at size - 2; the byte
  // after it is left as it was, as the platform leaves it.
  if (left <= 1) {
    out[-1] = '\0';
    return size - 2;
  }
  *out = '\0';
  return size - left;
}

}  // namespace

uint32_t ReadProfileText(const char* text, size_t length, const char* section, const char* key,
                         const char* defaultText, char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  if (key == nullptr && size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  const Span wantedSection = Trimmed(section != nullptr ? section : "");
  LineReader reader(text != nullptr ? text : "", text != nullptr ? length : 0);
  Line line;
  while (reader.Next(&line)) {
    if (!line.isSection || !SameName(line.name, wantedSection)) continue;
    // Only the first section of that name counts.
    if (key == nullptr) return ListNames(reader, buffer, size);
    const Span wantedKey = Trimmed(key);
    while (reader.Next(&line) && !line.isSection) {
      if (SameName(line.name, wantedKey) && line.hasValue) return CopyValue(line.value, buffer, size);
    }
    break;
  }
  if (key == nullptr) {
    buffer[0] = '\0';  // only the one NUL, as on the platform
    return 0;
  }
  Span fallback = Trimmed(defaultText != nullptr ? defaultText : "");
  fallback.begin = defaultText != nullptr ? defaultText : "";
  return CopyCut(buffer, size, fallback.begin, fallback.size());
}

}  // namespace quillet
