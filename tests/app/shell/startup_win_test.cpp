#include "app/shell/startup_win.h"

#include <gtest/gtest.h>

#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"

namespace app::shell {
namespace {

using hg::win::com_ptr;

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
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                      EXCEPINFO*, UINT*) override {
    ++calls;
    if (id != 7 || parameters->cArgs != 1 ||
        parameters->rgvarg[0].vt != (VT_BYREF | VT_VARIANT)) {
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
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    log_.Open({}, {});
    ASSERT_NE(log_.writer(), nullptr);
  }

  hg::test::ComApartment apartment_;
  engine::LibraryObjects library_;
  Services services_{.library = &library_};
  ScopedServices installed_{services_};
  ProgramLog log_;
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
}

// The installed component, called as start-up calls it, leaves the writer.
TEST_F(StartupWin, TheCustomComponentsInitKeepsTheWriter) {
  _axLog* ours = log_.writer();
  SystemStartup system(log_, {});
  EXPECT_NO_THROW(system.OfferLogToCustomComponent());
  EXPECT_EQ(log_.writer(), ours);
}

TEST_F(StartupWin, TheAccessCheckKeepsAttributesAndRefusesAMissingFile) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring path = std::wstring(temp) + L"hedgerow-access-check";
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(path.c_str());
  ProgramLog log;
  SystemStartup system(log, {});
  EXPECT_ANY_THROW(system.RewriteAttributes(hg::win::Narrow(path)));
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

TEST_F(StartupWin, TheWindowsFolderAndVersionComeFromTheLibrary) {
  ProgramLog log;
  SystemStartup system(log, {});
  std::int32_t platform = 0;
  EXPECT_FALSE(system.WindowsVersion(platform).empty());
  EXPECT_EQ(platform, 2);
  EXPECT_EQ(HostsFilePathOf(system.ExpandWindowsFolder(), platform),
            "C:\\windows\\system32\\drivers\\etc\\hosts");
  wchar_t saved[MAX_PATH];
  ASSERT_GT(::GetEnvironmentVariableW(L"windir", saved, MAX_PATH), 0u);
  ::SetEnvironmentVariableW(L"windir", nullptr);
  const std::string expanded = system.ExpandWindowsFolder();
  ::SetEnvironmentVariableW(L"windir", saved);
  EXPECT_EQ(expanded, "");
}

}  // namespace
}  // namespace app::shell
