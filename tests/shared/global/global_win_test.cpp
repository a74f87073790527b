// The shell's own headers come first: the library's header then leaves the
// shell folder names to them.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::win::com_ptr;
using hg::win::unique_bstr;
using hg::win::unique_safearray;
using hg::win::Variant;

std::wstring Text(const unique_bstr& text) {
  return text ? std::wstring(text.get(), ::SysStringLen(text.get())) : std::wstring();
}

// A variant that owns a one-dimensional array of variants with the given lower bound.
Variant VariantArray(std::vector<Variant> items, LONG lower = 0) {
  Variant array;
  SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()), lower};
  SAFEARRAY* created = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    LONG index = lower + i;
    ::SafeArrayPutElement(created, &index, const_cast<VARIANT*>(&items[i].get()));
  }
  VARIANT* slot = array.put();
  slot->vt = VT_ARRAY | VT_VARIANT;
  slot->parray = created;
  return array;
}

// A variant that owns the array.
Variant Holding(VARTYPE elementType, SAFEARRAY* array) {
  Variant v;
  VARIANT* slot = v.put();
  slot->vt = VT_ARRAY | elementType;
  slot->parray = array;
  return v;
}

Variant OfText(const wchar_t* text) {
  Variant v;
  VARIANT* slot = v.put();
  slot->bstrVal = ::SysAllocString(text);
  slot->vt = VT_BSTR;
  return v;
}

Variant OfNumber(LONG number) {
  Variant v;
  VARIANT* slot = v.put();
  slot->vt = VT_I4;
  slot->lVal = number;
  return v;
}

Variant OfBool(bool value) {
  Variant v;
  VARIANT* slot = v.put();
  slot->vt = VT_BOOL;
  slot->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant ByteArray(const std::vector<BYTE>& bytes) {
  Variant v;
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  ::SafeArrayAccessData(array, &data);
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  ::SafeArrayUnaccessData(array);
  VARIANT* slot = v.put();
  slot->vt = VT_ARRAY | VT_UI1;
  slot->parray = array;
  return v;
}

struct ArrayContents {
  VARTYPE type = VT_EMPTY;
  LONG lower = 0;
  LONG upper = 0;
  std::vector<BYTE> bytes;  // the raw elements
};

ArrayContents Contents(SAFEARRAY* array) {
  ArrayContents contents;
  ::SafeArrayGetVartype(array, &contents.type);
  ::SafeArrayGetLBound(array, 1, &contents.lower);
  ::SafeArrayGetUBound(array, 1, &contents.upper);
  void* data = nullptr;
  ::SafeArrayAccessData(array, &data);
  const auto* first = static_cast<const BYTE*>(data);
  contents.bytes.assign(first,
                        first + (contents.upper - contents.lower + 1) * ::SafeArrayGetElemsize(array));
  ::SafeArrayUnaccessData(array);
  return contents;
}

using Failure = hg::test::ComFailure;
using hg::test::LastFailure;

std::wstring Environment(const wchar_t* name) {
  wchar_t value[32768];
  const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
  return std::wstring(value, length < 32768 ? length : 0);
}

// Sets an environment variable of this process for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value)
      : name_(name), old_(Environment(name)) {
    ::SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { ::SetEnvironmentVariableW(name_, old_.empty() ? nullptr : old_.c_str()); }

 private:
  const wchar_t* name_;
  std::wstring old_;
};

std::vector<std::wstring> FilesMatching(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

class GlobalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::CoCreateInstance(CLSID_CGlobal, nullptr, CLSCTX_INPROC_SERVER, IID__CGlobal,
                                 global.put_void()),
              S_OK);
  }

  std::wstring Format(const wchar_t* text, const VARIANT& params) {
    unique_bstr result;
    EXPECT_EQ(global->FormatString(unique_bstr(::SysAllocString(text)).get(), params,
                                   result.put()),
              S_OK);
    return Text(result);
  }

  hg::test::ComApartment com;
  com_ptr<_CGlobal> global;
};

TEST(GlobalCreation, ByProgIdAndByClsid) {
  hg::test::ComApartment com;
  CLSID clsid;
  ASSERT_EQ(::CLSIDFromProgID(L"tkShared.CGlobal", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_CGlobal);
  com_ptr<IDispatch> object;
  EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               object.put_void()),
            S_OK);
}

