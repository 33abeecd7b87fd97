// Helpers of self-registration and the type information cache, linked from
// the server's own sources.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "com/module.h"
#include "com/registration.h"
#include "com/type_info_cache.h"
#include "quillet_h.h"
#include "tests/win32/server_support.h"

namespace quillet {
namespace {

struct OffsetCase {
  const wchar_t* path;
  int offset;
};

TEST(FileNameOffsetTest, PositionAfterTheLastSeparator) {
  const OffsetCase cases[] = {
      {L"C:\\dir\\quillet.dll", 7}, {L"quillet.dll", 0},        {L"", 0},       {L"C:quillet.dll", 2},
      {L"a/b\\c", 4},               {L"\\\\server\\share\\", 15}, {L"dir\\", 4},
  };
  for (const OffsetCase& row : cases) EXPECT_EQ(row.offset, FileNameOffset(row.path)) << row.path;
}

struct QuoteCase {
  const wchar_t* path;
  size_t size;
  bool fits;
  const wchar_t* doubled;
};

TEST(DoubleSingleQuotesTest, EveryQuoteIsDoubledWithinTheBuffer) {
  const QuoteCase cases[] = {
      {L"C:\\O'Brien\\quillet.dll", 64, true, L"C:\\O''Brien\\quillet.dll"},
      {L"''", 64, true, L"''''"},
      {L"plain", 6, true, L"plain"},
      {L"plain", 5, false, L""},
      {L"a'", 4, true, L"a''"},
      {L"a'", 3, false, L""},  // the doubled quote would not fit with its NUL
      {L"", 1, true, L""},
  };
  for (const QuoteCase& row : cases) {
    wchar_t buffer[72];  // room for a sentinel behind every size used
    wmemset(buffer, L'#', 72);
    EXPECT_EQ(row.fits, DoubleSingleQuotes(row.path, buffer, row.size)) << row.path;
    EXPECT_STREQ(row.doubled, buffer);
    EXPECT_EQ(L'#', buffer[row.size]) << "wrote past the buffer for " << row.path;
  }
}

struct TlbCase {
  const char* path;
  size_t size;
  bool fits;
  const char* result;
};

TEST(ReplaceWithTlbExtensionTest, FromTheLastDotOnOrAppended) {
  const TlbCase cases[] = {
      {"C:\\dir\\quillet.dll", 64, true, "C:\\dir\\quillet.tlb"},
      {"C:\\dir.d\\quillet", 64, true, "C:\\dir.tlb"},  // the dot of a directory name
      {"C:\\dir\\quillet", 64, true, "C:\\dir\\quillet.tlb"},
      {"a.b.c", 64, true, "a.b.tlb"},
      {"ab", 7, true, "ab.tlb"},
      {"ab", 6, false, "ab"},
      {"x.dll", 6, true, "x.tlb"},
  };
  for (const TlbCase& row : cases) {
    char buffer[72];  // room for a sentinel behind every size used
    memset(buffer, '#', sizeof(buffer));
    strcpy(buffer, row.path);
    EXPECT_EQ(row.fits, ReplaceWithTlbExtension(buffer, row.size)) << row.path;
    EXPECT_STREQ(row.result, buffer);
    EXPECT_EQ('#', buffer[row.size]) << "wrote past the buffer for " << row.path;
  }
}

ITypeInfo* LoadBuiltTypeInfo() {
  wchar_t path[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, test::BuiltTypeLibPath(), -1, path, MAX_PATH);
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLib(path, &library))) return nullptr;
  ITypeInfo* info = nullptr;
  library->GetTypeInfoOfGuid(IID_IVeltrano, &info);
  library->Release();
  return info;
}

