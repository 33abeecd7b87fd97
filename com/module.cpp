#include "com/module.h"

#include "platform/process_heap.h"

namespace quillet {

ServerModule serverModule;

namespace {
bool detaching = false;
}  // namespace

bool ModuleDetaching() { return detaching; }

LONG LockModule() { return InterlockedIncrement(&serverModule.lockCount); }

LONG UnlockModule() { return InterlockedDecrement(&serverModule.lockCount); }

HRESULT AddShutdownHook(ShutdownCallback callback, DWORD_PTR argument) {
  ShutdownHook* hook = HeapNew<ShutdownHook>(ShutdownHook{callback, argument, nullptr});
  if (hook == nullptr) return E_OUTOFMEMORY;
  EnterCriticalSection(&serverModule.staticDataLock);
  hook->next = serverModule.shutdownList;
  serverModule.shutdownList = hook;
  LeaveCriticalSection(&serverModule.staticDataLock);
  return S_OK;
}

void AttachModule(HINSTANCE instance) {
  serverModule.instance = instance;
  serverModule.typeLibInstance = instance;
  serverModule.classTable = classTable;
  serverModule.lockCount = 0;
  InitializeCriticalSection(&serverModule.staticDataLock);
  InitializeCriticalSection(&serverModule.classTableLock);
  serverModule.shutdownList = nullptr;
  DisableThreadLibraryCalls(instance);
}

void DetachModule(bool processTerminating) {
  if (processTerminating) return;
  detaching = true;
  for (ClassEntry* entry = serverModule.classTable; entry->classId != nullptr; ++entry) {
    if (entry->classObject != nullptr) entry->classObject->Release();
    entry->classObject = nullptr;
  }
  detaching = false;
  DeleteCriticalSection(&serverModule.staticDataLock);
  DeleteCriticalSection(&serverModule.classTableLock);
  // Newest first: later hooks may depend on state that earlier ones free.
  while (ShutdownHook* hook = serverModule.shutdownList) {
    serverModule.shutdownList = hook->next;
    hook->callback(hook->argument);
    HeapDelete(hook);
  }
}

ClassEntry* FindCreatableClass(REFCLSID classId) {
  for (ClassEntry* entry = serverModule.classTable; entry->classId != nullptr; ++entry) {
    if (entry->createClassObject != nullptr && IsEqualGUID(classId, *entry->classId)) return entry;
  }
  return nullptr;
}

HRESULT GetClassObject(ClassEntry& entry, REFIID riid, void** ppv) {
  HRESULT hr = S_OK;
  if (entry.classObject == nullptr) {
    // Tested again under the lock so that two first calls create one object.
    EnterCriticalSection(&serverModule.classTableLock);
    if (entry.classObject == nullptr) {
      hr = entry.createClassObject(IID_IUnknown, reinterpret_cast<void**>(&entry.classObject));
    }
    LeaveCriticalSection(&serverModule.classTableLock);
  }
  if (entry.classObject != nullptr) hr = entry.classObject->QueryInterface(riid, ppv);
  return hr;
}

}  // namespace quillet
