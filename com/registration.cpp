// What DllRegisterServer and DllUnregisterServer do for each class: its
// registry script resource and its component categories.
#include "com/registration.h"

#include <comcat.h>

#include "platform/process_heap.h"
#include "platform/hresult.h"

namespace quillet {
HRESULT LastErrorStatus() {
  DWORD code = GetLastError();
  // A failure that left no error code is still a failure.
  if (code == 0) return E_FAIL;
  return StatusFromWin32(static_cast<int32_t>(code));
}

namespace {

const char16_t* AsChar16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

}  // namespace

bool DoubleSingleQuotes(const wchar_t* path, wchar_t* doubled, size_t size) {
  size_t out = 0;
  for (const wchar_t* c = path; *c != L'\0'; ++c) {
    size_t needed = *c == L'\'' ? 2 : 1;
    if (out + needed >= size) {
      doubled[0] = L'\0';
      return false;
    }
    doubled[out++] = *c;
    if (*c == L'\'') doubled[out++] = L'\'';
  }
  doubled[out] = L'\0';
  return true;
}

HRESULT ApplyRegistryResource(UINT resourceId, BOOL doRegister, const ScriptVariable* extraVariables) {
  SubstitutionTable table;
  char path[MAX_PATH];
  if (GetModuleFileNameA(serverModule.instance, path, MAX_PATH) == 0) return LastErrorStatus();
  path[MAX_PATH - 1] = '\0';
  if (serverModule.instance == nullptr || serverModule.instance == GetModuleHandleA(nullptr)) {
    char shortPath[MAX_PATH];
    DWORD shortLength = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (shortLength >= MAX_PATH) return E_OUTOFMEMORY;
    if (shortLength != 0) lstrcpynA(path, shortPath, MAX_PATH);
  }
  wchar_t widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0) widePath[0] = L'\0';
  // Room for every character doubled plus the NUL.
  wchar_t doubledPath[2 * MAX_PATH];
  DoubleSingleQuotes(widePath, doubledPath, ARRAYSIZE(doubledPath));
  table.AddSubstitution(u"Module", AsChar16(doubledPath));
  for (const ScriptVariable* variable = extraVariables; variable != nullptr && variable->name != nullptr;
       ++variable) {
    table.AddSubstitution(AsChar16(variable->name), AsChar16(variable->value));
  }
  HRESULT hr = RunScriptResource(widePath, resourceId, L"REGISTRY", doRegister, table);
  table.ClearSubstitutions();
  return hr;
}

HRESULT RunScriptResource(const wchar_t* modulePath, UINT resourceId, const wchar_t* resourceType, BOOL doRegister,
                          const SubstitutionTable& table) {
  char path[MAX_PATH];
  char typeName[MAX_PATH];
  if (WideCharToMultiByte(CP_ACP, 0, modulePath, -1, path, sizeof(path), nullptr, nullptr) == 0 ||
      WideCharToMultiByte(CP_ACP, 0, resourceType, -1, typeName, sizeof(typeName), nullptr, nullptr) == 0) {
    return LastErrorStatus();
  }
  // Read from the file on disk, not from the copy already mapped.
  HMODULE file = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (file == nullptr) return LastErrorStatus();
  HRSRC info = FindResourceA(file, MAKEINTRESOURCEA(resourceId), typeName);
  HGLOBAL resource = info != nullptr ? LoadResource(file, info) : nullptr;
  const char* bytes = resource != nullptr ? static_cast<const char*>(LockResource(resource)) : nullptr;
  if (bytes == nullptr) {
    HRESULT hr = LastErrorStatus();
    FreeLibrary(file);
    return hr;
  }
  DWORD size = SizeofResource(file, info);
  char* text = HeapNewArray<char>(static_cast<size_t>(size) + 1);
  if (text == nullptr) {
    FreeLibrary(file);
    return E_OUTOFMEMORY;
  }
  memcpy(text, bytes, size);
  text[size] = '\0';
  HRESULT hr = RunScript(text, doRegister != FALSE, table, ActiveRegistry());
  HeapDeleteArray(text);
  FreeLibrary(file);
  return hr;
}

HRESULT UpdateClassCategories(const CLSID& classId, const CategoryEntry* categoryTable, BOOL doRegister) {
  if (categoryTable == nullptr) return S_OK;
  ICatRegister* manager = nullptr;
  if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                              reinterpret_cast<void**>(&manager)))) {
    return S_OK;
  }
  for (const CategoryEntry* entry = categoryTable; entry->kind != 0; ++entry) {
    CATID category = *entry->categoryId;
    if (doRegister) {
      HRESULT hr = entry->kind == 1 ? manager->RegisterClassImplCategories(classId, 1, &category)
                                    : manager->RegisterClassReqCategories(classId, 1, &category);
      if (FAILED(hr)) {
        manager->Release();
        return hr;
      }
    } else if (entry->kind == 1) {
      manager->UnRegisterClassImplCategories(classId, 1, &category);
    } else {
      manager->UnRegisterClassReqCategories(classId, 1, &category);
    }
  }
  manager->Release();
  return S_OK;
}

}  // namespace quillet
