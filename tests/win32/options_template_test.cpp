// The options dialog's template and icons as the program carries them, read
// back from its resources. The controls themselves are driven by
// options_dialog_test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/module_instance.h"
#include "res/options_ids.h"

namespace quillet {
namespace {

constexpr WORD kRussian = 1049;

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
