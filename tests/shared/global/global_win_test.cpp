// CGlobal through its interface: the automation values it takes and gives,
// and the system's answers it passes on (its texts are tested natively).
// The shell's own headers come first: the library's header then leaves the
// shell folder names to them.
#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <filesystem>

#include "tests/shared/library_test_win.h"

namespace {

using namespace hg::test;
using hg::win::Narrow;
using TextCall = std::function<HRESULT(BSTR*)>;

// A text method's answer; a failure as its HRESULT and the source it named,
// noting a missing description.
std::wstring Answer(const TextCall& call) {
  hg::win::unique_bstr text;
  const HRESULT hr = call(text.put());
  if (SUCCEEDED(hr)) return TextOf(text);
  const ComFailure failure = LastFailure(hr);
  wchar_t code[16];
  std::swprintf(code, 16, L"%08lX", static_cast<unsigned long>(hr));
  return L"failed " + std::wstring(code) + L" in " + failure.source +
         (failure.description.empty() ? L" without a description" : L"");
}

const std::wstring kRefused = L"failed 80070057 in tkShared.CGlobal";

class GlobalTest : public ::testing::Test {
 protected:
  ComApartment com;
  hg::win::com_ptr<_CGlobal> global = Create<_CGlobal>(CLSID_CGlobal, IID__CGlobal);
};

// Each method as a caller sees it: the system's answer whole, or a refusal
// that names the class. Names and texts holding a NUL, prefixes that leave
// the temporary folder and expansions the system would cut (it stops at
// 32,766 characters without failing) are refused, never acted on in part; a
// temporary folder that is missing fails the temporary file.
TEST_F(GlobalTest, TextMethodsAnswerWholeOrRefuse) {
  const std::wstring value(2500, L'v'), longFolder = L"C:\\" + std::wstring(1500, L'w');
  const ScopedEnvironment variable(L"HG_GLOBAL_TEST", value), big(L"HG_GLOBAL_BIG", std::wstring(20000, L'v'));
  const std::wstring missing = L"C:\\hg no such folder\\";
  const ScopedEnvironment windir(L"windir", longFolder), tmp(L"TMP", missing);
  const auto expand = [this](const std::wstring& text) -> TextCall {
    return [this, text](BSTR* out) { return global->ExpandEnvironmentStrings(Bstr(text), out); };
  };
  const struct {
    const char* name;
    TextCall call;
    std::wstring expected;
  } rows[] = {
      {"WinDir", [&](BSTR* out) { return global->WinDir(out); }, longFolder},
      {"expansion", expand(L"[%HG_GLOBAL_TEST%] %windir%"), L"[" + value + L"] " + longFolder},
      {"expansion of nothing", [&](BSTR* out) { return global->ExpandEnvironmentStrings(nullptr, out); }, L""},
      {"expansion past the limit", expand(std::wstring(40000, L'x')), kRefused},
      {"expansion growing past the limit", expand(L"%HG_GLOBAL_BIG%%HG_GLOBAL_BIG%"), kRefused},
      {"expansion with a NUL", expand(std::wstring(L"a\0%windir%", 10)), kRefused},
      {"temporary file in a missing folder", [&](BSTR* out) { return global->GetTempFile(Bstr(L"hgt"), out); },
       L"failed 80004005 in tkShared.CGlobal"},
      {"temporary file prefix ..", [&](BSTR* out) { return global->GetTempFile(Bstr(L".."), out); }, kRefused},
      {"temporary file prefix a\\b", [&](BSTR* out) { return global->GetTempFile(Bstr(L"a\\b"), out); }, kRefused},
      {"SHGetFolderPath of no folder", [&](BSTR* out) { return global->SHGetFolderPath(0x7F, out); }, L""},
      {"FileVersion of a name with a NUL",
       [&](BSTR* out) { return global->FileVersion(Bstr(std::wstring(L"a.exe\0.txt", 10)), out); }, kRefused},
      {"URLEncode of a surrogate pair", [&](BSTR* out) { return global->URLEncode(Bstr(L"a\U0001F600"), out); },
       L"a%F0%9F%98%80"},
  };
  for (const auto& row : rows) EXPECT_EQ(Answer(row.call), row.expected) << row.name;
}

// Scripts see the values; a compiled client also sees the array's type and
// bounds, and passes a typed reference.
TEST_F(GlobalTest, CompiledClientsGetTypedArraysAndReferences) {
  hg::win::unique_safearray array;
  ASSERT_EQ(global->Base64DecodeB(Bstr(L"YWJjBk=="), array.put()), S_OK);
  EXPECT_EQ(hg::win::ElementTypeOf(array.get()), VT_UI1);
  EXPECT_EQ(hg::win::BoundsOf(array.get()).lower, 1);
  LONG major = -1;
  VARIANT reference = ByReference(VT_I4, &major), none = hg::win::MissingArgument();
  const std::wstring text =
      Answer([&](BSTR* out) { return global->WindowsVersion(&reference, &none, &none, &none, &none, out); });
  EXPECT_NE(text.find(L"Version: " + std::to_wstring(major) + L"."), std::wstring::npos) << Narrow(text);
}

// A temporary folder and a program folder of our own (without the data-access
// libraries): the probe for the database engine leaves no file behind.
TEST_F(GlobalTest, TemporaryFilesAndTheDatabaseProbesInFoldersOfOurOwn) {
  const std::wstring temp = Answer([&](BSTR* out) { return global->GetTempPath(out); }) + L"hg_global\\";
  std::filesystem::create_directories(temp);
  const ScopedEnvironment programFiles(L"ProgramFiles", temp), tmp(L"TMP", temp);
  hg::win::Variant mdac = Text(L"stale"), engine = Text(L"stale");
  EXPECT_EQ(global->MDACJetVersion(Ref(mdac), Ref(engine)), S_OK);
  EXPECT_EQ(TextOf(mdac.get()) + L"|" + TextOf(engine.get()), L"|");
  const std::wstring path = Answer([&](BSTR* out) { return global->GetTempFile(Bstr(L"hgt"), out); });
  EXPECT_EQ(path.rfind(temp + L"hgt", 0), 0u) << Narrow(path);
  ::DeleteFileW(path.c_str());
  EXPECT_FALSE(Flag([&](VARIANT_BOOL* r) { return global->IsDAOAvailable(r); }));
  EXPECT_TRUE(std::filesystem::is_empty(temp));
  std::filesystem::remove_all(temp);
}

TEST(GlobalScript, LateBoundFromVBScript) { ExpectScriptPasses(L"global_test.vbs"); }

}  // namespace
