// The options dialog's template and icons as the program carries them,
// read back byte by byte from its resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/module_instance.h"
#include "res/options_ids.h"

namespace quillet {
namespace {

constexpr WORD kRussian = 1049;
// The predefined control classes, held in the template by their atoms.
constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;
constexpr WORD kComboBox = 0x0085;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// A name or ordinal of a template: ordinal when text is empty and ordinal set.
struct NameOrOrdinal {
  std::wstring text;
  WORD ordinal = 0;
  bool operator==(const NameOrOrdinal& other) const { return text == other.text && ordinal == other.ordinal; }
};

struct Item {
  WORD id;
  WORD classAtom;
  DWORD style;
  NameOrOrdinal text;
  short x, y, cx, cy;
};

NameOrOrdinal Text(const wchar_t* text) { return {text, 0}; }
NameOrOrdinal Ordinal(WORD ordinal) { return {L"", ordinal}; }

const WORD kNoId = 0xFFFF;

const std::vector<Item> kItems = {
    {kNoId, kStatic, kChild | SS_ETCHEDHORZ, Text(L""), 12, 12, 261, 1},
    {kNoId, kStatic, kChild | SS_LEFT | WS_GROUP, Text(L"Search options"), 12, 8, 52, 8},
    {kNoId, kStatic, kChild | SS_ICON, Ordinal(IDI_SEARCH), 12, 24, 20, 20},
    {kNoId, kStatic, kChild | SS_LEFT | WS_GROUP,
     Text(L"Select search engine that will be used when searching from Address bar:"), 48, 20, 232, 8},
    {IDC_SEARCH_ENGINE, kComboBox, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, Text(L""), 48, 32, 176, 124},
    {kNoId, kStatic, kChild | SS_ETCHEDHORZ, Text(L""), 12, 73, 260, 1},
    {kNoId, kStatic, kChild | SS_LEFT | WS_GROUP, Text(L"Spelling options"), 12, 68, 56, 8},
    {kNoId, kStatic, kChild | SS_ICON, Ordinal(IDI_SPELLING), 12, 84, 20, 20},
    {IDC_SPELLING_WW, kButton, kChild | BS_AUTOCHECKBOX | WS_TABSTOP, Text(L"ww. -> www."), 48, 84, 72, 8},
    {IDC_SPELLING_WWWW, kButton, kChild | BS_AUTOCHECKBOX | WS_TABSTOP, Text(L"wwww. -> www."), 48, 96, 72, 8},
    {IDC_SPELLING_CYRILLIC, kButton, kChild | BS_AUTOCHECKBOX | WS_TABSTOP,
     Text(L"\x0446\x0446\x0446\x044E -> www."), 48, 108, 72, 8},
    {kNoId, kStatic, kChild | SS_ETCHEDHORZ, Text(L""), 12, 128, 260, 1},
    {kNoId, kStatic, kChild | SS_CENTER | WS_GROUP, Text(L"Veltrano 1.1.30"), 48, 136, 188, 8},
    {kNoId, kStatic, kChild | SS_CENTER | WS_GROUP, Text(L"Copyright (C) 2003-2005 Kestrowe"), 48, 147, 188, 8},
    {kNoId, kStatic, kChild | SS_CENTER | WS_GROUP, Text(L"http://www.kestrowe.com/"), 48, 160, 188, 8},
    {kNoId, kStatic, kChild | SS_ETCHEDHORZ, Text(L""), 12, 177, 260, 1},
    {IDOK, kButton, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, Text(L"OK"), 46, 188, 50, 14},
    {IDCANCEL, kButton, kChild | BS_PUSHBUTTON | WS_TABSTOP, Text(L"Cancel"), 117, 188, 50, 14},
    {IDC_SKIP_TYPED_LIST, kButton, kChild | BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED,
     Text(L"Don't add search requests to a list of typed addresses"), 48, 52, 188, 8},
    {IDC_OPTIONS_HELP, kButton, kChild | BS_PUSHBUTTON | WS_TABSTOP, Text(L"&Help"), 188, 188, 50, 14},
};

// Reads a template's words in order, within the resource's size.
class WordReader {
 public:
  WordReader(const void* data, size_t size) : at_(static_cast<const BYTE*>(data)), end_(at_ + size) {}
  bool ok() const { return ok_; }
  WORD Word() {
    if (at_ + 2 > end_) {
      ok_ = false;
      return 0;
    }
    WORD value = static_cast<WORD>(at_[0] | at_[1] << 8);
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Word(); ok_ && c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  NameOrOrdinal NameOrOrd() {
    WORD first = Word();
    if (first == 0xFFFF) return Ordinal(Word());
    std::wstring text;
    for (WORD c = first; ok_ && c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return {text, 0};
  }
  void AlignToDword(const void* base) {
    while ((at_ - static_cast<const BYTE*>(base)) % 4 != 0) ++at_;
  }

 private:
  const BYTE* at_;
  const BYTE* end_;
  bool ok_ = true;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
  return TRUE;
}

std::vector<WORD> Languages(LPCSTR type, WORD id) {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(ModuleInstance(), type, MAKEINTRESOURCEA(id), CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

const void* Resource(LPCSTR type, WORD id, DWORD* size) {
  HRSRC found = FindResourceExA(ModuleInstance(), type, MAKEINTRESOURCEA(id), kRussian);
  if (found == nullptr) return nullptr;
  *size = SizeofResource(ModuleInstance(), found);
  return LockResource(LoadResource(ModuleInstance(), found));
}

TEST(OptionsTemplateTest, DialogIsRussianOnly) {
  EXPECT_EQ(std::vector<WORD>{kRussian}, Languages(MAKEINTRESOURCEA(5) /* RT_DIALOG */, IDD_OPTIONS));
}

TEST(OptionsTemplateTest, TemplateIsExactlyAsDesigned) {
  DWORD size = 0;
  const void* data = Resource(MAKEINTRESOURCEA(5), IDD_OPTIONS, &size);
  ASSERT_NE(nullptr, data);
  WordReader in(data, size);
  EXPECT_EQ(0x80C800C0u, in.Dword()) << "style";
  EXPECT_EQ(0u, in.Dword()) << "extended style";
  const WORD count = in.Word();
  EXPECT_EQ(kItems.size(), count);
  const short x = static_cast<short>(in.Word()), y = static_cast<short>(in.Word());
  const short cx = static_cast<short>(in.Word()), cy = static_cast<short>(in.Word());
  EXPECT_EQ(0, x);
  EXPECT_EQ(0, y);
  EXPECT_EQ(284, cx);
  EXPECT_EQ(209, cy);
  EXPECT_TRUE(in.NameOrOrd() == Text(L"")) << "no menu";
  EXPECT_TRUE(in.NameOrOrd() == Text(L"")) << "default dialog class";
  EXPECT_EQ(L"Veltrano Options", in.String());
  EXPECT_EQ(8, in.Word()) << "point size";
  EXPECT_EQ(L"MS Sans Serif", in.String());

  for (size_t i = 0; i < count && i < kItems.size(); ++i) {
    const Item& want = kItems[i];
    in.AlignToDword(data);
    const DWORD style = in.Dword();
    const DWORD extended = in.Dword();
    const short ix = static_cast<short>(in.Word()), iy = static_cast<short>(in.Word());
    const short icx = static_cast<short>(in.Word()), icy = static_cast<short>(in.Word());
    const WORD id = in.Word();
    const NameOrOrdinal itemClass = in.NameOrOrd();
    const NameOrOrdinal text = in.NameOrOrd();
    const WORD extra = in.Word();
    ASSERT_TRUE(in.ok()) << "template ends inside item " << i;
    SCOPED_TRACE("item " + std::to_string(i));
    EXPECT_EQ(want.id, id);
    EXPECT_TRUE(itemClass == Ordinal(want.classAtom)) << "class ordinal " << itemClass.ordinal;
    EXPECT_EQ(want.style, style) << std::hex << "style 0x" << style;
    EXPECT_EQ(0u, extended);
    EXPECT_TRUE(want.text == text) << "text differs (ordinal " << text.ordinal << ")";
    EXPECT_EQ(want.x, ix);
    EXPECT_EQ(want.y, iy);
    EXPECT_EQ(want.cx, icx);
    EXPECT_EQ(want.cy, icy);
    EXPECT_EQ(0, extra);
  }
}

TEST(OptionsTemplateTest, IconsAre32By32In16Colours) {
  for (WORD id : {WORD{IDI_SEARCH}, WORD{IDI_SPELLING}}) {
    SCOPED_TRACE("icon " + std::to_string(id));
    DWORD size = 0;
    const BYTE* group = static_cast<const BYTE*>(Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, id, &size));
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(6u + 14u, size) << "one image";
    EXPECT_EQ(1, group[4] | group[5] << 8);
    const BYTE* entry = group + 6;
    EXPECT_EQ(32, entry[0]);
    EXPECT_EQ(32, entry[1]);
    EXPECT_EQ(16, entry[2]);
    EXPECT_EQ(4, entry[6] | entry[7] << 8) << "bits per pixel";
    const WORD imageId = static_cast<WORD>(entry[12] | entry[13] << 8);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(Resource(MAKEINTRESOURCEA(3) /* RT_ICON */, imageId, &size));
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(32, header->biWidth);
    EXPECT_EQ(64, header->biHeight) << "image and mask";
    EXPECT_EQ(4, header->biBitCount);
    EXPECT_NE(nullptr, LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
  }
}

}  // namespace
}  // namespace quillet
