#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/proc_address.h"
#include "shared/com/startup_win.h"
#include "tests/support/registry_probe.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::GuidText;
using hg::test::KeyExists;
using hg::test::ReadString;
using hg::win::com_ptr;

// tkShared.dll loaded directly, without COM's help.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::wstring& path = hg::test::TkSharedPath())
      : module_(::LoadLibraryW(path.c_str())) {}
  ~LoadedLibrary() {
    if (module_) ::FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }
  HRESULT Call(const char* entry) const {
    const auto function = hg::win::GetProc<HRESULT(__stdcall*)()>(module_, entry);
    return function ? function() : E_NOTIMPL;
  }
  HRESULT GetClassObject(REFCLSID clsid, IClassFactory** factory) const {
    using Entry = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto function = hg::win::GetProc<Entry>(module_, "DllGetClassObject");
    return function ? function(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory))
                    : E_NOTIMPL;
  }

 private:
  HMODULE module_;
};

// The keys a registration owns, below a classes root.
std::vector<std::wstring> OwnedKeys(const std::wstring& classes) {
  return {classes + L"CLSID\\" + GuidText(CLSID_CCollection),
          classes + L"tkShared.CCollection",
          classes + L"TypeLib\\" + GuidText(LIBID_tkShared),
          classes + L"Interface\\" + GuidText(IID__CCollection)};
}

std::wstring Cased(std::wstring text, wint_t (*change)(wint_t) = towlower) {
  for (auto& c : text) c = static_cast<wchar_t>(change(c));
  return text;
}

// Copies of tkShared.dll in folders of their own below a temporary folder,
// removed again at the end.
class DllCopies {
 public:
  explicit DllCopies(std::initializer_list<const wchar_t*> names) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"tkShared-copies-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(root_.c_str(), nullptr);
    for (const wchar_t* name : names) {
      const std::wstring folder = root_ + L"\\" + name;
      ::CreateDirectoryW(folder.c_str(), nullptr);
      paths_.push_back(folder + L"\\tkShared.dll");
      ok_ = ok_ && ::CopyFileW(hg::test::TkSharedPath().c_str(), paths_.back().c_str(), FALSE);
    }
  }
  ~DllCopies() {
    for (const auto& path : paths_) {
      ::DeleteFileW(path.c_str());
      ::RemoveDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str());
    }
    ::RemoveDirectoryW(root_.c_str());
  }
  DllCopies(const DllCopies&) = delete;
  DllCopies& operator=(const DllCopies&) = delete;

  bool ok() const { return ok_; }
  const std::wstring& operator[](std::size_t i) const { return paths_[i]; }

 private:
  std::wstring root_;
  std::vector<std::wstring> paths_;
  bool ok_ = true;
};

const std::wstring kUserClasses = L"Software\\Classes\\";

std::wstring ServerKey() {
  return L"CLSID\\" + GuidText(CLSID_CCollection) + L"\\InprocServer32";
}
std::wstring TypeLibPlatformsKey() { return L"TypeLib\\" + GuidText(LIBID_tkShared) + L"\\1.0\\0"; }

void WriteString(HKEY root, const std::wstring& path, const std::wstring& data) {
  ASSERT_EQ(::RegSetKeyValueW(root, path.c_str(), nullptr, REG_SZ, data.c_str(),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

// The per-user classes and the merged view, each with the prefix of its keys.
const std::pair<HKEY, std::wstring> kRoots[] = {{HKEY_CURRENT_USER, kUserClasses},
                                                {HKEY_CLASSES_ROOT, L""}};

void ExpectNothingRegistered() {
  for (const auto& [root, classes] : kRoots) {
    for (const auto& key : OwnedKeys(classes)) EXPECT_FALSE(KeyExists(root, key)) << key;
  }
}

// The library loaded for a test, registered again afterwards: unregistration
// must leave the other tests a registered library.
class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(library.loaded()); }
  void TearDown() override { library.Call("DllRegisterServer"); }

  hg::test::ComApartment com;
  LoadedLibrary library;
};
using Registration = ModuleTest;
using Module = ModuleTest;

TEST_F(Registration, RegistersPerUserVisiblyAndUnregistersEveryKey) {
  ASSERT_EQ(library.Call("DllUnregisterServer"), S_OK);
  ExpectNothingRegistered();
  CLSID clsid;
  EXPECT_TRUE(FAILED(::CLSIDFromProgID(L"tkShared.CCollection", &clsid)));

  ASSERT_EQ(library.Call("DllRegisterServer"), S_OK);
  const std::wstring server = kUserClasses + ServerKey();
  EXPECT_EQ(Cased(ReadString(HKEY_CURRENT_USER, server).value_or(L"")),
            Cased(hg::test::TkSharedPath()));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, server, L"ThreadingModel").value_or(L""), L"Apartment");
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"Software\\Classes\\tkShared.CCollection\\CLSID")
                .value_or(L""),
            GuidText(CLSID_CCollection));
  // Visible to every client through the merged view.
  ASSERT_EQ(::CLSIDFromProgID(L"tkShared.CCollection", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_CCollection);
  EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, L"TypeLib\\" + GuidText(LIBID_tkShared) +
                                                L"\\1.0\\0\\win64").has_value());

  ASSERT_EQ(library.Call("DllUnregisterServer"), S_OK);
  ExpectNothingRegistered();
}

