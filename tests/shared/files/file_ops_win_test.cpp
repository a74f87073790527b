// FileOps through its interface, on a scratch drive of the prefix.
#include <windows.h>
#include <objbase.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Bstr;
using hg::test::Exists;
using hg::test::ExpectSystemMessageForm;
using hg::test::Flag;
using hg::test::LastFailure;
using hg::test::Locked;
using hg::test::ReadRaw;
using hg::test::Ref;
using hg::test::TextOf;
using hg::test::WriteRaw;
using hg::win::Variant;
namespace fs = std::filesystem;

std::wstring SystemDll() {
  wchar_t system[MAX_PATH];
  return std::wstring(system, ::GetSystemDirectoryW(system, MAX_PATH)) + L"\\kernel32.dll";
}

class FileOpsTest : public ::testing::Test {
 protected:
  std::wstring Load(const std::wstring& path) {
    return hg::test::Str([&](BSTR* text) { return files->LoadFile(Bstr(path), text); });
  }
  bool IsFileExist(const std::wstring& path) {
    return Flag([&](VARIANT_BOOL* result) { return files->isFileExist(Bstr(path), result); });
  }
  // The calls that answer with a flag and tell why in the by-reference `cause`.
  bool DeleteByMask(const std::wstring& folder, const std::wstring& mask) {
    return Flag([&](VARIANT_BOOL* r) { return files->DeleteFilesByMask2(Bstr(folder), Bstr(mask), cause.put(), r); });
  }
  bool RemoveFolder2(const std::wstring& folder, bool withSubFolders = true) {
    return Flag([&](VARIANT_BOOL* r) {
      return files->RemoveFolder2(Bstr(folder), hg::win::VariantBool(withSubFolders), cause.put(), r);
    });
  }
  bool Copy(const std::wstring& source, const std::wstring& copyTo) {
    return Flag([&](VARIANT_BOOL* r) { return files->CopyFileOrFolder(Bstr(source), Bstr(copyTo), cause.put(), r); });
  }
  bool RemoveFile(const std::wstring& path) {
    return Flag([&](VARIANT_BOOL* r) { return files->RemoveFile(Bstr(path), cause.put(), r); });
  }
  // "32|64" as the flags came back, or "failed".
  std::wstring HeaderMachine(const std::wstring& path) {
    Variant is32, is64;
    const bool read = Flag([&](VARIANT_BOOL* r) {
      return files->LoadFileHeaderMachine(Bstr(path), is32.put(), is64.put(), cause.put(), r);
    });
    const auto flag = [](const Variant& v) {
      return v.type() != VT_BOOL ? L"?" : v.get().boolVal == VARIANT_TRUE ? L"1" : L"0";
    };
    return read ? std::wstring(flag(is32)) + L"|" + flag(is64) : L"failed";
  }
  std::wstring Cause() const { return TextOf(cause.get()); }

  hg::test::ComApartment com;
  hg::test::ScratchFolder scratch{L"files"};
  hg::win::com_ptr<_FileOps> files = hg::test::Create<_FileOps>(CLSID_FileOps, IID__FileOps);
  Variant cause;
};

TEST_F(FileOpsTest, WholeFileTextIsTheSystemCodePageWithOneCrLfAdded) {
  const std::wstring path = scratch / L"t.txt";
  WriteRaw(path, std::string(1000, 'x'));
  const std::wstring text = L"caf\u00e9\r\nline";
  ASSERT_EQ(files->SaveFile(Bstr(path), Bstr(text)), S_OK);
  EXPECT_EQ(ReadRaw(path), hg::win::WideToAnsi(text) + "\r\n");  // nothing of the longer old content
  EXPECT_EQ(Load(path), text + L"\r\n");
  ASSERT_EQ(files->SaveFile(Bstr(path), nullptr), S_OK);
  EXPECT_EQ(ReadRaw(path), "\r\n");
  WriteRaw(path, "a\nb\rc\r\n");
  EXPECT_EQ(Load(path), L"a\nb\rc\r\n");
  WriteRaw(path, "");
  EXPECT_EQ(Load(path), L"");
}

