// CGlobal through its interface: the automation values it takes and gives,
// and the system's answers it passes on (its texts are tested natively).
// The shell's own headers come first: the library's header then leaves the
// shell folder names to them.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Bstr;
using hg::test::Environment;
using hg::test::Flag;
using hg::test::LastFailure;
using hg::test::Long;
using hg::test::ScopedEnvironment;
using hg::test::Str;
using hg::win::com_ptr;
using hg::win::unique_bstr;
using hg::win::unique_safearray;
using hg::win::Variant;

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH];
  return std::wstring(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
}

std::wstring Kernel32() { return Environment(L"windir") + L"\\system32\\kernel32.dll"; }

// Type, bounds and raw elements of an array, as "type lower..upper: bytes".
std::string Described(SAFEARRAY* array) {
  VARTYPE type = VT_EMPTY;
  ::SafeArrayGetVartype(array, &type);
  const auto bounds = hg::win::BoundsOf(array);
  const hg::win::ArrayAccess access(array);
  const std::string bytes(access.data<char>(), bounds.count() * ::SafeArrayGetElemsize(array));
  return std::to_string(type) + " " + std::to_string(bounds.lower) + ".." + std::to_string(bounds.upper) + ": " +
         bytes;
}

class GlobalTest : public ::testing::Test {
 protected:
  std::wstring Format(const wchar_t* text, const VARIANT& params) {
    return Str([&](BSTR* out) { return global->FormatString(Bstr(text), params, out); });
  }
  std::wstring FileVersion(const std::wstring& file) {
    return Str([&](BSTR* out) { return global->FileVersion(Bstr(file), out); });
  }

  hg::test::ComApartment com;
  com_ptr<_CGlobal> global = hg::test::Create<_CGlobal>(CLSID_CGlobal, IID__CGlobal);
};

TEST_F(GlobalTest, NewGuidIsTheRegistryFormAndNew) {
  const std::wstring first = Str([&](BSTR* out) { return global->newGuid(out); });
  GUID parsed;
  ASSERT_EQ(first.size(), 38u);
  EXPECT_EQ(::CLSIDFromString(first.c_str(), &parsed), S_OK);
  EXPECT_NE(first, Str([&](BSTR* out) { return global->newGuid(out); }));
}

TEST_F(GlobalTest, FormatStringConvertsParametersAsAutomationDoesOrRefusesThem) {
  std::vector<Variant> items;
  items.push_back(hg::test::Text(L"file"));
  items.push_back(hg::test::Bool(true));
  items.push_back(Long(42));
  items.push_back(hg::test::Bool(false));
  EXPECT_EQ(Format(L"%1 %2 %3 %4 %5", hg::test::Variants(std::move(items), 5).get()), L"file True 42 False %5");
  VARIANT unallocated;
  unallocated.vt = VT_ARRAY | VT_VARIANT;
  unallocated.parray = nullptr;
  EXPECT_EQ(Format(L"%1", unallocated), L"%1");

  unique_bstr result;
  EXPECT_EQ(global->FormatString(Bstr(L"%1"), hg::test::Text(L"x").get(), result.put()), DISP_E_TYPEMISMATCH);
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  const Variant square = hg::test::Holding(::SafeArrayCreate(VT_VARIANT, 2, bounds));
  const auto failure = LastFailure(global->FormatString(Bstr(L"%1"), square.get(), result.put()));
  EXPECT_EQ(failure.hr, E_INVALIDARG);
  EXPECT_EQ(failure.source, L"tkShared.CGlobal");
  EXPECT_FALSE(failure.description.empty());
}

TEST_F(GlobalTest, ByteAndLongArraysComeBackIndexedFromOne) {
  unique_safearray array;
  ASSERT_EQ(global->Base64DecodeB(Bstr(L"YWJjBk=="), array.put()), S_OK);
  EXPECT_EQ(Described(array.get()), "17 1..4: abcd");
  ASSERT_EQ(global->Base64DecodeB(nullptr, array.put()), S_OK);
  EXPECT_EQ(Described(array.get()), "17 1..0: ");
  ASSERT_EQ(global->ByteArrayToLongArray(hg::test::Bytes(std::string_view("\1\0\0\0\2\0\0\0\x09",
      9)).get(), array.put()), S_OK);
  EXPECT_EQ(Described(array.get()), std::string("3 1..2: \1\0\0\0\2\0\0\0", 16));
  const Variant longs = hg::test::Holding(array.release(), VT_I4);
  ASSERT_EQ(global->LongArrayToByteArray(longs.get(), array.put()), S_OK);
  EXPECT_EQ(Described(array.get()), std::string("17 1..8: \1\0\0\0\2\0\0\0", 17));
}

