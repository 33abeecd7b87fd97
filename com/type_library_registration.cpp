// Loading, registering and unregistering the module's own type library.
#include "com/registration.h"

namespace quillet {
namespace {

// Room for ".tlb" behind a path of full length.
constexpr size_t kTypeLibPathSize = MAX_PATH + 8;

HRESULT LoadTypeLibFromAnsiPath(const char* path, wchar_t* widePath, ITypeLib** typeLib) {
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, kTypeLibPathSize) == 0) return LastErrorStatus();
  return LoadTypeLib(widePath, typeLib);
}

}  // namespace

int FileNameOffset(const wchar_t* path) {
  int offset = 0;
  for (int i = 0; path[i] != L'\0'; ++i) {
    if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':') offset = i + 1;
  }
  return offset;
}

bool ReplaceWithTlbExtension(char* path, size_t size) {
  char* dot = nullptr;
  char* end = path;
  for (; *end != '\0'; end = CharNextA(end)) {
    if (*end == '.') dot = end;
  }
  char* at = dot != nullptr ? dot : end;
  static const char kExtension[] = ".tlb";
  if (static_cast<size_t>(at - path) + sizeof(kExtension) > size) return false;
  memcpy(at, kExtension, sizeof(kExtension));
  return true;
}

HRESULT LoadModuleTypeLibrary(const wchar_t* index, ITypeLib** typeLib, BSTR* loadedPath) {
  *typeLib = nullptr;
  *loadedPath = nullptr;
  char path[kTypeLibPathSize];
  if (GetModuleFileNameA(serverModule.typeLibInstance, path, MAX_PATH) == 0) return LastErrorStatus();
  path[MAX_PATH - 1] = '\0';
  if (index != nullptr) {
    size_t length = static_cast<size_t>(lstrlenA(path));
    if (WideCharToMultiByte(CP_ACP, 0, index, -1, path + length, static_cast<int>(MAX_PATH - length), nullptr,
                            nullptr) == 0) {
      return E_INVALIDARG;
    }
  }
  wchar_t widePath[kTypeLibPathSize];
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibFromAnsiPath(path, widePath, &library);
  if (FAILED(hr)) {
    // The type library beside the module: "quillet.dll" gives "quillet.tlb".
    if (!ReplaceWithTlbExtension(path, sizeof(path))) return hr;
    hr = LoadTypeLibFromAnsiPath(path, widePath, &library);
    if (FAILED(hr)) return hr;
  }
  BSTR pathText = SysAllocString(widePath);
  if (pathText == nullptr) {
    library->Release();
    return E_OUTOFMEMORY;
  }
  *typeLib = library;
  *loadedPath = pathText;
  return S_OK;
}

HRESULT RegisterModuleTypeLibrary(const wchar_t* index) {
  ITypeLib* library = nullptr;
  BSTR path = nullptr;
  HRESULT hr = LoadModuleTypeLibrary(index, &library, &path);
  if (FAILED(hr)) return hr;
  wchar_t helpDirectory[MAX_PATH];
  lstrcpynW(helpDirectory, path, MAX_PATH);
  helpDirectory[FileNameOffset(helpDirectory)] = L'\0';
  hr = RegisterTypeLib(library, path, helpDirectory);
  library->Release();
  SysFreeString(path);
  return hr;
}

HRESULT UnregisterModuleTypeLibrary(const wchar_t* index) {
  ITypeLib* library = nullptr;
  BSTR path = nullptr;
  HRESULT hr = LoadModuleTypeLibrary(index, &library, &path);
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  if (SUCCEEDED(library->GetLibAttr(&attributes))) {
    // Looked up at run time: older oleaut32 builds lack it.
    using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    if (HMODULE oleaut = LoadLibraryA("oleaut32.dll")) {
      auto unregister =
          reinterpret_cast<UnRegisterTypeLibFunction>(reinterpret_cast<void*>(GetProcAddress(oleaut, "UnRegisterTypeLib")));
      if (unregister != nullptr) {
        unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                   attributes->syskind);
      }
      FreeLibrary(oleaut);
    }
    library->ReleaseTLibAttr(attributes);
  }
  library->Release();
  SysFreeString(path);
  return hr;
}

}  // namespace quillet