TEST_F(FileOpsTest, SaveFileWritesToADevice) { EXPECT_EQ(files->SaveFile(Bstr(L"NUL"), Bstr(L"x")), S_OK); }

TEST_F(FileOpsTest, WholeFileFailuresCarryTheSystemsNumberAndText) {
  hg::win::unique_bstr text;
  auto failure = LastFailure(files->LoadFile(Bstr(scratch / L"none.txt"), text.put()));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  ExpectSystemMessageForm(failure.description);
  failure = LastFailure(files->SaveFile(Bstr(scratch / L"none\\t.txt"), Bstr(L"x")));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  ExpectSystemMessageForm(failure.description);
  // Folders are not files.
  EXPECT_TRUE(FAILED(files->LoadFile(Bstr(scratch.path()), text.put())));
  EXPECT_TRUE(FAILED(files->SaveFile(Bstr(scratch.path()), Bstr(L"x"))));
  EXPECT_TRUE(Exists(scratch.path()));
  // A locked file keeps its content.
  const std::wstring path = scratch / L"locked.txt";
  WriteRaw(path, "old");
  {
    const auto lock = Locked(path);
    EXPECT_EQ(files->LoadFile(Bstr(path), text.put()), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(files->SaveFile(Bstr(path), Bstr(L"new")), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(ReadRaw(path), "old");
}

TEST_F(FileOpsTest, ByteFilesRoundTripIndexedFromOne) {
  const std::wstring path = scratch / L"b.bin";
  const std::string bytes("\x00\x01\xFF\r\n", 5);
  WriteRaw(path, bytes);
  hg::win::unique_safearray array;
  ASSERT_EQ(files->LoadFileB(Bstr(path), array.put()), S_OK);
  ASSERT_TRUE(array);
  EXPECT_EQ(hg::win::BoundsOf(array.get()).lower, 1);
  EXPECT_EQ(hg::win::BoundsOf(array.get()).upper, 5);
  WriteRaw(path, std::string(100, 'x'));
  SAFEARRAY* content = array.get();
  ASSERT_EQ(files->SaveFileB(Bstr(path), &content), S_OK);
  EXPECT_EQ(ReadRaw(path), bytes);
  // A missing or empty file gives no array.
  WriteRaw(scratch / L"empty.bin", "");
  for (const wchar_t* name : {L"none.bin", L"empty.bin"}) {
    ASSERT_EQ(files->LoadFileB(Bstr(scratch / name), array.put()), S_OK);
    EXPECT_FALSE(array) << name;
  }
}

TEST_F(FileOpsTest, LoadFileBRefusesAFileOfTwoGigabytesBeforeReadingIt) {
  const std::wstring path = scratch / L"big.bin";
  {
    const hg::win::unique_file_handle file(::CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    // Sparse where the file system can, so that the test needs no real space.
    DWORD ignored = 0;
    ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 0x80000000LL;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  hg::win::unique_safearray array;
  const auto failure = LastFailure(files->LoadFileB(Bstr(path), array.put()));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE));
  EXPECT_NE(failure.description.find(path), std::wstring::npos) << failure.description;
  EXPECT_FALSE(array);
}

TEST_F(FileOpsTest, EnsureFolderExistCreatesEveryMissingLevelOrReturnsQuietly) {
  // Beside the scratch folder, so that only the drive root exists at first.
  const std::wstring top = scratch.path() + L"-root";
  fs::remove_all(top);
  for (const std::wstring& deepest : {top + L"\\x\\y\\z", top + L"\\x\\y\\z\\"}) {
    EXPECT_EQ(files->EnsureFolderExist(Bstr(deepest)), S_OK);
    EXPECT_TRUE(fs::is_directory(deepest));
  }
  fs::remove_all(top);
  WriteRaw(scratch / L"file", "x");
  for (const std::wstring& path : {scratch / L"file\\sub\\deeper", std::wstring(L"Q9:\\x\\y"), std::wstring()}) {
    EXPECT_EQ(files->EnsureFolderExist(Bstr(path)), S_OK) << path;
  }
  EXPECT_FALSE(Exists(scratch / L"file\\sub"));
}

// Windows refuses plain paths this long (Wine does not, so there this only
// proves that the prefixed creation, search and removal work).
TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersRemovesATreeBeyondMaxPath) {
  const std::wstring top = scratch / L"top";
  std::wstring deep = top;
  while (deep.size() < 300) deep += L"\\abcdefghijklmnopqrstuvwxyz";
  ASSERT_EQ(files->EnsureFolderExist(Bstr(deep)), S_OK);
  const DWORD attributes = ::GetFileAttributesW((L"\\\\?\\" + deep).c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
  WriteRaw(L"\\\\?\\" + deep + L"\\f.txt", "x");
  EXPECT_TRUE(RemoveFolder2(top)) << Cause();
  EXPECT_EQ(::GetFileAttributesW((L"\\\\?\\" + top).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileOpsTest, DeleteFilesByMask2DeletesMatchingFilesButNotFolders) {
  for (const wchar_t* name : {L"a.bak", L"b.bak", L"c.txt"}) WriteRaw(scratch / name, "x");
  fs::create_directory(scratch / L"d.bak");
  EXPECT_TRUE(DeleteByMask(scratch.path(), L"*.bak"));
  EXPECT_EQ(Cause(), L"");
  EXPECT_FALSE(Exists(scratch / L"a.bak") || Exists(scratch / L"b.bak"));
  EXPECT_TRUE(Exists(scratch / L"c.txt") && fs::is_directory(scratch / L"d.bak"));
  EXPECT_TRUE(DeleteByMask(scratch.path() + L"\\", L"*.none"));
  // A file it could not delete is named after the system's message.
  WriteRaw(scratch / L"a.bak", "a");
  {
    const auto lock = Locked(scratch / L"a.bak");
    EXPECT_FALSE(DeleteByMask(scratch.path(), L"*.bak"));
  }
  const std::wstring named = L"('\\\\?\\" + scratch / L"a.bak" + L"')";
  ASSERT_GT(Cause().size(), named.size());
  EXPECT_TRUE(Cause().ends_with(named)) << Cause();
  ExpectSystemMessageForm(Cause().substr(0, Cause().size() - named.size()));
}

TEST_F(FileOpsTest, RemoveFolder2RemovesTheTreeOrSaysWhatItKept) {
  WriteRaw(scratch / L"f.txt", "x");
  EXPECT_FALSE(RemoveFolder2(scratch.path(), false));
  ExpectSystemMessageForm(Cause());
  EXPECT_TRUE(Exists(scratch / L"f.txt"));
  EXPECT_FALSE(RemoveFolder2(L"C:\\"));
  EXPECT_EQ(Cause(), L"Invalid path: 'C:\\'");

  const std::wstring top = scratch / L"top";
  fs::create_directories(top + L"\\a\\b");
  fs::create_directories(top + L"\\c");
  WriteRaw(top + L"\\f.txt", "x");
  WriteRaw(top + L"\\a\\b\\g.txt", "y");
  const std::wstring locked = top + L"\\a\\locked.txt";
  WriteRaw(locked, "x");
  {
    const auto lock = Locked(locked);
    EXPECT_FALSE(RemoveFolder2(top));
  }
  EXPECT_TRUE(Cause().starts_with(L"DeleteFilesByMask2 failed. ")) << Cause();
  EXPECT_TRUE(Exists(locked));
  EXPECT_TRUE(RemoveFolder2(top)) << Cause();
  EXPECT_EQ(Cause(), L"");
  EXPECT_FALSE(Exists(top));
  EXPECT_TRUE(Exists(scratch.path()));
}

TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersRemovesALinkedFolderButNotWhatItLinksTo) {
  const std::wstring top = scratch / L"top";
  const std::wstring outside = scratch / L"outside";
  fs::create_directories(top);
  fs::create_directories(outside);
  WriteRaw(outside + L"\\keep.txt", "x");
  // Wine answers success but makes no link: only a link that shows the
  // outside file makes this test mean anything.
  if (!::CreateSymbolicLinkW((top + L"\\link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
      ReadRaw(top + L"\\link\\keep.txt") != "x") {
    GTEST_SKIP() << "this system makes no folder links";
  }
  EXPECT_TRUE(RemoveFolder2(top)) << Cause();
  EXPECT_FALSE(Exists(top));
  EXPECT_EQ(ReadRaw(outside + L"\\keep.txt"), "x");
  // The folder given may itself be the link.
  const std::wstring link = scratch / L"link";
  ASSERT_TRUE(::CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY));
  EXPECT_TRUE(RemoveFolder2(link + L"\\")) << Cause();
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(ReadRaw(outside + L"\\keep.txt"), "x");
}

TEST_F(FileOpsTest, RemoveFolderIsSilent) {
  fs::create_directories(scratch / L"sub\\deeper");
  WriteRaw(scratch / L"sub\\f.txt", "x");
  EXPECT_EQ(files->RemoveFolder(Bstr(scratch / L"sub"), hg::win::MissingArgument()), S_OK);
  EXPECT_TRUE(Exists(scratch / L"sub\\f.txt"));
  EXPECT_EQ(files->RemoveFolder(Bstr(scratch / L"sub"), hg::test::Bool(true).get()), S_OK);
  EXPECT_FALSE(Exists(scratch / L"sub"));
}

TEST_F(FileOpsTest, RemoveFileReportsAMissingFileAndKeepsTheCauseOnSuccess) {
  const std::wstring path = scratch / L"f.txt";
  EXPECT_FALSE(RemoveFile(path));
  ExpectSystemMessageForm(Cause());
  WriteRaw(path, "x");
  EXPECT_TRUE(RemoveFile(path));
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(cause.type(), VT_EMPTY);
}

TEST_F(FileOpsTest, RemoveFileAcceptsDotDotAndSlashes) {
  fs::create_directory(scratch / L"sub");
  WriteRaw(scratch / L"a.txt", "a");
  WriteRaw(scratch / L"b.txt", "b");
  for (const std::wstring& path : {scratch / L"sub\\..\\a.txt", scratch.path() + L"/sub/../b.txt"}) {
    EXPECT_TRUE(RemoveFile(path)) << path << L": " << Cause();
  }
  EXPECT_FALSE(Exists(scratch / L"a.txt") || Exists(scratch / L"b.txt"));
}

TEST_F(FileOpsTest, AFolderThatCannotBeSearchedIsReportedNotTakenAsEmpty) {
  // "|" is no valid name: the search fails for a reason other than absence.
  const std::wstring folder = scratch / L"a|b";
  EXPECT_FALSE(DeleteByMask(folder, L"*.*"));
  ExpectSystemMessageForm(Cause());
  hg::win::com_ptr<_CCollection> names;
  EXPECT_EQ(files->DirectoryContents(Bstr(folder), names.put()), HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
}

// By-reference outputs follow a typed reference, and without their reference
// get a value of their own.
TEST_F(FileOpsTest, ByReferenceOutputsWithoutTheirReferenceGetAValue) {
  BSTR typed = ::SysAllocString(L"before");
  VARIANT byReference;
  byReference.vt = VT_BYREF | VT_BSTR;
  byReference.pbstrVal = &typed;
  VARIANT_BOOL result = VARIANT_TRUE;
  ASSERT_EQ(files->RemoveFile(Bstr(scratch / L"none"), &byReference, &result), S_OK);
  const hg::win::unique_bstr owner(typed);
  EXPECT_EQ(result, VARIANT_FALSE);
  EXPECT_EQ(byReference.vt, VT_BYREF | VT_BSTR);
  ExpectSystemMessageForm(owner.get());

  VARIANT text;
  text.vt = VT_BYREF | VT_BSTR;
  text.pbstrVal = nullptr;
  ASSERT_EQ(files->RemoveFile(Bstr(scratch / L"none"), &text, &result), S_OK);
  ASSERT_EQ(text.vt, VT_BSTR);
  ExpectSystemMessageForm(text.bstrVal);
  ::VariantClear(&text);

  VARIANT is32, is64;
  is32.vt = is64.vt = VT_BYREF | VT_BOOL;
  is32.pboolVal = is64.pboolVal = nullptr;
  ASSERT_EQ(files->LoadFileHeaderMachine(Bstr(SystemDll()), &is32, &is64, cause.put(), &result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  ASSERT_TRUE(is64.vt == VT_BOOL && is32.vt == VT_BOOL);
  EXPECT_EQ(is64.boolVal, VARIANT_TRUE);
  EXPECT_EQ(is32.boolVal, VARIANT_FALSE);
}

TEST_F(FileOpsTest, IsFileExistAndIsFolder) {
  WriteRaw(scratch / L"f.txt", "x");
  EXPECT_TRUE(IsFileExist(scratch / L"f.txt") && IsFileExist(scratch.path() + L"\\") &&
              IsFileExist(scratch / L"*.txt"));
  EXPECT_FALSE(IsFileExist(scratch / L"g.txt") || IsFileExist(L""));
  const auto isFolder = [&](const std::wstring& path) {
    return Flag([&](VARIANT_BOOL* r) { return files->IsFolder(Bstr(path), r); });
  };
  EXPECT_TRUE(isFolder(scratch.path()));
  EXPECT_FALSE(isFolder(scratch / L"f.txt"));
  EXPECT_TRUE(isFolder(scratch / L"nowhere\\"));  // decided by the trailing backslash alone
  VARIANT_BOOL result = VARIANT_FALSE;
  const auto failure = LastFailure(files->IsFolder(Bstr(scratch / L"none"), &result));
  EXPECT_EQ(failure.hr, static_cast<HRESULT>(0x80040000));
  EXPECT_NE(failure.description.find(scratch / L"none"), std::wstring::npos);
}

TEST_F(FileOpsTest, FileCopyAxCopiesOverAFileAndNamesBothPathsWhenItFails) {
  WriteRaw(scratch / L"a.txt", "new");
  WriteRaw(scratch / L"b.txt", "old content");
  Variant result;
  ASSERT_EQ(files->FileCopyAx(Bstr(scratch / L"a.txt"), Bstr(scratch / L"b.txt"), result.put()), S_OK);
  EXPECT_EQ(result.type(), VT_EMPTY);
  EXPECT_EQ(ReadRaw(scratch / L"b.txt"), "new");
  const std::wstring source = scratch / L"none.txt";
  const auto failure = LastFailure(files->FileCopyAx(Bstr(source), Bstr(scratch / L"b.txt"), result.put()));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  const std::wstring start = L"Cannot copy file '" + source + L"' to '" + scratch / L"b.txt" + L"'. ";
  EXPECT_TRUE(failure.description.starts_with(start)) << failure.description;
  EXPECT_GT(failure.description.size(), start.size());
}

TEST_F(FileOpsTest, CopyFileOrFolderCopiesATreeIntoAFolderOrAFileToANewName) {
  fs::create_directories(scratch / L"src\\dir\\sub");
  WriteRaw(scratch / L"src\\dir\\f.txt", "f");
  WriteRaw(scratch / L"src\\dir\\sub\\g.txt", "g");
  fs::create_directory(scratch / L"dst");
  EXPECT_TRUE(Copy(scratch / L"src\\dir", scratch / L"dst\\")) << Cause();
  EXPECT_EQ(Cause(), L"");
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\f.txt"), "f");
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\sub\\g.txt"), "g");
  const hg::test::ScopedEnvironment variable(L"HG_FILES_TEST", scratch.path());
  EXPECT_TRUE(Copy(L"%HG_FILES_TEST%\\src\\dir\\f.txt", scratch / L"g.txt")) << Cause();
  EXPECT_EQ(ReadRaw(scratch / L"g.txt"), "f");
  // Bad sources.
  EXPECT_FALSE(Copy(L"C:", scratch / L"x"));
  EXPECT_EQ(Cause(), L"Invalid FileOrFolder: 'C:'");
  EXPECT_FALSE(Copy(scratch / L"none", scratch / L"x"));
  EXPECT_NE(Cause().find(scratch / L"none"), std::wstring::npos) << Cause();
  EXPECT_FALSE(Exists(scratch / L"x"));
}

TEST_F(FileOpsTest, NamesWithPercentSignsInsideATreeAreNamesNotVariables) {
  fs::create_directories(scratch / L"src\\dir\\%HG_FILES_NAME%");
  WriteRaw(scratch / L"src\\dir\\%HG_FILES_NAME%\\h.txt", "h");
  WriteRaw(scratch / L"src\\dir\\%HG_FILES_NAME%.txt", "t");
  fs::create_directory(scratch / L"dst");
  const hg::test::ScopedEnvironment variable(L"HG_FILES_NAME", L"other");
  EXPECT_TRUE(Copy(scratch / L"src\\dir", scratch / L"dst\\")) << Cause();
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\%HG_FILES_NAME%\\h.txt"), "h");
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\%HG_FILES_NAME%.txt"), "t");
  EXPECT_FALSE(Exists(scratch / L"dst\\dir\\other"));
  EXPECT_TRUE(RemoveFolder2(scratch / L"src")) << Cause();
  EXPECT_FALSE(Exists(scratch / L"src"));
}

TEST_F(FileOpsTest, CopyFileOrFolderRefusesToCopyAFolderIntoItself) {
  const std::wstring source = scratch / L"a";
  fs::create_directories(source + L"\\sub");
  WriteRaw(source + L"\\f.txt", "f");
  const hg::test::ScopedEnvironment variable(L"HG_FILES_TEST", scratch.path());
  for (const std::wstring& copyTo : {source + L"\\", scratch / L"A\\b", source, scratch / L"x\\..\\a/sub\\"}) {
    EXPECT_FALSE(Copy(L"%HG_FILES_TEST%\\a", copyTo)) << copyTo;
    EXPECT_EQ(Cause(), L"The destination lies inside the folder to copy.") << copyTo;
  }
  EXPECT_FALSE(Exists(source + L"\\a") || Exists(source + L"\\b") || Exists(source + L"\\sub\\a"));
  // A folder whose name merely begins with the source's lies beside it.
  EXPECT_TRUE(Copy(source, scratch / L"ab\\")) << Cause();
  EXPECT_EQ(ReadRaw(scratch / L"ab\\a\\f.txt"), "f");
}

TEST_F(FileOpsTest, CopyFileOrFolderRefusesADestinationInsideTheSourceUnderAnotherName) {
  fs::create_directories(scratch / L"a\\sub");
  WriteRaw(scratch / L"a\\f.txt", "f");
  // The scratch drive shows a folder of drive C: under another name.
  const std::wstring source = scratch.drive().folder() + L"\\hg-files\\a";
  ASSERT_EQ(ReadRaw(source + L"\\f.txt"), "f");
  EXPECT_FALSE(Copy(source, scratch / L"a\\sub\\"));
  EXPECT_EQ(Cause(), L"The destination lies inside the folder to copy.");
  EXPECT_FALSE(Exists(scratch / L"a\\sub\\a"));
}

TEST_F(FileOpsTest, CopyFileOrFolderOfAnEmptyFolderFailsWhereNoFolderCanBeMade) {
  fs::create_directory(scratch / L"empty");
  WriteRaw(scratch / L"file", "x");
  EXPECT_FALSE(Copy(scratch / L"empty", scratch / L"file\\"));
  EXPECT_NE(Cause().find(scratch / L"file\\empty"), std::wstring::npos) << Cause();
}

// The system reads a name up to its first NUL: cut there, each of these
// names would name "keep".
TEST_F(FileOpsTest, NamesHoldingANulAreRefusedAndTouchNothing) {
  const std::wstring keep = scratch / L"keep";
  fs::create_directory(keep);
  WriteRaw(keep + L"\\f.txt", "f");
  const std::wstring cut = keep + L'\0' + L"\\junk";
  const std::wstring cutFile = keep + L"\\f.txt" + L'\0' + L".junk";
  EXPECT_FALSE(RemoveFolder2(cut));
  EXPECT_NE(Cause().find(L"NUL"), std::wstring::npos) << Cause();
  EXPECT_FALSE(DeleteByMask(keep, std::wstring(L"*") + L'\0' + L"x"));
  EXPECT_FALSE(Copy(scratch / L"none", cut));
  EXPECT_FALSE(RemoveFile(cutFile));
  Variant empty;
  const std::function<HRESULT()> raising[] = {
      [&] { return files->SaveFile(Bstr(cutFile), Bstr(L"lost")); },
      [&] { return files->RemoveFolder(Bstr(cut), empty.get()); },
      [&] { return files->FileCopyAx(Bstr(keep + L"\\f.txt"), Bstr(cutFile), empty.put()); },
  };
  for (const auto& call : raising) {
    const auto failure = LastFailure(call());
    EXPECT_EQ(failure.hr, E_INVALIDARG);
    EXPECT_NE(failure.description.find(L"NUL"), std::wstring::npos) << failure.description;
  }
  EXPECT_EQ(ReadRaw(keep + L"\\f.txt"), "f");
}

TEST_F(FileOpsTest, RemoveFolder2RefusesEverySpellingOfADriveRoot) {
  WriteRaw(scratch / L"f.txt", "f");
  const std::wstring root = scratch.drive().root();  // "S:\"
  const std::wstring drive = root.substr(0, 2);
  const hg::test::ScopedEnvironment variable(L"HG_FILES_DRIVE", drive);
  ASSERT_TRUE(::SetCurrentDirectoryW(scratch.path().c_str()));
  for (const std::wstring& path :
       {root + L"\\", drive + L"//", scratch / L"..", scratch / L"sub\\..\\..\\.", L"\\\\?\\" + root,
        L"\\\\.\\" + root, L"\\\\?\\" + scratch.path() + L"\\..", std::wstring(L"%HG_FILES_DRIVE%"),
        std::wstring(L"..\\..\\..")}) {
    EXPECT_FALSE(RemoveFolder2(path)) << path;
    EXPECT_NE(Cause().find(L"never removed"), std::wstring::npos) << path << L": " << Cause();
    ASSERT_EQ(ReadRaw(scratch / L"f.txt"), "f") << path;
  }
  ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\"));
}

TEST_F(FileOpsTest, APathTooLongToExpandWholeIsRefused) {
  // Cut where the system stops expanding, the path would name "keep".
  const std::wstring keep = scratch / L"keep";
  fs::create_directory(keep);
  std::wstring path = keep;
  while (path.size() < 40000) path += L"\\.";
  path += L"\\junk";
  EXPECT_FALSE(RemoveFolder2(path));
  EXPECT_NE(Cause().find(L"32766"), std::wstring::npos) << Cause();
  EXPECT_FALSE(Copy(path, scratch / L"copy"));
  EXPECT_TRUE(Exists(keep));
  EXPECT_FALSE(Exists(scratch / L"copy"));
}

TEST_F(FileOpsTest, DeleteFilesByMask2RefusesAMaskWithAFolder) {
  fs::create_directory(scratch / L"sub");
  WriteRaw(scratch / L"sub\\a.txt", "sub");
  WriteRaw(scratch / L"a.txt", "top");
  for (const wchar_t* mask : {L"sub\\*.txt", L"sub/*.txt"}) {
    EXPECT_FALSE(DeleteByMask(scratch.path(), mask)) << mask;
    EXPECT_NE(Cause().find(mask), std::wstring::npos) << Cause();
  }
  EXPECT_EQ(ReadRaw(scratch / L"a.txt"), "top");
  EXPECT_EQ(ReadRaw(scratch / L"sub\\a.txt"), "sub");
}

// A tree deeper than the recursion a small stack allows: on a thread of
// 64 KB the walks must not grow the stack with the depth. (Wine takes time
// cubic in the depth to create such folders, which bounds the depth here;
// the walks themselves are proved far deeper natively.)
TEST_F(FileOpsTest, ADeepTreeIsCreatedCopiedAndRemovedOnASmallStack) {
  std::wstring deep = scratch / L"deep";
  for (int level = 0; level < 300; ++level) deep += L"\\d";
  const auto work = [&] {
    EXPECT_EQ(files->EnsureFolderExist(Bstr(deep)), S_OK);
    EXPECT_TRUE(Copy(scratch / L"deep", scratch / L"copy\\")) << Cause();
    EXPECT_TRUE(Exists(L"\\\\?\\" + scratch / L"copy" + deep.substr(scratch.path().size())));
    EXPECT_TRUE(RemoveFolder2(scratch / L"copy")) << Cause();
    EXPECT_TRUE(RemoveFolder2(scratch / L"deep")) << Cause();
  };
  EXPECT_TRUE(hg::test::RunOnSmallStack(work)) << "the walk overflowed its stack";
  EXPECT_FALSE(Exists(scratch / L"deep") || Exists(scratch / L"copy"));
}

TEST_F(FileOpsTest, DirectoryContentsListsFilesAndFoldersByName) {
  WriteRaw(scratch / L"f.txt", "x");
  fs::create_directory(scratch / L"sub");
  hg::win::com_ptr<_CCollection> names;
  ASSERT_EQ(files->DirectoryContents(Bstr(scratch.path()), names.put()), S_OK);
  auto found = hg::test::Items(names.get());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::wstring>{L"f.txt", L"sub"}));
  ASSERT_EQ(files->DirectoryContents(Bstr(scratch / L"none\\"), names.put()), S_OK);
  EXPECT_TRUE(hg::test::Items(names.get()).empty());
}

TEST_F(FileOpsTest, LoadFileHeaderMachineReadsA64BitSystemDllAndRejectsOthers) {
  EXPECT_EQ(HeaderMachine(SystemDll()), L"0|1");
  EXPECT_EQ(Cause(), L"");
  WriteRaw(scratch / L"t.txt", std::string(200, 'a'));
  EXPECT_EQ(HeaderMachine(scratch / L"t.txt"), L"failed");
  EXPECT_EQ(Cause(), L"Invalid file.");
  EXPECT_EQ(HeaderMachine(scratch / L"none.dll"), L"failed");
  EXPECT_EQ(Cause(), L"Cannot load file.");
}

TEST_F(FileOpsTest, FileCreationDateIsTheLocalTimeOfCreationAndRedirectionSwitchesAreHarmless) {
  WriteRaw(scratch / L"f.txt", "x");
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  DATE expected = 0, created = -1;
  ::SystemTimeToVariantTime(&now, &expected);
  ASSERT_EQ(files->FileCreationDate(Bstr(scratch / L"f.txt"), &created), S_OK);
  EXPECT_NEAR(created, expected, 1.0 / 24 / 60);  // within a minute
  ASSERT_EQ(files->FileCreationDate(Bstr(scratch / L"none"), &created), S_OK);
  EXPECT_EQ(created, 0.0);
  // The redirection switches are harmless in a 64-bit process.
  EXPECT_EQ(files->Wow64DisableWow64FileSystemRedirection(), S_OK);
  EXPECT_EQ(files->Wow64DisableWow64FileSystemRedirection(), S_OK);
  EXPECT_EQ(files->Wow64RevertWow64FileSystemRedirection(), S_OK);
  EXPECT_TRUE(IsFileExist(scratch / L"f.txt"));
}

TEST(FileOpsScript, VBScriptUsesFileOpsLateBound) {
  hg::test::ComApartment com;
  hg::test::ExpectScriptPasses(L"file_ops_test.vbs");
}

}  // namespace
