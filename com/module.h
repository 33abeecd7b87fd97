// The in-process server's module state: the class table, the module lock
// count, the two module locks and the list of callbacks run at detach.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace quillet {

// One row of a class's component-category table; a row of kind 0 ends it.
struct CategoryEntry {
  int kind;  // 1: implemented, 2: required
  const GUID* categoryId;  // a CATID
};

struct ClassEntry {
  const CLSID* classId;  // null ends the table
  HRESULT (*updateRegistry)(BOOL doRegister);
  HRESULT (*createClassObject)(REFIID riid, void** ppv);
  IUnknown* classObject;  // one reference, null until the first creation
  const char* description;  // null: none
  const CategoryEntry* categories;  // null: none
};

// A class that describes itself is registered by whoever uses the description.
inline bool HasDescription(const ClassEntry& entry) { return entry.description != nullptr; }

using ShutdownCallback = void (*)(DWORD_PTR argument);

struct ShutdownHook {
  ShutdownCallback callback;
  DWORD_PTR argument;
  ShutdownHook* next;
};

struct ServerModule {
  HINSTANCE instance;
  HINSTANCE typeLibInstance;
  ClassEntry* classTable;
  volatile LONG lockCount;
  CRITICAL_SECTION staticDataLock;
  CRITICAL_SECTION classTableLock;
  ShutdownHook* shutdownList;
};

extern ServerModule serverModule;
extern ClassEntry classTable[];

LONG LockModule();
LONG UnlockModule();
HRESULT AddShutdownHook(ShutdownCallback callback, DWORD_PTR argument);

// The row of a class DllGetClassObject can create; null for none.
ClassEntry* FindCreatableClass(REFCLSID classId);
// The row's class object, created on first use, asked for `riid`.
HRESULT GetClassObject(ClassEntry& entry, REFIID riid, void** ppv);

// The entry point's work for DLL_PROCESS_ATTACH and DLL_PROCESS_DETACH.
// When the process is ending, other threads are gone and the components the
// object holds may be unloaded already, so nothing is released then; the
// release work is for FreeLibrary.
void AttachModule(HINSTANCE instance);
void DetachModule(bool processTerminating);
// True while DetachModule releases the class objects, that is, inside
// DllMain under the loader lock: then nothing held is released.
bool ModuleDetaching();

}  // namespace quillet
