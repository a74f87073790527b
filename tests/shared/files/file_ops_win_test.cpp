// FileOps through its interface, on a scratch drive of the prefix, where a
// script cannot reach: byte arrays, typed by-reference outputs, locked and
// very large files, a small stack, and names that would reach the drive's root
// or the folder under another name. file_ops_test.vbs proves the rest
// late-bound.
#include <windows.h>
#include <winioctl.h>

#include <filesystem>
#include <tuple>

#include "tests/shared/library_test_win.h"
#include "tests/support/scratch_win.h"

namespace {

using namespace hg::test;
namespace fs = std::filesystem;

class FileOpsTest : public ::testing::Test {
 protected:
  // The calls that answer with a flag and tell why in the by-reference `cause`.
  bool DeleteByMask(const std::wstring& folder, const std::wstring& mask) {
    return Flag([&](VARIANT_BOOL* r) { return files->DeleteFilesByMask2(Bstr(folder), Bstr(mask), cause.put(), r); });
  }
  bool RemoveFolder2(const std::wstring& folder) {
    return Flag([&](VARIANT_BOOL* r) { return files->RemoveFolder2(Bstr(folder), VARIANT_TRUE, cause.put(), r); });
  }
  bool Copy(const std::wstring& source, const std::wstring& copyTo) {
    return Flag([&](VARIANT_BOOL* r) { return files->CopyFileOrFolder(Bstr(source), Bstr(copyTo), cause.put(), r); });
  }
  std::wstring Cause() const { return TextOf(cause.get()); }

