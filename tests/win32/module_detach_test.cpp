// The module's own sources linked into the test: process attach and detach
// driven by hand, with stub site and browser objects that record releases.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "com/class_object.h"
#include "com/module.h"
#include "server_support.h"

namespace quillet {
namespace {

std::string events;  // what happened, in order

// A stub whose Release records a letter; static, no heap.
class RecordingUnknown : public IUnknown {
 public:
  explicit RecordingUnknown(char letter) : letter_(letter) {}
  STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override {
    events += letter_;
    return 1;
  }

 private:
  char letter_;
};

RecordingUnknown siteStub('S');
RecordingUnknown browserStub('B');

// Only Release is ever called on the browser reference at destruction, and
// IWebBrowser2 starts with the IUnknown slots.
IWebBrowser2* StubBrowser() { return reinterpret_cast<IWebBrowser2*>(static_cast<IUnknown*>(&browserStub)); }

void RecordHook(DWORD_PTR argument) { events += static_cast<char>(argument); }

class ModuleDetachTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    AttachModule(GetModuleHandleA(nullptr));
  }

  // The object, holding the stub site and browser, and no reference of ours
  // but the class object's.
  bool CreateObjectHoldingStubs(IClassFactory** factory) {
    Veltrano* object = CreateObject(factory);
    if (object == nullptr) return false;
    object->helper.site = &siteStub;
    object->helper.browser = StubBrowser();
    object->Release();
    return true;
  }

  // The Veltrano object of the class object that DllGetClassObject creates.
  Veltrano* CreateObject(IClassFactory** factory) {
    EXPECT_EQ(S_OK, DllGetClassObject(CLSID_Veltrano, IID_IClassFactory, reinterpret_cast<void**>(factory)));
    IVeltrano* veltrano = nullptr;
    EXPECT_EQ(S_OK, (*factory)->CreateInstance(nullptr, IID_IVeltrano, reinterpret_cast<void**>(&veltrano)));
    return static_cast<Veltrano*>(veltrano);
  }
};

TEST_F(ModuleDetachTest, AttachStartsEmpty) {
  EXPECT_EQ(0, serverModule.lockCount);
  EXPECT_EQ(classTable, serverModule.classTable);
  EXPECT_EQ(nullptr, serverModule.shutdownList);
  EXPECT_EQ(serverModule.instance, serverModule.typeLibInstance);
  EXPECT_EQ(S_OK, DllCanUnloadNow());
  DetachModule(false);
}

// Inside DllMain a browser's release may wait for the loader lock: what the
// object still holds then is left, not released.
TEST_F(ModuleDetachTest, DetachReleasesNothingHeldAndRunsHooksNewestFirst) {
  IClassFactory* factory = nullptr;
  Veltrano* object = CreateObject(&factory);
  ASSERT_NE(nullptr, object);
  EXPECT_EQ(2, serverModule.lockCount);
  object->helper.site = &siteStub;
  object->helper.browser = StubBrowser();
  object->Release();
  factory->Release();
  EXPECT_EQ(0, serverModule.lockCount);
  for (char hook : {'1', '2', '3'}) EXPECT_EQ(S_OK, AddShutdownHook(RecordHook, static_cast<DWORD_PTR>(hook)));
  EXPECT_EQ("", events);
  DetachModule(false);
  EXPECT_EQ("321", events);
  EXPECT_EQ(nullptr, serverModule.shutdownList);
  EXPECT_EQ(nullptr, classTable[0].classObject);
}

TEST_F(ModuleDetachTest, AnOutsideReferenceKeepsTheObjectPastDetach) {
  IClassFactory* factory = nullptr;
  ASSERT_TRUE(CreateObjectHoldingStubs(&factory));
  AddShutdownHook(RecordHook, 'H');
  DetachModule(false);
  EXPECT_EQ("H", events);  // the class object survives; only the hook ran
  EXPECT_EQ(nullptr, classTable[0].classObject);
  EXPECT_EQ(0u, factory->Release());  // the last reference destroys it
  EXPECT_EQ("HBS", events);
}

TEST_F(ModuleDetachTest, NothingCreatedNothingReleased) {
  DetachModule(false);
  EXPECT_EQ("", events);
}

// When the process ends, the components the object holds may be gone already.
TEST_F(ModuleDetachTest, AtProcessExitNothingIsReleasedAndNoHookRuns) {
  IClassFactory* factory = nullptr;
  ASSERT_TRUE(CreateObjectHoldingStubs(&factory));
  factory->Release();
  AddShutdownHook(RecordHook, 'H');
  DetachModule(true);
  EXPECT_EQ("", events);
  EXPECT_NE(nullptr, classTable[0].classObject);
  DetachModule(false);  // what FreeLibrary would have done
  EXPECT_EQ("H", events);
}

// Through the library's real entry point, in a process of its own.
// The library pins itself when it takes a site, so FreeLibrary frees nothing.
TEST(ModuleEntryPointTest, NeitherFreeLibraryNorTheEndOfTheProcessReleasesTheSite) {
  const std::string command = std::string("\"") + QUILLET_EXIT_PROBE_PATH + "\" \"" + test::BuiltDllPath() + "\" ";
  EXPECT_EQ("freed\n", test::RunCapturingOutput(command + "free"));
  EXPECT_EQ("exiting\n", test::RunCapturingOutput(command + "exit"));
}

}  // namespace
}  // namespace quillet
