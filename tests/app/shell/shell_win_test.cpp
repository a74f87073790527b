// The main window, the manifest and start-up's system side, in the test's process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "app/shell/main_window_win.h"
#include "app/shell/startup_win.h"
#include "app/shell/vista_win.h"
#include "app/ui/message_loop_win.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"

namespace app::shell {
namespace {

std::wstring TempPath(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  EXPECT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  return std::wstring(temp) + name;
}

TEST(MainWindow, CarriesTheProgramsIconAndItsCloseBoxEndsTheMessageLoop) {
  Services services;
  const ScopedServices installed{services};
  MainWindow window{services};
  window.Create();
  EXPECT_NE(::GetClassLongPtrW(window.handle(), GCLP_HICON), 0);
  ::PostMessageW(window.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ui::RunMessageLoop(), 0);  // WM_QUIT
  EXPECT_EQ(window.handle(), nullptr);
}

std::string ManifestOf(const std::wstring& program) {
  const hg::win::unique_hmodule module(::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  const HRSRC found = module ? ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
  if (!found) return {};
  const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module.get(), found)));
  return bytes ? std::string(bytes, ::SizeofResource(module.get(), found)) : std::string();
}

TEST(Program, ManifestAsksForCommonControls6PerMonitorDpiAndNoElevation) {
  const std::string manifest = ManifestOf(hg::test::ProgramFolder() + L"\\Hedgerow.exe");
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  // Declaring Windows 8 or later would make the system report its true version.
  EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
}

// A custom component whose "Init" puts `replacement` (or nothing) into the
// by-reference argument, or fails.
class FakeComponent final : public hg::test::EventSink {
 public:
  FakeComponent() : EventSink(IID_IDispatch) {}
  IUnknown* replacement = nullptr;
  HRESULT outcome = S_OK;
  int calls = 0;

  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    if (std::wstring_view(names[0]) != L"Init") return DISP_E_UNKNOWNNAME;
    ids[0] = 7;
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    ++calls;
    if (id != 7 || parameters->cArgs != 1 || parameters->rgvarg[0].vt != (VT_BYREF | VT_VARIANT)) {
      return DISP_E_BADPARAMCOUNT;
    }
    VARIANT* held = parameters->rgvarg[0].pvarVal;
    if (held->vt != VT_DISPATCH || !held->pdispVal) return DISP_E_TYPEMISMATCH;
    if (replacement) {
      ::VariantClear(held);
      held->vt = VT_UNKNOWN;
      held->punkVal = replacement;
      replacement->AddRef();
    }
    return outcome;
  }
};

class StartupWin : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(apartment_.result())); }

  hg::test::ComApartment apartment_;
  engine::LibraryObjects library_;
  Services services_{.library = &library_};
  ScopedServices installed_{services_};
};

TEST_F(StartupWin, TheCustomComponentMayHandBackOnlyALogWriter) {
  const auto collection = hg::test::Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  const auto other = hg::test::Create<_axLog>(CLSID_axLog, IID__axLog);
  const struct {
    const char* what;
    IUnknown* replacement;
    HRESULT outcome;
    bool taken;
  } cases[] = {{"nothing", nullptr, S_OK, false},
               {"a collection", collection.get(), S_OK, false},
               {"another writer", other.get(), S_OK, true},
               {"another writer, failing", other.get(), E_FAIL, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramLog log;
    log.Open({}, {});
    _axLog* ours = log.writer();
    ASSERT_NE(ours, nullptr);
    FakeComponent component;
    component.replacement = c.replacement;
    component.outcome = c.outcome;
    if (SUCCEEDED(c.outcome)) {
      log.OfferTo(component);
    } else {
      EXPECT_THROW(log.OfferTo(component), Failure);
    }
    EXPECT_EQ(component.calls, 1);
    EXPECT_EQ(log.writer(), c.taken ? static_cast<_axLog*>(other.get()) : ours);
  }
  // The installed component, called as start-up calls it, leaves the writer.
  ProgramLog log;
  log.Open({}, {});
  _axLog* ours = log.writer();
  SystemStartup system(log, {});
  EXPECT_NO_THROW(system.OfferLogToCustomComponent());
  EXPECT_EQ(log.writer(), ours);
}

TEST_F(StartupWin, TheAccessCheckPassesAndKeepsTheAttributesOfAFileHeldOpen) {
  const std::wstring path = TempPath(L"hedgerow-access-check");
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(path.c_str());
  ProgramLog log;
  SystemStartup system(log, {});
  const hg::win::unique_file_handle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), kept));
  // Read-only, hidden and held open without sharing: the check still passes.
  EXPECT_NO_THROW(system.RewriteAttributes(hg::win::Narrow(path)));
  EXPECT_EQ(::GetFileAttributesW(path.c_str()) & kept, kept);
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

using unique_sid = hg::win::unique_any<hg::win::NullTraits<PSID, ::FreeSid>>;

unique_sid BuiltinGroup(DWORD rid) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  unique_sid sid;
  EXPECT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0, 0, 0, 0, 0, sid.put()));
  return sid;
}

TEST(VistaWin, EveryGroupOfALargeTokenIsExamined) {
  const unique_sid users = BuiltinGroup(DOMAIN_ALIAS_RID_USERS);
  const unique_sid admins = BuiltinGroup(DOMAIN_ALIAS_RID_ADMINS);
  constexpr DWORD kCount = 40;
  std::vector<std::uint64_t> buffer((sizeof(TOKEN_GROUPS) + kCount * sizeof(SID_AND_ATTRIBUTES)) / 8 + 1);
  auto& groups = *reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
  groups.GroupCount = kCount;
  for (DWORD i = 0; i < kCount; ++i) groups.Groups[i] = {users.get(), SE_GROUP_ENABLED};
  EXPECT_FALSE(GroupsContain(groups, admins.get()));
  // Far past the first 21 entries, and present only for denying access.
  groups.Groups[kCount - 1] = {admins.get(), SE_GROUP_USE_FOR_DENY_ONLY};
  EXPECT_TRUE(GroupsContain(groups, admins.get()));
}

TEST(VistaWin, TheLaunchersFolderHasAShortPathAndTheRestartedMarkIsTakenOnce) {
  const std::wstring folder = TempPath(L"Hedgerow short path \u00e9\u4e2d");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring shortPath = ShortPathName(folder);
  ASSERT_FALSE(shortPath.empty());
  EXPECT_EQ(shortPath.find(L' '), std::wstring::npos) << hg::win::Narrow(shortPath);
  EXPECT_NE(shortPath.rfind(L"\\\\?\\", 0), 0u);
  EXPECT_NE(::GetFileAttributesW(shortPath.c_str()), INVALID_FILE_ATTRIBUTES);
  ::RemoveDirectoryW(folder.c_str());
  EXPECT_EQ(ShortPathName(folder), L"");

  ASSERT_TRUE(::SetEnvironmentVariableW(L"HEDGEROW_RESTARTED", L"1"));
  EXPECT_TRUE(TakeRestartedMark());
  EXPECT_EQ(::GetEnvironmentVariableW(L"HEDGEROW_RESTARTED", nullptr, 0), 0u);
  EXPECT_FALSE(TakeRestartedMark());
  ::SetEnvironmentVariableW(L"HEDGEROW_RESTARTED", L"0");
  EXPECT_FALSE(TakeRestartedMark());
}

}  // namespace
}  // namespace app::shell