TEST_F(GlobalTest, Base64EncodeBTakesBytesAndRefusesNumbersBeyondAByte) {
  EXPECT_EQ(Str([&](BSTR* out) { return global->Base64EncodeB(hg::test::Bytes("abcd").get(), out); }), L"YWJjBk==");
  std::vector<Variant> tooBig;
  tooBig.push_back(Long(256));
  unique_bstr result;
  EXPECT_TRUE(FAILED(global->Base64EncodeB(hg::test::Variants(std::move(tooBig)).get(), result.put())));
}

TEST_F(GlobalTest, IsArrayEmptyOnlyForArraysWithoutElements) {
  const auto isEmpty = [&](const VARIANT& v) {
    return Flag([&](VARIANT_BOOL* r) { return global->IsArrayEmpty(v, r); });
  };
  VARIANT unallocated;
  unallocated.vt = VT_ARRAY | VT_VARIANT;
  unallocated.parray = nullptr;
  EXPECT_TRUE(isEmpty(unallocated));
  EXPECT_TRUE(isEmpty(hg::test::Variants({}).get()));
  EXPECT_TRUE(isEmpty(hg::test::Text(L"not an array").get()));
  std::vector<Variant> one;
  one.push_back(Long(1));
  const Variant single = hg::test::Variants(std::move(one));
  EXPECT_FALSE(isEmpty(single.get()));
  VARIANT reference;
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = hg::test::Ref(single);
  EXPECT_FALSE(isEmpty(reference));
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};
  EXPECT_FALSE(isEmpty(hg::test::Holding(::SafeArrayCreate(VT_VARIANT, 2, bounds)).get()));
}

TEST_F(GlobalTest, WinDirAndExpansionsComeBackWhole) {
  const auto winDir = [&] { return Str([&](BSTR* out) { return global->WinDir(out); }); };
  EXPECT_EQ(winDir(), Environment(L"windir"));
  EXPECT_TRUE(std::filesystem::is_directory(winDir()));
  const std::wstring value(2500, L'v');
  const ScopedEnvironment variable(L"HG_GLOBAL_TEST", value);
  const auto expand = [&](BSTR text) {
    return Str([&](BSTR* out) { return global->ExpandEnvironmentStrings(text, out); });
  };
  EXPECT_EQ(expand(Bstr(L"[%HG_GLOBAL_TEST%] %windir%")), L"[" + value + L"] " + Environment(L"windir"));
  EXPECT_EQ(expand(nullptr), L"");
  const std::wstring longFolder = L"C:\\" + std::wstring(1500, L'w');
  const ScopedEnvironment windir(L"windir", longFolder);
  EXPECT_EQ(winDir(), longFolder);
}

// The system stops expanding at 32,766 characters without failing: the head
// of a text is never returned as if it were the whole.
TEST_F(GlobalTest, ExpandEnvironmentStringsRefusesWhatItCannotExpandWhole) {
  const ScopedEnvironment variable(L"HG_GLOBAL_TEST", std::wstring(20000, L'v'));
  const std::wstring withNul = std::wstring(L"a") + L'\0' + L"%windir%";
  for (const std::wstring& text :
       {std::wstring(40000, L'x'), std::wstring(L"%HG_GLOBAL_TEST%%HG_GLOBAL_TEST%"), withNul}) {
    unique_bstr result;
    EXPECT_EQ(LastFailure(global->ExpandEnvironmentStrings(Bstr(text), result.put())).hr, E_INVALIDARG);
  }
}

TEST_F(GlobalTest, GetTempFileRefusesAPrefixThatLeavesTheTemporaryFolder) {
  for (const wchar_t* prefix : {L"..\\", L"../", L"a\\b"}) {
    unique_bstr file;
    EXPECT_EQ(LastFailure(global->GetTempFile(Bstr(prefix), file.put())).hr, E_INVALIDARG)
        << hg::win::Narrow(prefix) << " gave " << hg::win::Narrow(hg::test::TextOf(file));
  }
}

