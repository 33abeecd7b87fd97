// The Win32 build's code page and number parsing: the platform's own calls.
#include <windows.h>
#include <oleauto.h>

#include "script/ansi_text.h"
#include "script/script_platform.h"

namespace quillet {
namespace {

class SystemAnsiCodePage final : public AnsiCodePage {
 public:
  bool IsLeadByte(unsigned char byte) const override { return IsDBCSLeadByte(byte) != FALSE; }
  const char* Next(const char* text) const override {
    const char* next = CharNextA(text);
    // Never step over the NUL, whatever the platform does with a lone lead byte.
    if (next > text + 1 && text[1] == '\0') next = text + 1;
    return next;
  }
  int CompareNoCase(const char* left, const char* right) const override { return lstrcmpiA(left, right); }
  size_t AnsiLength(const char16_t* text) const override {
    if (*text == 0) return 0;
    int length = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(text), -1, nullptr, 0, nullptr, nullptr);
    return length > 1 ? static_cast<size_t>(length - 1) : 0;
  }
  void ToAnsi(const char16_t* text, char* out, size_t outLength) const override {
    if (outLength == 0) return;
    int wideLength = lstrlenW(reinterpret_cast<LPCWSTR>(text));
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(text), wideLength, out, static_cast<int>(outLength),
                        nullptr, nullptr);
  }
};

}  // namespace

const AnsiCodePage& SystemCodePage() {
  static const SystemAnsiCodePage page;
  return page;
}

bool ParseDwordText(const char* text, uint32_t* value) {
  int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (wideLength <= 0) return false;
  auto* wide = static_cast<WCHAR*>(ScriptRealloc(nullptr, static_cast<size_t>(wideLength) * sizeof(WCHAR)));
  if (wide == nullptr) return false;
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide, wideLength);
  ULONG number = 0;
  HRESULT hr = VarUI4FromStr(wide, 0, 0, &number);
  ScriptFree(wide);
  if (FAILED(hr)) return false;
  *value = number;
  return true;
}

}  // namespace quillet
