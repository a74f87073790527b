// tkShared.dll's exports called directly: registration in the real registry
// (its values are tested natively), the class factory, and unloading.
#include "common/win/proc_address.h"
#include "tests/shared/library_test_win.h"
#include "tests/support/registry_probe.h"
#include "tests/support/scratch_win.h"

namespace {

using namespace hg::test;
using hg::win::com_ptr;

// tkShared.dll, or a copy, loaded without COM's help.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::wstring& path = TkSharedPath()) : module_(::LoadLibraryW(path.c_str())) {
    EXPECT_TRUE(module_) << path;
  }
  HRESULT Call(const char* entry) const {
    const auto function = hg::win::GetProc<HRESULT(__stdcall*)()>(module_.get(), entry);
    return function ? function() : E_NOTIMPL;
  }
  com_ptr<IClassFactory> Factory(REFCLSID clsid = CLSID_CCollection, HRESULT expected = S_OK) const {
    using Entry = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto function = hg::win::GetProc<Entry>(module_.get(), "DllGetClassObject");
    com_ptr<IClassFactory> factory;
    EXPECT_EQ(function ? function(clsid, IID_IClassFactory, factory.put_void()) : E_NOTIMPL, expected);
    return factory;
  }

 private:
  hg::win::unique_hmodule module_;
};

// The per-user classes and the merged view, each with the prefix of its keys.
const std::pair<HKEY, std::wstring> kRoots[] = {{HKEY_CURRENT_USER, L"Software\\Classes\\"},
                                                {HKEY_CLASSES_ROOT, L""}};
const std::wstring kServer = L"CLSID\\" + GuidText(CLSID_CCollection) + L"\\InprocServer32";
const std::wstring kTypeLibrary = L"TypeLib\\" + GuidText(LIBID_tkShared);
const std::wstring kPlatforms = kTypeLibrary + L"\\1.0\\0\\";

// In both views, every key a registration owns and the server and type
// library paths naming `path` in any letter case; with no path, none of them.
void ExpectRegisteredAs(const std::wstring& path) {
  for (const auto& [root, classes] : kRoots) {
    for (const std::wstring& key : {L"CLSID\\" + GuidText(CLSID_CCollection), std::wstring(L"tkShared.CCollection"),
                                    kTypeLibrary, L"Interface\\" + GuidText(IID__CCollection)}) {
      EXPECT_EQ(KeyExists(root, classes + key), !path.empty()) << classes + key;
    }
    for (const std::wstring& value : {classes + kServer, classes + kPlatforms + L"win64"}) {
      const std::wstring read = ReadString(root, value).value_or(L"");
      EXPECT_EQ(::_wcsicmp(read.c_str(), path.c_str()), 0) << value << L": " << read;
    }
  }
}

void WriteString(HKEY root, const std::wstring& path, const std::wstring& data) {
  ASSERT_EQ(::RegSetKeyValueW(root, path.c_str(), nullptr, REG_SZ, data.c_str(),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

// Each test leaves the library registered for the other tests.
class Module : public ::testing::Test {
 protected:
  void TearDown() override { library.Call("DllRegisterServer"); }

  ComApartment com;
  LoadedLibrary library;
};

// Copies of the library write the same keys, per user and seen in the merged
// view: each removes only what names itself, also when the path was spelled
// in another letter case (C:\TMP, c:\tmp). A 32-bit build registered from
// elsewhere keeps its type library and the interfaces it describes.
// Unregistered, the classes still create and name their members: late binding
// takes the type library from the DLL itself.
TEST_F(Module, UnregisteringRemovesOnlyWhatNamesThisCopyInAnyLetterCaseAndTheClassesWorkUnregistered) {
  ScratchDrive drive;
  std::vector<std::wstring> copies;
  for (const wchar_t* name : {L"a", L"b"}) {
    const std::wstring folder = drive.root() + name;
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    copies.push_back(folder + L"\\tkShared.dll");
    ASSERT_TRUE(::CopyFileW(TkSharedPath().c_str(), copies.back().c_str(), FALSE));
  }
  LoadedLibrary a(copies[0]), b(copies[1]);
  ASSERT_EQ(a.Call("DllRegisterServer"), S_OK);
  ASSERT_EQ(b.Call("DllRegisterServer"), S_OK);
  ASSERT_EQ(a.Call("DllUnregisterServer"), S_OK);
  ExpectRegisteredAs(copies[1]);
  std::wstring spelled = copies[1];
  ::CharUpperW(spelled.data());
  ASSERT_NE(spelled, copies[1]);
  const std::wstring x86 = L"C:\\x86\\tkShared.dll";
  for (const auto& [root, classes] : kRoots) {
    WriteString(root, classes + kServer, spelled);
    WriteString(root, classes + kPlatforms + L"win64", spelled);
    WriteString(root, classes + kPlatforms + L"win32", x86);
  }
  ASSERT_EQ(b.Call("DllUnregisterServer"), S_OK);
  for (const auto& [root, classes] : kRoots) {
    EXPECT_FALSE(KeyExists(root, classes + kPlatforms + L"win64"));
    EXPECT_EQ(ReadString(root, classes + kPlatforms + L"win32").value_or(L""), x86);
    const std::wstring interfaceKey = classes + L"Interface\\" + GuidText(IID__CCollection);
    EXPECT_TRUE(KeyExists(root, interfaceKey));
    ::RegDeleteTreeW(root, (classes + kTypeLibrary).c_str());
    ::RegDeleteTreeW(root, interfaceKey.c_str());
  }
  ExpectRegisteredAs(L"");
  com_ptr<IDispatch> collection;
  ASSERT_EQ(b.Factory()->CreateInstance(nullptr, IID_IDispatch, collection.put_void()), S_OK);
  LPOLESTR name = const_cast<LPOLESTR>(L"Count");
  DISPID id = 0;
  EXPECT_EQ(collection->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
}

TEST_F(Module, CanUnloadOnlyWhenNoObjectFactoryOrLockIsAlive) {
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);
  EXPECT_FALSE(library.Factory(GUID_NULL, CLASS_E_CLASSNOTAVAILABLE));
  auto factory = library.Factory();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);
  com_ptr<IUnknown> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);  // unmatched: it must not undo the next lock
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  object.reset();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);  // the lock holds
  // LockServer(FALSE) needs a factory again; that one counts too until released.
  ASSERT_EQ(library.Factory()->LockServer(FALSE), S_OK);
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);
}

}  // namespace