TEST_F(GlobalTest, TempPathAndTempFile) {
  const std::wstring folder = Str([&](BSTR* out) { return global->GetTempPath(out); });
  wchar_t expected[MAX_PATH + 1];
  EXPECT_EQ(folder, std::wstring(expected, ::GetTempPathW(MAX_PATH + 1, expected)));
  EXPECT_EQ(folder.back(), L'\\');
  const std::wstring path = Str([&](BSTR* out) { return global->GetTempFile(Bstr(L"hgt"), out); });
  EXPECT_EQ(path.rfind(folder + L"hgt", 0), 0u) << hg::win::Narrow(path);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  ::DeleteFileW(path.c_str());

  const std::wstring missing = Environment(L"windir") + L"\\no such folder\\";
  const ScopedEnvironment tmp(L"TMP", missing), temp(L"TEMP", missing);
  unique_bstr file;
  const auto failure = LastFailure(global->GetTempFile(Bstr(L"hgt"), file.put()));
  EXPECT_EQ(failure.hr, E_FAIL);
  EXPECT_EQ(failure.description.rfind(L"Cannot create a temporary file. ", 0),
      0u) << hg::win::Narrow(failure.description);
  EXPECT_GT(failure.description.size(), 32u);  // the system message follows
}

TEST_F(GlobalTest, ShellFoldersAreTheShellsAnswers) {
  const auto folder = [&](int id) { return Str([&](BSTR* out) { return global->SHGetFolderPath(id, out); }); };
  wchar_t expected[MAX_PATH];
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, expected), S_OK);
  EXPECT_EQ(Str([&](BSTR* out) { return global->LocalApplicationDataFolder(out); }), expected);
  EXPECT_EQ(folder(CSIDL_LOCAL_APPDATA), expected);
  EXPECT_EQ(_wcsicmp(folder(CSIDL_WINDOWS).c_str(), Environment(L"windir").c_str()), 0);
  EXPECT_EQ(folder(0x7F), L"");  // no such folder
}