TEST(BuildNameCacheTest, HoldsTheNameOfEveryFunction) {
  ITypeInfo* info = LoadBuiltTypeInfo();
  ASSERT_NE(nullptr, info);
  TypeInfoCache cache = {&IID_IVeltrano, &LIBID_QUILLET, 1, 0, nullptr, nullptr, 0};
  BuildNameCache(cache, info);
  const wchar_t* expected[] = {L"QueryInterface", L"AddRef",        L"Release", L"GetTypeInfoCount",
                               L"GetTypeInfo",    L"GetIDsOfNames", L"Invoke"};
  ASSERT_EQ(7, cache.nameCount);
  ASSERT_NE(nullptr, cache.names);
  for (int i = 0; i < 7; ++i) {
    EXPECT_STREQ(expected[i], cache.names[i].name);
    EXPECT_EQ(lstrlenW(expected[i]), cache.names[i].length);
  }
  EXPECT_EQ(0x60000000, cache.names[0].memberId);
  EXPECT_EQ(0x60010003, cache.names[6].memberId);
  cache.typeInfo = info;  // the cache owns this reference now
  DiscardTypeInfo(reinterpret_cast<DWORD_PTR>(&cache));
  EXPECT_EQ(nullptr, cache.typeInfo);
  EXPECT_EQ(nullptr, cache.names);
  DiscardTypeInfo(reinterpret_cast<DWORD_PTR>(&cache));  // finds nothing the second time
  EXPECT_EQ(nullptr, cache.names);
}

int CountHooks() {
  int count = 0;
  for (ShutdownHook* hook = serverModule.shutdownList; hook != nullptr; hook = hook->next) ++count;
  return count;
}

// Every failed load adds a hook; all of them run at detach without
// releasing anything twice.
TEST(TypeInfoCacheTest, EachFailedLoadAddsAHook) {
  ITypeInfo* info = LoadBuiltTypeInfo();
  ASSERT_NE(nullptr, info);
  info->Release();
#ifdef _WIN64
  UnRegisterTypeLib(LIBID_QUILLET, 1, 0, 0, SYS_WIN64);
#else
  UnRegisterTypeLib(LIBID_QUILLET, 1, 0, 0, SYS_WIN32);
#endif
  AttachModule(GetModuleHandleA(nullptr));
  TypeInfoCache cache = {&IID_IVeltrano, &LIBID_QUILLET, 1, 0, nullptr, nullptr, 0};
  ITypeInfo* answer = reinterpret_cast<ITypeInfo*>(1);
  for (int attempt = 1; attempt <= 3; ++attempt) {
    EXPECT_TRUE(FAILED(GetCachedTypeInfo(cache, 0, &answer)));
    EXPECT_EQ(nullptr, answer);
    EXPECT_EQ(attempt, CountHooks());
  }
  DISPID id = 5;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Invoke")};
  EXPECT_TRUE(FAILED(GetCachedIDsOfNames(cache, names, 1, 0, &id)));
  EXPECT_EQ(5, id);
  EXPECT_EQ(4, CountHooks());
  DetachModule(false);
  EXPECT_EQ(nullptr, serverModule.shutdownList);
  EXPECT_EQ(nullptr, cache.typeInfo);
}

// A cache whose type information is in place answers without loading.
TEST(TypeInfoCacheTest, LoadedCacheAnswersWithoutAHook) {
  AttachModule(GetModuleHandleA(nullptr));
  TypeInfoCache cache = {&IID_IVeltrano, &LIBID_QUILLET, 1, 0, LoadBuiltTypeInfo(), nullptr, 0};
  ASSERT_NE(nullptr, cache.typeInfo);
  EXPECT_EQ(S_OK, LoadTypeInfo(cache, 0));
  ITypeInfo* answer = nullptr;
  EXPECT_EQ(S_OK, GetCachedTypeInfo(cache, 0, &answer));
  EXPECT_EQ(cache.typeInfo, answer);
  answer->Release();
  // No name cache: every name goes to the type information.
  DISPID id = 5;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Invoke")};
  EXPECT_EQ(S_OK, GetCachedIDsOfNames(cache, names, 1, 0, &id));
  EXPECT_EQ(0x60010003, id);
  EXPECT_EQ(0, CountHooks());
  DiscardTypeInfo(reinterpret_cast<DWORD_PTR>(&cache));
  DetachModule(false);
}

}  // namespace
}  // namespace quillet
