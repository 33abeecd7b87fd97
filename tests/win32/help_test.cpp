// The help launcher against stand-in HTML Help libraries, with the control's
// registered location set in the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_htmlhelp.h"
#include "html_help_key.h"
#include "platform/registry.h"
#include "test_paths.h"
#include "ui/help.h"

namespace quillet {
namespace {

using test::BesideProgram;
using test::HtmlHelpKeyGuard;

// The system's own HTML Help library, by its full path.
std::string SystemHelpLibrary() {
  char directory[MAX_PATH] = "";
  GetSystemDirectoryA(directory, sizeof directory);
  return std::string(directory) + "\\" + kHtmlHelpLibraryName;
}

// Records what the loader asks of the platform. The system's "hhctrl.ocx" is
// answered by the library a test chooses (or by nothing), and a bare name
// loads nothing, so the system's own library is never used.
struct Recorder {
  int locationCalls = 0;
  std::vector<std::string> loads;
  int entryLookups = 0;
  std::string fallback;
};
Recorder* recorder = nullptr;

bool RecordLocation(char* buffer) {
  ++recorder->locationCalls;
  return GetHtmlHelpLibraryLocation(buffer);
}

HMODULE RecordLoad(const char* name) {
  recorder->loads.push_back(name);
  if (name == SystemHelpLibrary()) {
    return recorder->fallback.empty() ? nullptr : LoadLibraryA(recorder->fallback.c_str());
  }
  if (std::string(name).find('\\') == std::string::npos) return nullptr;
  return LoadLibraryA(name);
}

FARPROC RecordLookup(HMODULE module, const char* name) {
  ++recorder->entryLookups;
  return GetProcAddress(module, name);
}

constexpr HtmlHelpPlatform kRecordingPlatform = {RecordLocation, RecordLoad, RecordLookup};

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override { recorder = &record_; }
  void TearDown() override { recorder = nullptr; }

  HWND Call(HWND window = kWindow) {
    return CallHtmlHelpWith(state_, kRecordingPlatform, window, "C:\\help\\quillet.chm", 0, 0);
  }

  static inline HWND const kWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x1234));
  const std::string fake_ = BesideProgram(kFakeHelpLibrary);
  const std::string noEntry_ = BesideProgram(kFakeHelpNoEntryLibrary);
  HtmlHelpKeyGuard guard_;
  HtmlHelpState state_;
  Recorder record_;
};

using Loads = std::vector<std::string>;

TEST_F(HelpTest, RegisteredLocationIsLoadedFirst) {
  HtmlHelpKeyGuard::RegisterPath(fake_);
  const size_t before = RecordedHelpCalls(kFakeHelpLibrary).size();
  EXPECT_EQ(kFakeHelpWindow, Call()) << "the entry point's result is passed on";
  EXPECT_EQ(Loads{fake_}, record_.loads);
  std::vector<FakeHelpCall> calls = RecordedHelpCalls(kFakeHelpLibrary);
  ASSERT_EQ(before + 1, calls.size());
  EXPECT_EQ(kWindow, calls.back().caller);
  EXPECT_STREQ("C:\\help\\quillet.chm", calls.back().file);
  EXPECT_EQ(0u, calls.back().command);
  EXPECT_EQ(0u, calls.back().data);
}

TEST_F(HelpTest, WithoutRegisteredLocationTheSystemLibraryIsLoadedByItsFullPath) {
  HtmlHelpKeyGuard::Unregister();
  record_.fallback = fake_;
  EXPECT_EQ(kFakeHelpWindow, Call());
  EXPECT_EQ(Loads{SystemHelpLibrary()}, record_.loads) << "never by its bare name";
}

TEST_F(HelpTest, UnloadableRegisteredLocationFallsBackToTheLibraryName) {
  const std::string missing = BesideProgram("no_such_help.ocx");
  HtmlHelpKeyGuard::RegisterPath(missing);
  record_.fallback = fake_;
  EXPECT_EQ(kFakeHelpWindow, Call());
  EXPECT_EQ((Loads{missing, SystemHelpLibrary()}), record_.loads);
}

TEST_F(HelpTest, RegisteredValueFillingTheBufferIsNotUsed) {
  HtmlHelpKeyGuard::Register(reg::kBinary, std::string(kHelpPathSize, 'p'));
  record_.fallback = fake_;
  EXPECT_EQ(kFakeHelpWindow, Call());
  EXPECT_EQ(Loads{SystemHelpLibrary()}, record_.loads);
}