TEST_F(GlobalTest, FileVersionReadsTheFixedVersion) {
  EXPECT_EQ(FileVersion(ThisProgram()), L"1.2.3.65535");
  const std::wstring kernel = Kernel32();
  DWORD ignored = 0;
  std::vector<BYTE> resource(::GetFileVersionInfoSizeW(kernel.c_str(), &ignored));
  ASSERT_TRUE(::GetFileVersionInfoW(kernel.c_str(), 0, static_cast<DWORD>(resource.size()), resource.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(resource.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(FileVersion(kernel), std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                     std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                     std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                     std::to_wstring(LOWORD(fixed->dwFileVersionLS)));
  EXPECT_EQ(FileVersion(hg::test::ProgramFolder() + L"\\global_test.vbs"), L"");
}

class FileVersionInfoTest : public GlobalTest {
 protected:
  com_ptr<_CCollection> Info(const std::wstring& file) {
    com_ptr<_CCollection> fields;
    EXPECT_EQ(global->FileVersionInfo(Bstr(file), fields.put()), S_OK);
    return fields;
  }
  static std::wstring Item(const com_ptr<_CCollection>& fields, const wchar_t* key) {
    Variant value;
    if (!fields || FAILED(fields->get_Item(hg::test::Text(key).get(), value.put()))) return L"<none>";
    return hg::test::TextOf(value.get());
  }
};

TEST_F(FileVersionInfoTest, HoldsTheFieldsThatExistKeyedByName) {
  const com_ptr<_CCollection> fields = Info(ThisProgram());
  EXPECT_EQ(hg::test::Items(fields.get()).size(), 6u);
  EXPECT_EQ(Item(fields, L"ProductVersion"), L"4.5 beta");
  // The resource spells it "OriginalFilename"; the key is the library's name.
  EXPECT_EQ(Item(fields, L"OriginalFileName"), L"probe.exe");
  EXPECT_EQ(Item(fields, L"FileDescription"), L"Version probe");
  // Longer than the 1,024 characters of the old copy buffer, and whole.
  const std::wstring company = Item(fields, L"CompanyName");
  EXPECT_EQ(company.size(), 22u + 1100u);
  EXPECT_EQ(company.rfind(L"Hedgerow test company x", 0), 0u);
  EXPECT_EQ(Item(fields, L"InternalName"), L"<none>");
  // Empty without a version resource.
  EXPECT_TRUE(hg::test::Items(Info(hg::test::ProgramFolder() + L"\\global_test.vbs").get()).empty());
  EXPECT_TRUE(hg::test::Items(Info(hg::test::ProgramFolder() + L"\\no such file.dll").get()).empty());
}

TEST_F(FileVersionInfoTest, ReadsTheSystemsOwnLibrary) {
  const std::wstring kernel = Kernel32();
  DWORD ignored = 0;
  std::vector<BYTE> resource(::GetFileVersionInfoSizeW(kernel.c_str(), &ignored));
  ASSERT_TRUE(::GetFileVersionInfoW(kernel.c_str(), 0, static_cast<DWORD>(resource.size()), resource.data()));
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(resource.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
  wchar_t block[64];
  swprintf(block, 64, L"\\StringFileInfo\\%04X%04X\\FileVersion", translation[0], translation[1]);
  wchar_t* expected = nullptr;
  ASSERT_TRUE(::VerQueryValueW(resource.data(), block, reinterpret_cast<void**>(&expected), &length));
  EXPECT_EQ(Item(Info(kernel), L"FileVersion"), expected);
}

TEST_F(GlobalTest, WindowsVersionFillsWhatIsAskedForEvenThroughTypedReferences) {
  OSVERSIONINFOW expected{};
  expected.dwOSVersionInfoSize = sizeof(expected);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(::GetVersionExW(&expected));
#pragma GCC diagnostic pop
  Variant major, minor, build, platform, servicePack;
  const std::wstring full = Str([&](BSTR* out) {
    return global->WindowsVersion(major.put(), minor.put(), build.put(), platform.put(), servicePack.put(), out);
  });
  ASSERT_EQ(major.type(), VT_I4);
  EXPECT_EQ(static_cast<DWORD>(major.get().lVal), expected.dwMajorVersion);
  EXPECT_EQ(static_cast<DWORD>(minor.get().lVal), expected.dwMinorVersion);
  EXPECT_EQ(static_cast<DWORD>(build.get().lVal), expected.dwBuildNumber & 0xFFFF);
  EXPECT_EQ(static_cast<DWORD>(platform.get().lVal), expected.dwPlatformId);
  EXPECT_EQ(hg::test::TextOf(servicePack.get()), expected.szCSDVersion);
  EXPECT_EQ(full, L"Platform: Windows NT. Version: " + std::to_wstring(expected.dwMajorVersion) + L"." +
                      std::to_wstring(expected.dwMinorVersion) + L"." +
                      std::to_wstring(expected.dwBuildNumber & 0xFFFF) + L". " + expected.szCSDVersion);

  VARIANT none[5] = {hg::win::MissingArgument(), hg::win::MissingArgument(), hg::win::MissingArgument(),
                     hg::win::MissingArgument(), hg::win::MissingArgument()};
  EXPECT_EQ(Str([&](BSTR* out) { return global->WindowsVersion(&none[0], &none[1], &none[2],
      &none[3], &none[4], out); }),
            full);
  EXPECT_EQ(none[0].vt, VT_ERROR);
  LONG typedMajor = -1;
  VARIANT reference;
  reference.vt = VT_BYREF | VT_I4;
  reference.plVal = &typedMajor;
  EXPECT_EQ(Str([&](BSTR* out) { return global->WindowsVersion(&reference, &none[1], &none[2],
      &none[3], &none[4], out); }),
            full);
  EXPECT_EQ(static_cast<DWORD>(typedMajor), expected.dwMajorVersion);
}

TEST_F(GlobalTest, MachineFacts) {
  wchar_t expected[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(::GetComputerNameW(expected, &length));
  EXPECT_EQ(Str([&](BSTR* out) { return global->LocalSystemName(out); }), std::wstring(expected, length));
  EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) { return global->IsWindows64bit(r); }));  // a 64-bit build
  const std::wstring cpu = Str([&](BSTR* out) { return global->GetCPUType(out); });
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  EXPECT_EQ(system.dwProcessorType == 586 ? cpu.substr(0, 21) : cpu,
            system.dwProcessorType == 586 ? L"Intel Pentium Family " : L"(unknown)");
  const auto message = [&](LONG code) {
    return Str([&](BSTR* out) { return global->FormatMessageFromSystem(code, out); });
  };
  hg::test::ExpectSystemMessageForm(message(ERROR_ACCESS_DENIED));
  EXPECT_EQ(message(0x2000ABCD), L"");
}

TEST_F(GlobalTest, IsConnectedRaisesNotImplementedAndIsDAOAvailableIsFalseLeavingNoFile) {
  VARIANT_BOOL answer = VARIANT_TRUE;
  const auto failure = LastFailure(global->IsConnected(&answer));
  EXPECT_EQ(failure.hr, E_NOTIMPL);
  EXPECT_FALSE(failure.description.empty());
  const auto temporaryFiles = [&] {
    std::vector<std::wstring> names;
    const std::wstring folder = Str([&](BSTR* out) { return global->GetTempPath(out); });
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename().wstring().starts_with(L"gk")) names.push_back(entry.path().filename());
    }
    return names;
  };
  const auto before = temporaryFiles();
  EXPECT_FALSE(Flag([&](VARIANT_BOOL* r) { return global->IsDAOAvailable(r); }));  // the prefix has no database engine
  EXPECT_EQ(temporaryFiles(), before);
}