TEST_F(Registration, UnregisteringOneCopyLeavesTheOtherCopysRegistration) {
  DllCopies copies{L"a", L"b"};
  ASSERT_TRUE(copies.ok());
  {
    LoadedLibrary a(copies[0]), b(copies[1]);
    ASSERT_TRUE(a.loaded() && b.loaded());
    ASSERT_EQ(a.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(b.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(a.Call("DllUnregisterServer"), S_OK);

    for (const auto& [root, classes] : kRoots) {
      for (const auto& key : OwnedKeys(classes)) EXPECT_TRUE(KeyExists(root, key)) << key;
      EXPECT_EQ(Cased(ReadString(root, classes + ServerKey()).value_or(L"")), Cased(copies[1]));
      EXPECT_EQ(Cased(ReadString(root, classes + TypeLibPlatformsKey() + L"\\win64").value_or(L"")),
                Cased(copies[1]));
    }
    CLSID clsid;
    EXPECT_EQ(::CLSIDFromProgID(L"tkShared.CCollection", &clsid), S_OK);

    // The remaining copy still removes its own registration.
    ASSERT_EQ(b.Call("DllUnregisterServer"), S_OK);
    ExpectNothingRegistered();
  }
}

TEST_F(Registration, UnregistersWhatNamesThisDllInAnotherLetterCase) {
  DllCopies copies{L"spelling"};
  ASSERT_TRUE(copies.ok());
  {
    LoadedLibrary copy(copies[0]);
    ASSERT_TRUE(copy.loaded());
    ASSERT_EQ(copy.Call("DllRegisterServer"), S_OK);
    // As registered through a path spelled differently (z:\TMP vs Z:\tmp).
    const std::wstring spelled = Cased(copies[0], towupper);
    ASSERT_NE(spelled, copies[0]);
    for (const auto& [root, classes] : kRoots) {
      WriteString(root, classes + ServerKey(), spelled);
      WriteString(root, classes + TypeLibPlatformsKey() + L"\\win64", spelled);
    }
    ASSERT_EQ(copy.Call("DllUnregisterServer"), S_OK);
  }
  ExpectNothingRegistered();
}

TEST_F(Registration, KeepsTheTypeLibraryOfAnotherPlatform) {
  struct RemoveTypeLibrary {
    ~RemoveTypeLibrary() {
      const std::wstring key = L"TypeLib\\" + GuidText(LIBID_tkShared);
      ::RegDeleteTreeW(HKEY_CURRENT_USER, (kUserClasses + key).c_str());
      ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }
  } cleanUp;

  ASSERT_EQ(library.Call("DllRegisterServer"), S_OK);
  // A 32-bit build registered from elsewhere.
  const std::wstring x86 = L"C:\\x86\\tkShared.dll";
  for (const auto& [root, classes] : kRoots) {
    WriteString(root, classes + TypeLibPlatformsKey() + L"\\win32", x86);
  }
  ASSERT_EQ(library.Call("DllUnregisterServer"), S_OK);

  for (const auto& [root, classes] : kRoots) {
    EXPECT_FALSE(KeyExists(root, classes + TypeLibPlatformsKey() + L"\\win64"));
    EXPECT_EQ(ReadString(root, classes + TypeLibPlatformsKey() + L"\\win32").value_or(L""), x86);
    EXPECT_TRUE(KeyExists(root, classes + L"Interface\\" + GuidText(IID__CCollection)));
    EXPECT_FALSE(KeyExists(root, classes + L"CLSID\\" + GuidText(CLSID_CCollection)));
  }
}

TEST_F(Module, CreatesAndDispatchesWithoutAnyRegistration) {
  ASSERT_EQ(library.Call("DllUnregisterServer"), S_OK);

  com_ptr<IClassFactory> factory;
  ASSERT_EQ(library.GetClassObject(CLSID_CCollection, factory.put()), S_OK);
  com_ptr<IDispatch> collection;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, collection.put_void()), S_OK);

  // Late binding needs the type library, which comes from the DLL itself.
  LPOLESTR name = const_cast<LPOLESTR>(L"Count");
  DISPID id = 0;
  ASSERT_EQ(collection->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  DISPPARAMS none{};
  hg::win::Variant count;
  ASSERT_EQ(collection->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               count.put(), nullptr, nullptr),
            S_OK);
  EXPECT_EQ(count.type(), VT_I4);
  EXPECT_EQ(count.get().lVal, 0);
}

TEST_F(Module, CanUnloadOnlyWhenNothingIsAlive) {
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);

  com_ptr<IClassFactory> factory;
  ASSERT_EQ(library.GetClassObject(CLSID_CCollection, factory.put()), S_OK);
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);
  com_ptr<IUnknown> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  object.reset();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);  // still locked
  // LockServer(FALSE) needs a factory again; that one counts too until released.
  ASSERT_EQ(library.GetClassObject(CLSID_CCollection, factory.put()), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);

  EXPECT_EQ(library.GetClassObject(GUID_NULL, factory.put()), CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(library.GetClassObject(CLSID_CCollection, factory.put()), S_OK);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, object.put_void()), E_NOINTERFACE);
  factory.reset();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);
}

TEST_F(Module, UnmatchedUnlockDoesNotKeepTheModuleLoaded) {
  com_ptr<IClassFactory> factory;
  ASSERT_EQ(library.GetClassObject(CLSID_CCollection, factory.put()), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);  // the lock holds

  ASSERT_EQ(library.GetClassObject(CLSID_CCollection, factory.put()), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);
}

TEST(StartLibrary, SaysWindowsIs64BitForA64BitProcess) {
  // IsWow64Process answers false inside a native 64-bit process.
  EXPECT_TRUE(tk::StartLibrary().isWindows64);
}

}  // namespace