TEST_F(GlobalTest, NewGuidIsTheRegistryFormAndNew) {
  unique_bstr first, second;
  ASSERT_EQ(global->newGuid(first.put()), S_OK);
  ASSERT_EQ(global->newGuid(second.put()), S_OK);
  const std::wstring text = Text(first);
  ASSERT_EQ(text.size(), 38u);
  EXPECT_EQ(text.front(), L'{');
  EXPECT_EQ(text[9], L'-');
  EXPECT_EQ(text[14], L'-');
  EXPECT_EQ(text[19], L'-');
  EXPECT_EQ(text[24], L'-');
  GUID parsed;
  EXPECT_EQ(::CLSIDFromString(first.get(), &parsed), S_OK);
  EXPECT_NE(text, Text(second));
}

TEST_F(GlobalTest, FormatStringConvertsParametersAsAutomationDoes) {
  std::vector<Variant> items;
  items.push_back(OfText(L"file"));
  items.push_back(OfBool(true));
  items.push_back(OfNumber(42));
  items.push_back(OfBool(false));
  const Variant params = VariantArray(std::move(items), 5);
  EXPECT_EQ(Format(L"%1 %2 %3 %4 %5", params.get()), L"file True 42 False %5");
}

TEST_F(GlobalTest, FormatStringRefusesWhatIsNoListOfParameters) {
  unique_bstr result;
  const unique_bstr text(::SysAllocString(L"%1"));
  Variant notArray = OfText(L"x");
  EXPECT_EQ(global->FormatString(text.get(), notArray.get(), result.put()), DISP_E_TYPEMISMATCH);

  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  const Variant square = Holding(VT_VARIANT, ::SafeArrayCreate(VT_VARIANT, 2, bounds));
  const Failure failure = LastFailure(global->FormatString(text.get(), square.get(), result.put()));
  EXPECT_EQ(failure.hr, E_INVALIDARG);
  EXPECT_EQ(failure.source, L"tkShared.CGlobal");
  EXPECT_FALSE(failure.description.empty());

  VARIANT unallocated;
  unallocated.vt = VT_ARRAY | VT_VARIANT;
  unallocated.parray = nullptr;
  EXPECT_EQ(Format(L"%1", unallocated), L"%1");
}

TEST_F(GlobalTest, ByteArraysComeBackIndexedFromOne) {
  unique_safearray bytes;
  ASSERT_EQ(global->Base64DecodeB(unique_bstr(::SysAllocString(L"YWJjBk==")).get(), bytes.put()),
            S_OK);
  const ArrayContents decoded = Contents(bytes.get());
  EXPECT_EQ(decoded.type, VT_UI1);
  EXPECT_EQ(decoded.lower, 1);
  EXPECT_EQ(decoded.upper, 4);
  EXPECT_EQ(decoded.bytes, (std::vector<BYTE>{'a', 'b', 'c', 'd'}));

  ASSERT_EQ(global->Base64DecodeB(nullptr, bytes.put()), S_OK);
  const ArrayContents empty = Contents(bytes.get());
  EXPECT_EQ(empty.lower, 1);
  EXPECT_EQ(empty.upper, 0);
}

TEST_F(GlobalTest, Base64EncodeBTakesBytesAndRefusesNumbersBeyondAByte) {
  unique_bstr result;
  ASSERT_EQ(global->Base64EncodeB(ByteArray({'a', 'b', 'c', 'd'}).get(), result.put()), S_OK);
  EXPECT_EQ(Text(result), L"YWJjBk==");
  std::vector<Variant> tooBig;
  tooBig.push_back(OfNumber(256));
  EXPECT_TRUE(FAILED(global->Base64EncodeB(VariantArray(std::move(tooBig)).get(), result.put())));
}