TEST_F(GlobalTest, MDACJetVersionReportsComponentsWhoseFilesAllExist) {
  // A program folder and a Windows folder of our own, with this program (whose
  // version is known) standing in for the components' files.
  wchar_t tempFolder[MAX_PATH];
  const std::wstring root = std::wstring(tempFolder, ::GetTempPathW(MAX_PATH, tempFolder)) + L"hg_global_mdac";
  const std::wstring ado = root + L"\\Program Files\\Common Files\\System\\ado\\msado15.dll";
  const std::wstring dao = root + L"\\Program Files\\Common Files\\Microsoft Shared\\DAO\\dao360.dll";
  const std::wstring jet = root + L"\\Windows\\system32\\msjet40.dll";
  for (const std::wstring& file : {ado, dao, jet}) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  }
  ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), ado.c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), dao.c_str(), FALSE));
  const ScopedEnvironment programFiles(L"ProgramFiles", root + L"\\Program Files");
  const ScopedEnvironment windir(L"windir", root + L"\\Windows");
  const auto versions = [&] {
    Variant mdac = hg::test::Text(L"stale"), engine = hg::test::Text(L"stale");
    EXPECT_EQ(global->MDACJetVersion(hg::test::Ref(mdac), hg::test::Ref(engine)), S_OK);
    return hg::test::TextOf(mdac.get()) + L"|" + hg::test::TextOf(engine.get());
  };
  // Wine reads the version of a file named like one of its own libraries
  // (msado15.dll) from its own library, so the first list's answer is whatever
  // FileVersion says of that path.
  const std::wstring adoVersion = FileVersion(ado);
  EXPECT_EQ(versions(), adoVersion + L"|");  // the engine's second file is missing
  ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), jet.c_str(), FALSE));
  EXPECT_EQ(versions(), adoVersion + L"|1.2.3.65535");
  ::DeleteFileW(ado.c_str());
  EXPECT_EQ(versions(), L"|1.2.3.65535");
  std::filesystem::remove_all(root);
}

// A window that counts the messages it receives.
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP) ++*reinterpret_cast<int*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  return ::DefWindowProcW(window, message, w, l);
}

TEST_F(GlobalTest, DoEventsADispatchesOneMessagePerCall) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"HgGlobalDoEventsTest";
  ::RegisterClassW(&windowClass);
  hg::win::unique_hwnd window(::CreateWindowW(L"HgGlobalDoEventsTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                              windowClass.hInstance, nullptr));
  ASSERT_TRUE(window);
  int received = 0;
  ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  MSG pending;
  while (::PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&pending);
  ::PostMessageW(window.get(), WM_APP, 0, 0);
  ::PostMessageW(window.get(), WM_APP, 0, 0);
  for (int expected : {1, 2}) {
    ASSERT_EQ(global->DoEventsA(), S_OK);
    EXPECT_EQ(received, expected);
  }
}

TEST(GlobalScripts, ScriptClients) {
  for (const wchar_t* script : {L"global_test.vbs", L"global_test.js"}) hg::test::ExpectScriptPasses(script);
}

}  // namespace
