// Self-registration: the registry script resource, component categories and
// the type library of the module.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/module.h"
#include "script/registry_script.h"

namespace quillet {

constexpr UINT kRegistryScriptId = 101;

// One extra script variable; a pair with a null name ends a list.
struct ScriptVariable {
  const wchar_t* name;
  const wchar_t* value;
};

HRESULT ApplyRegistryResource(UINT resourceId, BOOL doRegister, const ScriptVariable* extraVariables);
HRESULT RunScriptResource(const wchar_t* modulePath, UINT resourceId, const wchar_t* resourceType, BOOL doRegister,
                          const SubstitutionTable& table);
HRESULT UpdateClassCategories(const CLSID& classId, const CategoryEntry* categoryTable, BOOL doRegister);
HRESULT LoadModuleTypeLibrary(const wchar_t* index, ITypeLib** typeLib, BSTR* loadedPath);
HRESULT RegisterModuleTypeLibrary(const wchar_t* index);
HRESULT UnregisterModuleTypeLibrary(const wchar_t* index);
int FileNameOffset(const wchar_t* path);

// The failure GetLastError reports, as an HRESULT.
HRESULT LastErrorStatus();

// Helpers with their own tests.
// Copies `path` into `doubled` (`size` characters) with every single quote
// doubled; false when it does not fit.
bool DoubleSingleQuotes(const wchar_t* path, wchar_t* doubled, size_t size);
// Replaces everything from the last "." of `path` (ANSI, stepped by
// character) with ".tlb", or appends ".tlb"; false when it does not fit.
bool ReplaceWithTlbExtension(char* path, size_t size);

}  // namespace quillet
