#include "com/type_info_cache.h"

#include "com/module.h"
#include "platform/process_heap.h"
#include "quillet_h.h"

namespace quillet {

TypeInfoCache veltranoTypeInfo = {&IID_IVeltrano, &LIBID_QUILLET, 1, 0, nullptr, nullptr, 0};

HRESULT LoadTypeInfo(TypeInfoCache& cache, LCID lcid) {
  if (cache.typeInfo != nullptr) return S_OK;
  HRESULT hr = E_FAIL;
  EnterCriticalSection(&serverModule.staticDataLock);
  if (cache.typeInfo != nullptr) {
    hr = S_OK;
  } else {
    ITypeLib* typeLib = nullptr;
    hr = LoadRegTypeLib(*cache.libraryId, cache.majorVersion, cache.minorVersion, lcid, &typeLib);
    if (SUCCEEDED(hr)) {
      ITypeInfo* typeInfo = nullptr;
      hr = typeLib->GetTypeInfoOfGuid(*cache.interfaceId, &typeInfo);
      if (SUCCEEDED(hr)) {
        ITypeInfo2* typeInfo2 = nullptr;
        if (SUCCEEDED(typeInfo->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(&typeInfo2))) &&
            typeInfo2 != nullptr) {
          typeInfo->Release();
          typeInfo = typeInfo2;
        }
        BuildNameCache(cache, typeInfo);
        cache.typeInfo = typeInfo;
      }
      typeLib->Release();
    }
  }
  LeaveCriticalSection(&serverModule.staticDataLock);
  // Every pass that took the lock adds a hook; discarding twice is harmless.
  AddShutdownHook(DiscardTypeInfo, reinterpret_cast<DWORD_PTR>(&cache));
  return hr;
}

void BuildNameCache(TypeInfoCache& cache, ITypeInfo* typeInfo) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(typeInfo->GetTypeAttr(&attributes))) return;
  cache.nameCount = attributes->cFuncs;
  if (cache.nameCount != 0) {
    cache.names = HeapNewArray<CachedName>(static_cast<size_t>(cache.nameCount));
    // Without the array there is nothing to look up: every name goes to the type information.
    if (cache.names == nullptr) cache.nameCount = 0;
  }
  for (LONG i = 0; i < cache.nameCount; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(typeInfo->GetFuncDesc(static_cast<UINT>(i), &function))) continue;
    BSTR name = nullptr;
    if (SUCCEEDED(typeInfo->GetDocumentation(function->memid, &name, nullptr, nullptr, nullptr))) {
      cache.names[i].name = name;
      cache.names[i].length = static_cast<LONG>(SysStringLen(name));
      cache.names[i].memberId = function->memid;
    }
    typeInfo->ReleaseFuncDesc(function);
  }
  typeInfo->ReleaseTypeAttr(attributes);
}

void DiscardTypeInfo(DWORD_PTR argument) {
  TypeInfoCache& cache = *reinterpret_cast<TypeInfoCache*>(argument);
  if (cache.typeInfo != nullptr) {
    cache.typeInfo->Release();
    cache.typeInfo = nullptr;
  }
  if (cache.names != nullptr) {
    for (LONG i = cache.nameCount - 1; i >= 0; --i) SysFreeString(cache.names[i].name);
    HeapDeleteArray(cache.names);
    cache.names = nullptr;
  }
}

HRESULT GetCachedTypeInfo(TypeInfoCache& cache, LCID lcid, ITypeInfo** pptinfo) {
  if (pptinfo == nullptr) return E_POINTER;
  HRESULT hr = S_OK;
  if (cache.typeInfo == nullptr) hr = LoadTypeInfo(cache, lcid);
  *pptinfo = cache.typeInfo;
  if (*pptinfo != nullptr) {
    (*pptinfo)->AddRef();
    hr = S_OK;
  }
  return hr;
}

namespace {

// The cached member whose name equals `name` exactly (case-sensitively);
// the entry with the highest index wins.
const CachedName* FindCachedName(const TypeInfoCache& cache, const OLECHAR* name) {
  if (cache.names == nullptr) return nullptr;
  LONG length = lstrlenW(name);
  for (LONG i = cache.nameCount - 1; i >= 0; --i) {
    const CachedName& entry = cache.names[i];
    if (entry.name == nullptr || entry.length != length) continue;
    if (memcmp(entry.name, name, static_cast<size_t>(length) * sizeof(OLECHAR)) == 0) return &entry;
  }
  return nullptr;
}

}  // namespace

HRESULT GetCachedIDsOfNames(TypeInfoCache& cache, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                            DISPID* rgdispid) {
  HRESULT hr = S_OK;
  if (cache.typeInfo == nullptr) hr = LoadTypeInfo(cache, lcid);
  if (cache.typeInfo == nullptr) return hr;
  if (cNames != 0 && (rgszNames == nullptr || rgdispid == nullptr)) return E_POINTER;
  for (LONG i = 0; i < static_cast<LONG>(cNames); ++i) {
    if (const CachedName* entry = FindCachedName(cache, rgszNames[i])) {
      rgdispid[i] = entry->memberId;
      continue;
    }
    hr = cache.typeInfo->GetIDsOfNames(rgszNames, cNames, rgdispid);
    if (FAILED(hr)) return hr;
  }
  return hr;
}

}  // namespace quillet