TEST_F(GlobalTest, LongArraysConvertLittleEndian) {
  unique_safearray longs;
  ASSERT_EQ(global->ByteArrayToLongArray(ByteArray({1, 0, 0, 0, 2, 0, 0, 0, 9}).get(),
                                         longs.put()),
            S_OK);
  const ArrayContents values = Contents(longs.get());
  EXPECT_EQ(values.type, VT_I4);
  EXPECT_EQ(values.lower, 1);
  EXPECT_EQ(values.upper, 2);
  EXPECT_EQ(values.bytes, (std::vector<BYTE>{1, 0, 0, 0, 2, 0, 0, 0}));

  const Variant held = Holding(VT_I4, longs.release());
  unique_safearray bytes;
  ASSERT_EQ(global->LongArrayToByteArray(held.get(), bytes.put()), S_OK);
  const ArrayContents back = Contents(bytes.get());
  EXPECT_EQ(back.lower, 1);
  EXPECT_EQ(back.bytes, (std::vector<BYTE>{1, 0, 0, 0, 2, 0, 0, 0}));
}

TEST_F(GlobalTest, IsArrayEmptyOnlyForArraysWithoutElements) {
  const auto isEmpty = [&](const VARIANT& v) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(global->IsArrayEmpty(v, &result), S_OK);
    return result == VARIANT_TRUE;
  };
  VARIANT unallocated;
  unallocated.vt = VT_ARRAY | VT_VARIANT;
  unallocated.parray = nullptr;
  EXPECT_TRUE(isEmpty(unallocated));
  EXPECT_TRUE(isEmpty(VariantArray({}).get()));
  EXPECT_TRUE(isEmpty(OfText(L"not an array").get()));
  std::vector<Variant> one;
  one.push_back(OfNumber(1));
  const Variant single = VariantArray(std::move(one));
  EXPECT_FALSE(isEmpty(single.get()));
  VARIANT reference;
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = const_cast<VARIANT*>(&single.get());
  EXPECT_FALSE(isEmpty(reference));
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};
  const Variant square = Holding(VT_VARIANT, ::SafeArrayCreate(VT_VARIANT, 2, bounds));
  EXPECT_FALSE(isEmpty(square.get()));
}

