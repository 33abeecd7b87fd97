// The built library through its exports, as COM would use it: the class
// object, the one Veltrano object and the module lock count.
#include <windows.h>
#include <docobj.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include "quillet_h.h"
#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

const CLSID kUnknownClass = {0x6E41C2D7, 0x8A0B, 0x4F35, {0x9C, 0x62, 0x71, 0xD0, 0xE8, 0x4B, 0x3A, 0x21}};

// Loads the library afresh for every test; freeing it detaches the module.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA(BuiltDllPath());
    ASSERT_NE(nullptr, library_) << "cannot load " << BuiltDllPath();
    getClassObject_ = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DllGetClassObject")));
    canUnloadNow_ =
        reinterpret_cast<CanUnloadNowFunction>(reinterpret_cast<void*>(GetProcAddress(library_, "DllCanUnloadNow")));
    ASSERT_NE(nullptr, getClassObject_);
    ASSERT_NE(nullptr, canUnloadNow_);
  }
  void TearDown() override {
    if (library_ != nullptr) FreeLibrary(library_);
  }

  IClassFactory* ClassFactory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(S_OK, getClassObject_(CLSID_Veltrano, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    return factory;
  }
  // The module lock count, read through the object's AddRef and Release.
  static LONG LockCount(IUnknown* object) {
    object->AddRef();
    return static_cast<LONG>(object->Release());
  }

  HMODULE library_ = nullptr;
  GetClassObjectFunction getClassObject_ = nullptr;
  CanUnloadNowFunction canUnloadNow_ = nullptr;
};

TEST_F(ServerTest, CanUnloadRightAfterAttach) { EXPECT_EQ(S_OK, canUnloadNow_()); }

TEST_F(ServerTest, AnOutsideClassObjectReferenceHoldsOneLock) {
  IClassFactory* factory = ClassFactory();
  ASSERT_NE(nullptr, factory);
  EXPECT_EQ(S_FALSE, canUnloadNow_());
  IClassFactory* again = ClassFactory();
  EXPECT_EQ(factory, again);
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  EXPECT_EQ(2, LockCount(object));  // both factory references together, and the object
  object->Release();
  again->Release();
  factory->Release();
  EXPECT_EQ(S_OK, canUnloadNow_());
  // The class table keeps the class object alive.
  IClassFactory* third = ClassFactory();
  EXPECT_EQ(factory, third);
  third->Release();
  EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(ServerTest, EveryCreationAnswersWithTheSameObject) {
  IClassFactory* factory = ClassFactory();
  ASSERT_NE(nullptr, factory);
  IVeltrano* first = nullptr;
  IVeltrano* second = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVeltrano, reinterpret_cast<void**>(&first)));
  EXPECT_EQ(2, LockCount(first));
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVeltrano, reinterpret_cast<void**>(&second)));
  EXPECT_EQ(first, second);
  EXPECT_EQ(3, LockCount(first));
  EXPECT_EQ(2u, second->Release());  // the module lock count, not a count of the object
  EXPECT_EQ(1u, first->Release());
  factory->Release();
  EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(ServerTest, AllThreeInterfacesShareOneIdentity) {
  IClassFactory* factory = ClassFactory();
  ASSERT_NE(nullptr, factory);
  IVeltrano* veltrano = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVeltrano, reinterpret_cast<void**>(&veltrano)));
  factory->Release();
  IDispatch* dispatch = nullptr;
  IObjectWithSite* withSite = nullptr;
  IOleCommandTarget* commandTarget = nullptr;
  ASSERT_EQ(S_OK, veltrano->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
  ASSERT_EQ(S_OK, veltrano->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)));
  ASSERT_EQ(S_OK, veltrano->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&commandTarget)));
  EXPECT_EQ(static_cast<IDispatch*>(veltrano), dispatch);
  EXPECT_EQ(4, LockCount(veltrano));
  IUnknown* through[3] = {withSite, commandTarget, dispatch};
  for (IUnknown* start : through) {
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, start->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(veltrano), identity);
    identity->Release();
    // Reached through any interface, the counts are the module's.
    EXPECT_EQ(4, LockCount(start));
  }
  commandTarget->Release();
  withSite->Release();
  dispatch->Release();
  EXPECT_EQ(0u, veltrano->Release());
  EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(ServerTest, AnInterfaceOutsideTheTableIsRefusedWithoutALock) {
  IClassFactory* factory = ClassFactory();
  ASSERT_NE(nullptr, factory);
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  const IID* refused[] = {&IID_IClassFactory, &IID_IConnectionPointContainer, &IID_ITypeInfo};
  for (const IID* iid : refused) {
    void* answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(*iid, &answer));
    EXPECT_EQ(nullptr, answer);
    EXPECT_EQ(2, LockCount(object));
  }
  EXPECT_EQ(E_POINTER, object->QueryInterface(IID_IUnknown, nullptr));
  object->Release();
  factory->Release();
}