  ComApartment com;
  ScratchFolder scratch{L"files"};
  hg::win::com_ptr<_FileOps> files = Create<_FileOps>(CLSID_FileOps, IID__FileOps);
  hg::win::Variant cause;
};

// Whole files hold bytes indexed from one. A missing or empty file gives no
// array, and a file of 2 GB is refused before it is read.
TEST_F(FileOpsTest, WholeFilesHoldBytesIndexedFromOne) {
  WriteRaw(scratch / L"t.bin", std::string("\x00\x01\xFF\r\n", 5));
  hg::win::unique_safearray array;
  ASSERT_EQ(files->LoadFileB(Bstr(scratch / L"t.bin"), array.put()), S_OK);
  ASSERT_TRUE(array);
  EXPECT_EQ(hg::win::BoundsOf(array.get()).lower, 1);
  EXPECT_EQ(hg::win::BoundsOf(array.get()).upper, 5);
  WriteRaw(scratch / L"empty.bin", "");
  {
    const hg::win::unique_file_handle file(::CreateFileW(
        (scratch / L"big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Sparse where the file system can, so that the test needs no real space.
    DWORD ignored = 0;
    ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    ASSERT_TRUE(::SetFilePointerEx(file.get(), LARGE_INTEGER{.QuadPart = 0x80000000LL}, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  for (const std::wstring name : {L"none.bin", L"empty.bin", L"big.bin"}) {
    const auto failure = LastFailure(files->LoadFileB(Bstr(scratch / name), array.put()));
    EXPECT_EQ(failure.hr, name == L"big.bin" ? HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE) : S_OK) << name;
    EXPECT_EQ(failure.description.find(scratch / name) != std::wstring::npos, name == L"big.bin") << name;
    EXPECT_FALSE(array) << name;
  }
}

// By-reference outputs follow a typed reference, and without their reference
// get a value of their own.
TEST_F(FileOpsTest, ByReferenceOutputsWithoutTheirReferenceGetAValue) {
  BSTR typed = ::SysAllocString(L"before");
  for (BSTR* target : {&typed, static_cast<BSTR*>(nullptr)}) {
    *cause.put() = ByReference(VT_BSTR, target);
    EXPECT_FALSE(Flag([&](VARIANT_BOOL* r) { return files->RemoveFile(Bstr(scratch / L"none"), Ref(cause), r); }));
    EXPECT_EQ(cause.type(), target ? VT_BYREF | VT_BSTR : VT_BSTR);
    ExpectSystemMessageForm(target ? std::wstring(typed) : Cause());
  }
  ::SysFreeString(typed);
}

// A file nobody may share keeps its content: its save fails with the system's
// number, and the removal of its folder stops at it and names it.
TEST_F(FileOpsTest, ALockedFileKeepsItsContentAndSavesAndRemovalsOfItSayWhy) {
  const std::wstring top = scratch / L"top", locked = top + L"\\a\\locked.bak";
  fs::create_directories(top + L"\\a");
  WriteRaw(locked, "old");
  {
    const auto lock = Locked(locked);
    EXPECT_EQ(files->SaveFile(Bstr(locked), Bstr(L"new")), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(RemoveFolder2(top));
  }
  EXPECT_TRUE(Cause().starts_with(L"DeleteFilesByMask2 failed. ") && Cause().ends_with(L"('\\\\?\\" + locked + L"')"))
      << Cause();
  EXPECT_EQ(ReadRaw(locked), "old");
  EXPECT_TRUE(RemoveFolder2(top)) << Cause();
  EXPECT_FALSE(Exists(top));
}

// A link inside the tree goes as a link, and so does the folder given when it is one.
TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersRemovesALinkedFolderButNotWhatItLinksTo) {
  const std::wstring outside = scratch / L"outside";
  fs::create_directories(outside);
  fs::create_directories(scratch / L"top");
  WriteRaw(outside + L"\\keep.txt", "x");
  for (const auto& [link, removed] : {std::pair(scratch / L"top\\link", scratch / L"top"),
                                      std::pair(scratch / L"link", scratch / L"link\\")}) {
    // Wine answers success but makes no link: only a link that shows the
    // outside file makes this test mean anything.
    if (!::CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        ReadRaw(link + L"\\keep.txt") != "x") {
      GTEST_SKIP() << "this system makes no folder links";
    }
    EXPECT_TRUE(RemoveFolder2(removed)) << Cause();
    EXPECT_FALSE(Exists(link) || Exists(removed)) << removed;
    EXPECT_EQ(ReadRaw(outside + L"\\keep.txt"), "x") << removed;
  }
}

// Each of these names, cut at its first NUL, expanded only in part or
// resolved as the system resolves it, would name "keep", a file in it or the
// drive's root, or would copy "keep" into itself under any of its names:
// refused, and nothing is touched.
TEST_F(FileOpsTest, NamesTheSystemWouldReadOtherwiseAreRefusedAndTouchNothing) {
  const std::wstring keep = scratch / L"keep";
  fs::create_directories(keep + L"\\sub");
  WriteRaw(keep + L"\\f.txt", "f");
  WriteRaw(keep + L"\\sub\\f.txt", "sub");
  const std::wstring nul(1, L'\0'), cut = keep + nul + L"\\junk", cutFile = keep + L"\\f.txt" + nul + L".junk";
  std::wstring tooLong = keep;
  while (tooLong.size() < 40000) tooLong += L"\\.";
  const std::wstring drive = scratch.drive().root().substr(0, 2);  // "S:"
  // The scratch drive shows a folder of drive C: under another name.
  const std::wstring otherName = scratch.drive().folder() + L"\\hg-files\\keep";
  const ScopedEnvironment variable(L"HG_FILES_DRIVE", drive);
  ASSERT_TRUE(::SetCurrentDirectoryW(keep.c_str()));  // where ".." climbs from
  const std::wstring inside = L"The destination lies inside the folder to copy.";
  // What is refused, the call, and what its cause holds.
  const std::tuple<const char*, std::function<bool()>, std::wstring> refused[] = {
      // The root as given, as only the system's resolution finds it, and through a variable.
      {"the root as given", [&] { return RemoveFolder2(drive + L"//"); }, L"never removed"},
      {"the root resolved", [&] { return RemoveFolder2(L"..\\..\\.."); }, L"never removed"},
      {"the root in a variable", [&] { return RemoveFolder2(L"%HG_FILES_DRIVE%"); }, L"never removed"},
      {"short root", [&] { return RemoveFolder2(L"C:\\"); }, L"Invalid path: 'C:\\'"},
      {"cut folder", [&] { return RemoveFolder2(cut); }, L"NUL"},
      {"long folder", [&] { return RemoveFolder2(tooLong); }, L"32766"},
      {"cut mask", [&] { return DeleteByMask(keep, L"*" + nul + L"x"); }, L"NUL"},
      // A mask with a folder would delete the files of its names in the folder given.
      {"mask with a folder", [&] { return DeleteByMask(keep, L"sub\\*.txt"); }, L"sub\\*.txt"},
      {"copy to a cut name", [&] { return Copy(keep + L"\\f.txt", cut); }, L"NUL"},
      {"copy of a long name", [&] { return Copy(tooLong, scratch / L"copy"); }, L"32766"},
      {"copy of a short name", [&] { return Copy(L"C:", scratch / L"copy"); }, L"Invalid FileOrFolder: 'C:'"},
      {"copy of a missing source", [&] { return Copy(scratch / L"none", scratch / L"copy"); }, scratch / L"none"},
      {"copy into itself", [&] { return Copy(keep, keep); }, inside},
      {"copy into itself in capitals", [&] { return Copy(keep, scratch / L"KEEP\\b"); }, inside},
      {"copy into itself through ..", [&] { return Copy(keep, scratch / L"x\\..\\keep/sub\\"); }, inside},
      {"copy into itself by another name", [&] { return Copy(otherName, keep + L"\\sub\\"); }, inside},
      {"remove a cut file",
       [&] { return Flag([&](VARIANT_BOOL* r) { return files->RemoveFile(Bstr(cutFile), cause.put(), r); }); }, L"NUL"},
  };
  for (const auto& [name, call, told] : refused) {
    EXPECT_FALSE(call()) << name;
    EXPECT_NE(Cause().find(told), std::wstring::npos) << name << ": " << hg::win::Narrow(Cause());
  }
  ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\"));
  // A call without a FalseCause raises instead.
  const auto failure = LastFailure(files->SaveFile(Bstr(cutFile), Bstr(L"lost")));
  EXPECT_EQ(failure.hr, E_INVALIDARG);
  EXPECT_NE(failure.description.find(L"NUL"), std::wstring::npos) << failure.description;
  EXPECT_EQ(ReadRaw(keep + L"\\f.txt"), "f");
  EXPECT_EQ(ReadRaw(keep + L"\\sub\\f.txt"), "sub");
  EXPECT_FALSE(Exists(scratch / L"copy") || Exists(keep + L"\\b") || Exists(keep + L"\\sub\\keep"));
}

// A tree deeper than MAX_PATH and than the recursion a small stack allows: on
// a thread of 64 KB the walks must not grow the stack with the depth. (Wine
// takes time cubic in the depth to create such folders, which bounds the depth
// here; creating folders is proved far deeper natively.)
TEST_F(FileOpsTest, ADeepTreeIsCreatedCopiedAndRemovedOnASmallStack) {
  std::wstring deep = scratch / L"deep";
  for (int level = 0; level < 300; ++level) deep += L"\\d";
  const auto work = [&] {
    EXPECT_EQ(files->EnsureFolderExist(Bstr(deep)), S_OK);
    WriteRaw(L"\\\\?\\" + deep + L"\\f.txt", "x");
    EXPECT_TRUE(Copy(scratch / L"deep", scratch / L"copy\\")) << Cause();
    EXPECT_EQ(ReadRaw(L"\\\\?\\" + scratch / L"copy" + deep.substr(scratch.path().size()) + L"\\f.txt"), "x");
    for (const wchar_t* tree : {L"copy", L"deep"}) EXPECT_TRUE(RemoveFolder2(scratch / tree)) << Cause();
  };
  EXPECT_TRUE(RunOnSmallStack(work)) << "the walk overflowed its stack";
  EXPECT_FALSE(Exists(scratch / L"deep") || Exists(scratch / L"copy"));
}

TEST(FileOpsScript, VBScriptUsesFileOpsLateBound) { ExpectScriptPasses(L"file_ops_test.vbs"); }

}  // namespace
