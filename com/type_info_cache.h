// The process-wide type information of IVeltrano: loaded from the registered
// type library on first use, with a cache of member names, kept until detach.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace quillet {

struct CachedName {
  BSTR name;  // null when the name was not obtained
  LONG length;
  DISPID memberId;
};

struct TypeInfoCache {
  const IID* interfaceId;
  const GUID* libraryId;
  WORD majorVersion;
  WORD minorVersion;
  ITypeInfo* volatile typeInfo;  // ITypeInfo2 when offered
  CachedName* names;
  LONG nameCount;
};

extern TypeInfoCache veltranoTypeInfo;

HRESULT LoadTypeInfo(TypeInfoCache& cache, LCID lcid);
void BuildNameCache(TypeInfoCache& cache, ITypeInfo* typeInfo);
// The shutdown hook; `cache` is a TypeInfoCache*.
void DiscardTypeInfo(DWORD_PTR cache);

HRESULT GetCachedTypeInfo(TypeInfoCache& cache, LCID lcid, ITypeInfo** pptinfo);
HRESULT GetCachedIDsOfNames(TypeInfoCache& cache, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                            DISPID* rgdispid);

}  // namespace quillet