TEST_F(GlobalTest, WinDirIsTheWindowsFolderWhole) {
  unique_bstr result;
  ASSERT_EQ(global->WinDir(result.put()), S_OK);
  EXPECT_EQ(Text(result), Environment(L"windir"));
  EXPECT_NE(::GetFileAttributesW(result.get()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  const std::wstring longFolder = L"C:\\" + std::wstring(1500, L'w');
  ScopedEnvironment windir(L"windir", longFolder);
  ASSERT_EQ(global->WinDir(result.put()), S_OK);
  EXPECT_EQ(Text(result), longFolder);
}

TEST_F(GlobalTest, ExpandEnvironmentStringsReturnsLongExpansionsWhole) {
  const std::wstring value(2500, L'v');
  ScopedEnvironment variable(L"HG_GLOBAL_TEST", value);
  unique_bstr result;
  ASSERT_EQ(global->ExpandEnvironmentStrings(
                unique_bstr(::SysAllocString(L"[%HG_GLOBAL_TEST%] %windir%")).get(), result.put()),
            S_OK);
  EXPECT_EQ(Text(result), L"[" + value + L"] " + Environment(L"windir"));
  ASSERT_EQ(global->ExpandEnvironmentStrings(nullptr, result.put()), S_OK);
  EXPECT_EQ(Text(result), L"");
}

// The system stops expanding at 32,766 characters without failing: the head
// of a text is never returned as if it were the whole.
TEST_F(GlobalTest, ExpandEnvironmentStringsRefusesWhatItCannotExpandWhole) {
  const std::wstring value(20000, L'v');
  ScopedEnvironment variable(L"HG_GLOBAL_TEST", value);
  const std::wstring withNul = std::wstring(L"a") + L'\0' + L"%windir%";
  for (const std::wstring& text :
       {std::wstring(40000, L'x'), std::wstring(L"%HG_GLOBAL_TEST%%HG_GLOBAL_TEST%"), withNul}) {
    unique_bstr result;
    const unique_bstr source(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    EXPECT_EQ(LastFailure(global->ExpandEnvironmentStrings(source.get(), result.put())).hr,
              E_INVALIDARG);
  }
}

TEST_F(GlobalTest, GetTempFileRefusesAPrefixThatLeavesTheTemporaryFolder) {
  for (const wchar_t* prefix : {L"..\\", L"../", L"a\\b"}) {
    unique_bstr file;
    EXPECT_EQ(LastFailure(global->GetTempFile(unique_bstr(::SysAllocString(prefix)).get(),
                                              file.put())).hr,
              E_INVALIDARG)
        << hg::win::Narrow(prefix) << " gave " << hg::win::Narrow(Text(file));
  }
}

TEST_F(GlobalTest, TempPathAndTempFile) {
  unique_bstr folder, file;
  ASSERT_EQ(global->GetTempPath(folder.put()), S_OK);
  wchar_t expected[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, expected);
  EXPECT_EQ(Text(folder), std::wstring(expected, length));
  EXPECT_EQ(Text(folder).back(), L'\\');

  ASSERT_EQ(global->GetTempFile(unique_bstr(::SysAllocString(L"hgt")).get(), file.put()), S_OK);
  const std::wstring path = Text(file);
  EXPECT_EQ(path.rfind(Text(folder) + L"hgt", 0), 0u) << hg::win::Narrow(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 0u);
  ::DeleteFileW(path.c_str());
}

TEST_F(GlobalTest, GetTempFileRaisesWhenTheFolderIsMissing) {
  const std::wstring missing = Environment(L"windir") + L"\\no such folder\\";
  ScopedEnvironment tmp(L"TMP", missing);
  ScopedEnvironment temp(L"TEMP", missing);
  unique_bstr file;
  const Failure failure =
      LastFailure(global->GetTempFile(unique_bstr(::SysAllocString(L"hgt")).get(), file.put()));
  EXPECT_EQ(failure.hr, E_FAIL);
  EXPECT_EQ(failure.description.rfind(L"Cannot create a temporary file. ", 0), 0u)
      << hg::win::Narrow(failure.description);
  EXPECT_GT(failure.description.size(), 32u);  // the system message follows
}

TEST_F(GlobalTest, ShellFoldersAreTheShellsAnswers) {
  unique_bstr local, byNumber;
  ASSERT_EQ(global->LocalApplicationDataFolder(local.put()), S_OK);
  ASSERT_EQ(global->SHGetFolderPath(CSIDL_LOCAL_APPDATA, byNumber.put()), S_OK);
  wchar_t expected[MAX_PATH];
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, expected), S_OK);
  EXPECT_FALSE(Text(local).empty());
  EXPECT_EQ(Text(local), expected);
  EXPECT_EQ(Text(byNumber), expected);
  ASSERT_EQ(global->SHGetFolderPath(CSIDL_WINDOWS, byNumber.put()), S_OK);
  EXPECT_EQ(_wcsicmp(byNumber.get(), Environment(L"windir").c_str()), 0);
  ASSERT_EQ(global->SHGetFolderPath(0x7F, byNumber.put()), S_OK);  // no such folder
  EXPECT_EQ(Text(byNumber), L"");
}

TEST_F(GlobalTest, FileVersionReadsTheFixedVersion) {
  unique_bstr version;
  ASSERT_EQ(global->FileVersion(unique_bstr(::SysAllocString(ThisProgram().c_str())).get(),
                                version.put()),
            S_OK);
  EXPECT_EQ(Text(version), L"1.2.3.65535");

  const std::wstring kernel = Environment(L"windir") + L"\\system32\\kernel32.dll";
  ASSERT_EQ(global->FileVersion(unique_bstr(::SysAllocString(kernel.c_str())).get(),
                                version.put()),
            S_OK);
  DWORD ignored = 0;
  std::vector<BYTE> resource(::GetFileVersionInfoSizeW(kernel.c_str(), &ignored));
  ASSERT_FALSE(resource.empty());
  ASSERT_TRUE(::GetFileVersionInfoW(kernel.c_str(), 0, static_cast<DWORD>(resource.size()),
                                    resource.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(resource.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::wstring expected = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(Text(version), expected);

  const std::wstring script = hg::test::ProgramFolder() + L"\\global_test.vbs";
  ASSERT_EQ(global->FileVersion(unique_bstr(::SysAllocString(script.c_str())).get(),
                                version.put()),
            S_OK);
  EXPECT_EQ(Text(version), L"");
}

class FileVersionInfoTest : public GlobalTest {
 protected:
  com_ptr<_CCollection> Info(const std::wstring& file) {
    com_ptr<_CCollection> fields;
    EXPECT_EQ(global->FileVersionInfo(unique_bstr(::SysAllocString(file.c_str())).get(),
                                      fields.put()),
              S_OK);
    return fields;
  }
  static long Count(const com_ptr<_CCollection>& fields) {
    LONG count = -1;
    if (fields) fields->get_Count(&count);
    return count;
  }
  static std::wstring Item(const com_ptr<_CCollection>& fields, const wchar_t* key) {
    Variant value;
    if (!fields || FAILED(fields->get_Item(OfText(key).get(), value.put())) ||
        value.type() != VT_BSTR) {
      return L"<none>";
    }
    return value.get().bstrVal;
  }
};

TEST_F(FileVersionInfoTest, HoldsTheFieldsThatExistKeyedByName) {
  const com_ptr<_CCollection> fields = Info(ThisProgram());
  EXPECT_EQ(Count(fields), 6);
  EXPECT_EQ(Item(fields, L"ProductVersion"), L"4.5 beta");
  // The resource spells it "OriginalFilename"; the key is the library's name.
  EXPECT_EQ(Item(fields, L"OriginalFileName"), L"probe.exe");
  EXPECT_EQ(Item(fields, L"FileDescription"), L"Version probe");
  // Longer than the 1,024 characters of the old copy buffer, and whole.
  const std::wstring company = Item(fields, L"CompanyName");
  EXPECT_EQ(company.size(), 22u + 1100u);
  EXPECT_EQ(company.rfind(L"Hedgerow test company x", 0), 0u);
  EXPECT_EQ(Item(fields, L"InternalName"), L"<none>");
}

TEST_F(FileVersionInfoTest, ReadsTheSystemsOwnLibrary) {
  const std::wstring kernel = Environment(L"windir") + L"\\system32\\kernel32.dll";
  const com_ptr<_CCollection> fields = Info(kernel);
  ASSERT_GT(Count(fields), 0);
  DWORD ignored = 0;
  std::vector<BYTE> resource(::GetFileVersionInfoSizeW(kernel.c_str(), &ignored));
  ASSERT_TRUE(::GetFileVersionInfoW(kernel.c_str(), 0, static_cast<DWORD>(resource.size()),
                                    resource.data()));
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(resource.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
  wchar_t block[64];
  swprintf(block, 64, L"\\StringFileInfo\\%04X%04X\\FileVersion", translation[0], translation[1]);
  wchar_t* expected = nullptr;
  ASSERT_TRUE(::VerQueryValueW(resource.data(), block, reinterpret_cast<void**>(&expected), &length));
  EXPECT_EQ(Item(fields, L"FileVersion"), expected);
}

TEST_F(FileVersionInfoTest, IsEmptyWithoutAVersionResource) {
  EXPECT_EQ(Count(Info(hg::test::ProgramFolder() + L"\\global_test.vbs")), 0);
  EXPECT_EQ(Count(Info(hg::test::ProgramFolder() + L"\\no such file.dll")), 0);
}

TEST_F(GlobalTest, WindowsVersionFillsWhatIsAskedFor) {
  OSVERSIONINFOW expected{};
  expected.dwOSVersionInfoSize = sizeof(expected);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(::GetVersionExW(&expected));
#pragma GCC diagnostic pop
  Variant major, minor, build, platform, servicePack;
  unique_bstr text;
  ASSERT_EQ(global->WindowsVersion(major.put(), minor.put(), build.put(), platform.put(),
                                   servicePack.put(), text.put()),
            S_OK);
  ASSERT_EQ(major.type(), VT_I4);
  EXPECT_EQ(static_cast<DWORD>(major.get().lVal), expected.dwMajorVersion);
  EXPECT_EQ(static_cast<DWORD>(minor.get().lVal), expected.dwMinorVersion);
  EXPECT_EQ(static_cast<DWORD>(build.get().lVal), expected.dwBuildNumber & 0xFFFF);
  EXPECT_EQ(static_cast<DWORD>(platform.get().lVal), expected.dwPlatformId);
  ASSERT_EQ(servicePack.type(), VT_BSTR);
  EXPECT_STREQ(servicePack.get().bstrVal, expected.szCSDVersion);
  const std::wstring full = L"Platform: Windows NT. Version: " +
                            std::to_wstring(expected.dwMajorVersion) + L"." +
                            std::to_wstring(expected.dwMinorVersion) + L"." +
                            std::to_wstring(expected.dwBuildNumber & 0xFFFF) + L". " +
                            expected.szCSDVersion;
  EXPECT_EQ(Text(text), full);

  VARIANT none = hg::win::MissingArgument(), none2 = hg::win::MissingArgument(), none3 = hg::win::MissingArgument(), none4 = hg::win::MissingArgument(),
          none5 = hg::win::MissingArgument();
  unique_bstr alone;
  ASSERT_EQ(global->WindowsVersion(&none, &none2, &none3, &none4, &none5, alone.put()), S_OK);
  EXPECT_EQ(Text(alone), full);
  EXPECT_EQ(none.vt, VT_ERROR);
}

TEST_F(GlobalTest, WindowsVersionWritesThroughTypedReferences) {
  LONG major = -1;
  VARIANT reference;
  reference.vt = VT_BYREF | VT_I4;
  reference.plVal = &major;
  VARIANT none = hg::win::MissingArgument();
  unique_bstr text;
  ASSERT_EQ(global->WindowsVersion(&reference, &none, &none, &none, &none, text.put()), S_OK);
  EXPECT_GT(major, 0);
}

TEST_F(GlobalTest, MachineFacts) {
  unique_bstr name;
  ASSERT_EQ(global->LocalSystemName(name.put()), S_OK);
  wchar_t expected[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(::GetComputerNameW(expected, &length));
  EXPECT_EQ(Text(name), std::wstring(expected, length));

  VARIANT_BOOL is64 = VARIANT_FALSE;
  ASSERT_EQ(global->IsWindows64bit(&is64), S_OK);
  EXPECT_EQ(is64, VARIANT_TRUE);  // this build is 64-bit, so Windows is too

  unique_bstr cpu;
  ASSERT_EQ(global->GetCPUType(cpu.put()), S_OK);
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  if (system.dwProcessorType == 586) {
    EXPECT_EQ(Text(cpu).rfind(L"Intel Pentium Family ", 0), 0u);
  } else {
    EXPECT_EQ(Text(cpu), L"(unknown)") << system.dwProcessorType;
  }
}

TEST_F(GlobalTest, FormatMessageFromSystemIsOneLine) {
  unique_bstr text;
  ASSERT_EQ(global->FormatMessageFromSystem(ERROR_ACCESS_DENIED, text.put()), S_OK);
  const std::wstring message = Text(text);
  ASSERT_GT(message.size(), 2u);
  EXPECT_EQ(message.find_first_of(L"\r\n"), std::wstring::npos);
  EXPECT_EQ(message.back(), L' ');
  EXPECT_NE(message[message.size() - 2], L' ');
  ASSERT_EQ(global->FormatMessageFromSystem(0x2000ABCD, text.put()), S_OK);
  EXPECT_EQ(Text(text), L"");
}

TEST_F(GlobalTest, IsConnectedRaisesNotImplementedWithoutDialUp) {
  VARIANT_BOOL connected = VARIANT_TRUE;
  const Failure failure = LastFailure(global->IsConnected(&connected));
  EXPECT_EQ(failure.hr, E_NOTIMPL);
  EXPECT_FALSE(failure.description.empty());
}

TEST_F(GlobalTest, IsDAOAvailableIsFalseAndLeavesNoFile) {
  unique_bstr folder;
  ASSERT_EQ(global->GetTempPath(folder.put()), S_OK);
  const std::wstring pattern = Text(folder) + L"gk*.tmp";
  const auto before = FilesMatching(pattern);
  VARIANT_BOOL available = VARIANT_TRUE;
  ASSERT_EQ(global->IsDAOAvailable(&available), S_OK);
  EXPECT_EQ(available, VARIANT_FALSE);  // the prefix has no database engine
  EXPECT_EQ(FilesMatching(pattern), before);
}

// Creates each folder of a path below an existing root.
void MakeFolders(const std::wstring& root, const std::wstring& relative) {
  std::wstring path = root;
  for (std::size_t start = 0; start < relative.size();) {
    const std::size_t end = relative.find(L'\\', start);
    path += L"\\" + relative.substr(start, end - start);
    ::CreateDirectoryW(path.c_str(), nullptr);
    start = end == std::wstring::npos ? relative.size() : end + 1;
  }
}

TEST_F(GlobalTest, MDACJetVersionReportsComponentsWhoseFilesAllExist) {
  // A program folder and a Windows folder of our own, with this program (whose
  // version is known) standing in for the components' files.
  wchar_t tempFolder[MAX_PATH];
  ::GetTempPathW(MAX_PATH, tempFolder);
  const std::wstring root = std::wstring(tempFolder) + L"hg_global_mdac";
  ::CreateDirectoryW(root.c_str(), nullptr);
  MakeFolders(root, L"Program Files\\Common Files\\System\\ado");
  MakeFolders(root, L"Program Files\\Common Files\\Microsoft Shared\\DAO");
  MakeFolders(root, L"Windows\\system32");
  const std::wstring ado = root + L"\\Program Files\\Common Files\\System\\ado\\msado15.dll";
  const std::wstring dao = root + L"\\Program Files\\Common Files\\Microsoft Shared\\DAO\\dao360.dll";
  const std::wstring jet = root + L"\\Windows\\system32\\msjet40.dll";
  ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), ado.c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), dao.c_str(), FALSE));
  ScopedEnvironment programFiles(L"ProgramFiles", root + L"\\Program Files");
  ScopedEnvironment windir(L"windir", root + L"\\Windows");

  const auto versions = [&] {
    VARIANT mdacSlot, jetSlot;
    mdacSlot.vt = jetSlot.vt = VT_BSTR;
    mdacSlot.bstrVal = ::SysAllocString(L"stale");
    jetSlot.bstrVal = ::SysAllocString(L"stale");
    EXPECT_EQ(global->MDACJetVersion(&mdacSlot, &jetSlot), S_OK);
    const std::wstring both = std::wstring(mdacSlot.bstrVal) + L"|" + jetSlot.bstrVal;
    ::VariantClear(&mdacSlot);
    ::VariantClear(&jetSlot);
    return both;
  };
  // Wine reads the version of a file named like one of its own libraries
  // (msado15.dll) from its own library, so the first list's answer is whatever
  // FileVersion says of that path.
  unique_bstr adoVersion;
  ASSERT_EQ(global->FileVersion(unique_bstr(::SysAllocString(ado.c_str())).get(), adoVersion.put()),
            S_OK);
  EXPECT_EQ(versions(), Text(adoVersion) + L"|");  // the engine's second file is missing
  ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), jet.c_str(), FALSE));
  EXPECT_EQ(versions(), Text(adoVersion) + L"|1.2.3.65535");
  ::DeleteFileW(ado.c_str());
  EXPECT_EQ(versions(), L"|1.2.3.65535");

  for (const std::wstring& file : {dao, jet}) ::DeleteFileW(file.c_str());
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
  hg::win::unique_hwnd window(::CreateWindowW(L"HgGlobalDoEventsTest", L"", 0, 0, 0, 0, 0,
                                              HWND_MESSAGE, nullptr, windowClass.hInstance,
                                              nullptr));
  ASSERT_TRUE(window);
  int received = 0;
  ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  MSG pending;
  while (::PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&pending);
  ::PostMessageW(window.get(), WM_APP, 0, 0);
  ::PostMessageW(window.get(), WM_APP, 0, 0);
  ASSERT_EQ(global->DoEventsA(), S_OK);
  EXPECT_EQ(received, 1);
  ASSERT_EQ(global->DoEventsA(), S_OK);
  EXPECT_EQ(received, 2);
}

TEST(GlobalScripts, VBScriptClient) {
  const hg::test::ScriptRun run = hg::test::RunScript(L"global_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

TEST(GlobalScripts, JScriptClient) {
  const hg::test::ScriptRun run = hg::test::RunScript(L"global_test.js");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