TEST_F(ServerTest, AnUnknownClassCreatesNothing) {
  void* answer = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject_(kUnknownClass, IID_IClassFactory, &answer));
  EXPECT_EQ(nullptr, answer);
  EXPECT_EQ(S_OK, canUnloadNow_());
  EXPECT_EQ(E_POINTER, getClassObject_(CLSID_Veltrano, IID_IClassFactory, nullptr));
}

TEST_F(ServerTest, AClassObjectInterfaceItLacksIsRefusedButTheObjectIsCached) {
  void* answer = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, getClassObject_(CLSID_Veltrano, IID_IDispatch, &answer));
  EXPECT_EQ(nullptr, answer);
  EXPECT_EQ(S_OK, canUnloadNow_());
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, getClassObject_(CLSID_Veltrano, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  IClassFactory* factory = ClassFactory();
  EXPECT_EQ(static_cast<IUnknown*>(factory), unknown);
  factory->Release();
  unknown->Release();
}

TEST_F(ServerTest, AggregationIsRefusedForEveryInterface) {
  IClassFactory* factory = ClassFactory();
  ASSERT_NE(nullptr, factory);
  IUnknown* outer = factory;  // any non-null outer unknown
  const IID* asked[] = {&IID_IUnknown, &IID_IVeltrano, &IID_IDispatch, &IID_IObjectWithSite, &IID_IClassFactory};
  for (const IID* iid : asked) {
    void* answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, *iid, &answer));
    EXPECT_EQ(nullptr, answer);
  }
  EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
  factory->Release();
  EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(ServerTest, UnbalancedUnlocksDriveTheCountNegative) {
  IClassFactory* factory = ClassFactory();
  ASSERT_NE(nullptr, factory);
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  EXPECT_EQ(0, LockCount(object));  // factory 1 + object 1 - 2
  factory->Release();
  EXPECT_EQ(-2, static_cast<LONG>(object->Release()));  // released more often than referenced
  EXPECT_EQ(S_FALSE, canUnloadNow_());
  // The object lives on: its AddRef still answers.
  EXPECT_EQ(-1, static_cast<LONG>(object->AddRef()));
  factory = ClassFactory();  // count back to 0
  ASSERT_NE(nullptr, factory);
  EXPECT_EQ(S_OK, canUnloadNow_());
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_FALSE, canUnloadNow_());
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  factory->Release();  // count -1 again
  EXPECT_EQ(S_FALSE, canUnloadNow_());
  object->AddRef();
  EXPECT_EQ(S_OK, canUnloadNow_());
}

struct RaceArguments {
  HANDLE start;
  GetClassObjectFunction getClassObject;
  IClassFactory* factory;
  HRESULT result;
};

DWORD WINAPI AskForClassObject(void* parameter) {
  RaceArguments* arguments = static_cast<RaceArguments*>(parameter);
  WaitForSingleObject(arguments->start, INFINITE);
  arguments->result =
      arguments->getClassObject(CLSID_Veltrano, IID_IClassFactory, reinterpret_cast<void**>(&arguments->factory));
  return 0;
}

TEST_F(ServerTest, ConcurrentFirstCallsCreateOneClassObject) {
  constexpr int kThreads = 8;
  HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  RaceArguments arguments[kThreads];
  HANDLE threads[kThreads];
  for (int i = 0; i < kThreads; ++i) {
    arguments[i] = {start, getClassObject_, nullptr, E_FAIL};
    threads[i] = CreateThread(nullptr, 0, AskForClassObject, &arguments[i], 0, nullptr);
    ASSERT_NE(nullptr, threads[i]);
  }
  SetEvent(start);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(kThreads, threads, TRUE, 30000));
  for (int i = 0; i < kThreads; ++i) {
    CloseHandle(threads[i]);
    EXPECT_EQ(S_OK, arguments[i].result);
    EXPECT_EQ(arguments[0].factory, arguments[i].factory);
  }
  CloseHandle(start);
  // One object, so one lock for all the outside references together.
  IUnknown* object = nullptr;
  ASSERT_EQ(S_OK, arguments[0].factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
  EXPECT_EQ(2, LockCount(object));
  object->Release();
  for (int i = 0; i < kThreads; ++i) arguments[i].factory->Release();
  EXPECT_EQ(S_OK, canUnloadNow_());
  IClassFactory* later = ClassFactory();
  EXPECT_EQ(arguments[0].factory, later);
  later->Release();
}

}  // namespace
}  // namespace quillet::test