// A REG_EXPAND_SZ location is expanded before use; an expansion that does not
// fit the 260-byte path is not a usable location.
TEST_F(HelpTest, ExpandableLocationIsExpandedWithinThePathBuffer) {
  std::string folder = fake_.substr(0, fake_.find_last_of('\\'));
  const std::string base = "C:\\q\\";
  const std::string ocx = "\\h.ocx";
  const std::string fits(kHelpPathSize - 1 - base.size() - ocx.size(), 'f');
  const std::string tooLong(fits.size() + 1, 'f');
  const struct {
    const char* what;
    std::string variable;
    std::string location;  // registered as REG_EXPAND_SZ
    Loads loads;
    HWND result;
  } cases[] = {
      {"expanded", folder, "%QUILLET_HELP_DIR%\\" + std::string(kFakeHelpLibrary), {fake_}, kFakeHelpWindow},
      {"259 characters expanded", fits, base + "%QUILLET_HELP_DIR%" + ocx,
       {base + fits + ocx, SystemHelpLibrary()}, nullptr},
      {"260 characters expanded", tooLong, base + "%QUILLET_HELP_DIR%" + ocx, {SystemHelpLibrary()}, nullptr},
      {"unknown variable stays", "", "C:\\%QUILLET_NO_SUCH_VARIABLE%\\h.ocx",
       {"C:\\%QUILLET_NO_SUCH_VARIABLE%\\h.ocx", SystemHelpLibrary()}, nullptr},
  };
  for (const auto& c : cases) {
    HtmlHelpState state;
    Recorder record;
    recorder = &record;
    SetEnvironmentVariableA("QUILLET_HELP_DIR", c.variable.c_str());
    HtmlHelpKeyGuard::Register(reg::kExpandSz, c.location + '\0');
    EXPECT_EQ(c.result, CallHtmlHelpWith(state, kRecordingPlatform, kWindow, "C:\\help\\quillet.chm", 0, 0)) << c.what;
    EXPECT_EQ(c.loads, record.loads) << c.what;
  }
  SetEnvironmentVariableA("QUILLET_HELP_DIR", nullptr);
  recorder = &record_;
}

TEST_F(HelpTest, WhenBothLoadsFailNothingIsTriedAgain) {
  const std::string missing = BesideProgram("no_such_help.ocx");
  HtmlHelpKeyGuard::RegisterPath(missing);
  EXPECT_EQ(nullptr, Call());
  EXPECT_EQ((Loads{missing, SystemHelpLibrary()}), record_.loads);
  EXPECT_EQ(1, state_.htmlHelpFailed);
  EXPECT_EQ(nullptr, state_.htmlHelpModule);

  // Even once a library could be had, the failure is final.
  HtmlHelpKeyGuard::RegisterPath(fake_);
  record_.fallback = fake_;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(nullptr, Call());
  EXPECT_EQ(1, record_.locationCalls);
  EXPECT_EQ(2u, record_.loads.size());
  EXPECT_EQ(0, record_.entryLookups);
}

TEST_F(HelpTest, OnceLoadedTheEntryPointIsCalledStraightAway) {
  HtmlHelpKeyGuard::RegisterPath(fake_);
  const size_t before = RecordedHelpCalls(kFakeHelpLibrary).size();
  EXPECT_EQ(kFakeHelpWindow, Call());
  EXPECT_EQ(kFakeHelpWindow, Call());
  EXPECT_EQ(kFakeHelpWindow, Call());
  EXPECT_EQ(1, record_.locationCalls);
  EXPECT_EQ(1u, record_.loads.size());
  EXPECT_EQ(1, record_.entryLookups);
  EXPECT_EQ(before + 3, RecordedHelpCalls(kFakeHelpLibrary).size());
}

TEST_F(HelpTest, MissingOrdinalFailsButIsLookedUpAgain) {
  HtmlHelpKeyGuard::RegisterPath(noEntry_);
  EXPECT_EQ(nullptr, Call());
  EXPECT_EQ(1, state_.htmlHelpFailed);
  EXPECT_NE(nullptr, state_.htmlHelpModule) << "the library stays loaded";
  EXPECT_EQ(nullptr, Call());
  EXPECT_EQ(Loads{noEntry_}, record_.loads) << "loaded once only";
  EXPECT_EQ(2, record_.entryLookups);
  EXPECT_TRUE(RecordedHelpCalls(kFakeHelpNoEntryLibrary).empty());
}

// The process-wide launcher, used once in this process.
TEST(ShowHelpTest, OpensTheHelpFileBesideTheModule) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::RegisterPath(BesideProgram(kFakeHelpLibrary));
  HMODULE fake = LoadLibraryA(BesideProgram(kFakeHelpLibrary).c_str());
  ASSERT_NE(nullptr, fake);
  const size_t before = RecordedHelpCalls(kFakeHelpLibrary).size();
  HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x5678));
  EXPECT_EQ(kFakeHelpWindow, ShowHelp(window));
  EXPECT_EQ(kFakeHelpWindow, ShowHelp(window));
  std::vector<FakeHelpCall> calls = RecordedHelpCalls(kFakeHelpLibrary);
  ASSERT_EQ(before + 2, calls.size());
  std::string expected = test::ProgramPath();
  expected = expected.substr(0, expected.find_last_of('.')) + ".chm";
  EXPECT_STREQ(expected.c_str(), calls.back().file);
  EXPECT_EQ(window, calls.back().caller);
  EXPECT_EQ(0u, calls.back().command);
  EXPECT_EQ(0u, calls.back().data);
  FreeLibrary(fake);
}

}  // namespace
}  // namespace quillet
