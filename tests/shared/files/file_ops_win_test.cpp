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
#include "tests/shared/files/scratch_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Exists;
using hg::test::ReadRaw;
using hg::test::WriteRaw;
using hg::test::Bstr;
using hg::win::com_ptr;
using hg::win::Variant;

using Failure = hg::test::ComFailure;
using hg::test::LastFailure;

// The system's message texts differ between Windows and Wine: check their
// form, one line ended by one blank.
void ExpectSystemMessageForm(const std::wstring& text) {
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos) << text;
  EXPECT_EQ(text.back(), L' ') << text;
  EXPECT_NE(text[text.size() - 2], L' ') << text;
}

// A by-reference text or flag as a script or a program passes it.
struct OutText {
  Variant value;
  std::wstring text() const {
    return value.type() == VT_BSTR ? std::wstring(value.get().bstrVal) : L"<not text>";
  }
};

class FileOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::CoCreateInstance(CLSID_FileOps, nullptr, CLSCTX_INPROC_SERVER, IID__FileOps,
                                 files.put_void()),
              S_OK);
  }

  std::wstring Load(const std::wstring& path) {
    hg::win::unique_bstr text;
    EXPECT_EQ(files->LoadFile(Bstr(path), text.put()), S_OK);
    return text ? std::wstring(text.get(), ::SysStringLen(text.get())) : L"";
  }
  bool IsFileExist(const std::wstring& path) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(files->isFileExist(Bstr(path), &result), S_OK);
    return result == VARIANT_TRUE;
  }
  bool DeleteByMask(const std::wstring& folder, const std::wstring& mask, OutText& cause) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(files->DeleteFilesByMask2(Bstr(folder), Bstr(mask), cause.value.put(), &result), S_OK);
    return result == VARIANT_TRUE;
  }
  bool RemoveFolder2(const std::wstring& folder, bool withSubFolders, OutText& cause) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(files->RemoveFolder2(Bstr(folder), withSubFolders ? VARIANT_TRUE : VARIANT_FALSE,
                                   cause.value.put(), &result),
              S_OK);
    return result == VARIANT_TRUE;
  }
  bool CopyFileOrFolder(const std::wstring& source, const std::wstring& copyTo, OutText& cause) {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(files->CopyFileOrFolder(Bstr(source), Bstr(copyTo), cause.value.put(), &result), S_OK);
    return result == VARIANT_TRUE;
  }
  bool HeaderMachine(const std::wstring& path, bool& is32, bool& is64, OutText& cause) {
    Variant flag32, flag64;
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(files->LoadFileHeaderMachine(Bstr(path), flag32.put(), flag64.put(),
                                           cause.value.put(), &result),
              S_OK);
    is32 = flag32.type() == VT_BOOL && flag32.get().boolVal == VARIANT_TRUE;
    is64 = flag64.type() == VT_BOOL && flag64.get().boolVal == VARIANT_TRUE;
    return result == VARIANT_TRUE;
  }

  hg::test::ComApartment com;
  hg::test::ScratchFolder scratch{L"files"};
  com_ptr<_FileOps> files;
};

// ---- Whole-file text ----

TEST_F(FileOpsTest, SaveFileWritesTheSystemCodePageAndOneCrLf) {
  const std::wstring path = scratch / L"t.txt";
  const std::wstring text = L"caf\u00e9\r\nline";
  ASSERT_EQ(files->SaveFile(Bstr(path), Bstr(text)), S_OK);
  EXPECT_EQ(ReadRaw(path), hg::win::WideToAnsi(text) + "\r\n");
  EXPECT_EQ(Load(path), text + L"\r\n");
}

TEST_F(FileOpsTest, SaveFileOfEmptyTextWritesOnlyCrLf) {
  const std::wstring path = scratch / L"empty.txt";
  ASSERT_EQ(files->SaveFile(Bstr(path), nullptr), S_OK);
  EXPECT_EQ(ReadRaw(path), "\r\n");
}

TEST_F(FileOpsTest, SaveFileLeavesNothingOfALongerOldContent) {
  const std::wstring path = scratch / L"t.txt";
  WriteRaw(path, std::string(1000, 'x'));
  ASSERT_EQ(files->SaveFile(Bstr(path), Bstr(L"short")), S_OK);
  EXPECT_EQ(ReadRaw(path), "short\r\n");
}

TEST_F(FileOpsTest, LoadFileKeepsLineEndsAsTheyStand) {
  const std::wstring path = scratch / L"lf.txt";
  WriteRaw(path, "a\nb\rc\r\n");
  EXPECT_EQ(Load(path), L"a\nb\rc\r\n");
  WriteRaw(path, "");
  EXPECT_EQ(Load(path), L"");
}

TEST_F(FileOpsTest, LoadFileOfAMissingFileFailsWithFileNotFound) {
  hg::win::unique_bstr text;
  const Failure failure = LastFailure(files->LoadFile(Bstr(scratch / L"none.txt"), text.put()));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  ExpectSystemMessageForm(failure.description);
}

TEST_F(FileOpsTest, SaveFileIntoAMissingFolderFailsWithPathNotFound) {
  const Failure failure =
      LastFailure(files->SaveFile(Bstr(scratch / L"none\\t.txt"), Bstr(L"x")));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  ExpectSystemMessageForm(failure.description);
}

TEST_F(FileOpsTest, FoldersAreNotFiles) {
  hg::win::unique_bstr text;
  EXPECT_TRUE(FAILED(files->LoadFile(Bstr(scratch.path()), text.put())));
  EXPECT_TRUE(FAILED(files->SaveFile(Bstr(scratch.path()), Bstr(L"x"))));
  EXPECT_TRUE(Exists(scratch.path()));
}

TEST_F(FileOpsTest, ALockedFileFailsAndKeepsItsContent) {
  const std::wstring path = scratch / L"locked.txt";
  WriteRaw(path, "old");
  const HANDLE lock = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  hg::win::unique_bstr text;
  EXPECT_EQ(files->LoadFile(Bstr(path), text.put()), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(files->SaveFile(Bstr(path), Bstr(L"new")), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
  ::CloseHandle(lock);
  EXPECT_EQ(ReadRaw(path), "old");
}

// ---- Whole-file bytes ----

TEST_F(FileOpsTest, ByteFilesRoundTripIndexedFromOne) {
  const std::wstring path = scratch / L"b.bin";
  const std::string bytes("\x00\x01\xFF\r\n", 5);
  WriteRaw(path, bytes);
  hg::win::unique_safearray array;
  ASSERT_EQ(files->LoadFileB(Bstr(path), array.put()), S_OK);
  ASSERT_TRUE(array);
  LONG lower = 0, upper = 0;
  ::SafeArrayGetLBound(array.get(), 1, &lower);
  ::SafeArrayGetUBound(array.get(), 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 5);

  WriteRaw(path, std::string(100, 'x'));
  SAFEARRAY* content = array.get();
  ASSERT_EQ(files->SaveFileB(Bstr(path), &content), S_OK);
  EXPECT_EQ(ReadRaw(path), bytes);
}

TEST_F(FileOpsTest, LoadFileBOfAMissingOrEmptyFileGivesNoArray) {
  hg::win::unique_safearray array;
  ASSERT_EQ(files->LoadFileB(Bstr(scratch / L"none.bin"), array.put()), S_OK);
  EXPECT_FALSE(array);
  WriteRaw(scratch / L"empty.bin", "");
  ASSERT_EQ(files->LoadFileB(Bstr(scratch / L"empty.bin"), array.put()), S_OK);
  EXPECT_FALSE(array);
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
  const Failure failure = LastFailure(files->LoadFileB(Bstr(path), array.put()));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE));
  EXPECT_NE(failure.description.find(path), std::wstring::npos) << failure.description;
  EXPECT_FALSE(array);
}

// ---- Folders ----

TEST_F(FileOpsTest, EnsureFolderExistCreatesEveryMissingLevelBelowTheDriveRoot) {
  // Beside the scratch folder, so that only the drive root exists at first.
  const std::wstring top = scratch.path() + L"-root";
  std::filesystem::remove_all(top);
  const std::wstring deepest = top + L"\\x\\y\\z";
  EXPECT_EQ(files->EnsureFolderExist(Bstr(deepest)), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(deepest));
  EXPECT_EQ(files->EnsureFolderExist(Bstr(deepest + L"\\")), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(deepest));
  std::filesystem::remove_all(top);
}

TEST_F(FileOpsTest, EnsureFolderExistReachesBeyondMaxPath) {
  std::wstring deep = scratch.path();
  while (deep.size() < 300) deep += L"\\abcdefghijklmnopqrstuvwxyz";
  ASSERT_EQ(files->EnsureFolderExist(Bstr(deep)), S_OK);
  const DWORD attributes = ::GetFileAttributesW((L"\\\\?\\" + deep).c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  // The scratch folder's removal cannot reach this deep: empty it level by level.
  for (; deep.size() > scratch.path().size(); deep.resize(deep.rfind(L'\\'))) {
    ::RemoveDirectoryW((L"\\\\?\\" + deep).c_str());
  }
}

// Windows refuses plain paths this long (Wine does not, so there this only
// proves that the prefixed search and removal work).
TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersRemovesATreeBeyondMaxPath) {
  const std::wstring top = scratch / L"top";
  std::wstring deep = top;
  while (deep.size() < 300) deep += L"\\abcdefghijklmnopqrstuvwxyz";
  ASSERT_EQ(files->EnsureFolderExist(Bstr(deep)), S_OK);
  const HANDLE file = ::CreateFileW((L"\\\\?\\" + deep + L"\\f.txt").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
  OutText cause;
  EXPECT_TRUE(RemoveFolder2(top, true, cause)) << cause.text();
  EXPECT_EQ(::GetFileAttributesW((L"\\\\?\\" + top).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileOpsTest, EnsureFolderExistReturnsQuietlyOnImpossiblePaths) {
  WriteRaw(scratch / L"file", "x");
  for (const std::wstring& path : {scratch / L"file\\sub\\deeper", std::wstring(L"Q9:\\x\\y"),
                                   std::wstring()}) {
    EXPECT_EQ(files->EnsureFolderExist(Bstr(path)), S_OK) << path;
  }
  EXPECT_FALSE(Exists(scratch / L"file\\sub"));
}

TEST_F(FileOpsTest, DeleteFilesByMask2DeletesMatchingFilesButNotFolders) {
  WriteRaw(scratch / L"a.bak", "a");
  WriteRaw(scratch / L"b.bak", "b");
  WriteRaw(scratch / L"c.txt", "c");
  std::filesystem::create_directory(scratch / L"d.bak");
  OutText cause;
  EXPECT_TRUE(DeleteByMask(scratch.path(), L"*.bak", cause));
  EXPECT_EQ(cause.text(), L"");
  EXPECT_FALSE(Exists(scratch / L"a.bak"));
  EXPECT_FALSE(Exists(scratch / L"b.bak"));
  EXPECT_TRUE(Exists(scratch / L"c.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(scratch / L"d.bak"));
  EXPECT_TRUE(DeleteByMask(scratch.path() + L"\\", L"*.none", cause));
}

TEST_F(FileOpsTest, DeleteFilesByMask2NamesTheFileItCouldNotDelete) {
  const std::wstring path = scratch / L"a.bak";
  WriteRaw(path, "a");
  const HANDLE lock = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  OutText cause;
  EXPECT_FALSE(DeleteByMask(scratch.path(), L"*.bak", cause));
  ::CloseHandle(lock);
  const std::wstring named = L"('\\\\?\\" + path + L"')";
  ASSERT_GT(cause.text().size(), named.size());
  EXPECT_TRUE(cause.text().ends_with(named)) << cause.text();
  ExpectSystemMessageForm(cause.text().substr(0, cause.text().size() - named.size()));
}

TEST_F(FileOpsTest, RemoveFolder2WithoutSubFoldersKeepsANonEmptyFolder) {
  WriteRaw(scratch / L"f.txt", "x");
  OutText cause;
  EXPECT_FALSE(RemoveFolder2(scratch.path(), false, cause));
  ExpectSystemMessageForm(cause.text());
  EXPECT_TRUE(Exists(scratch / L"f.txt"));
}

TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersRemovesTheTree) {
  const std::wstring top = scratch / L"top";
  std::filesystem::create_directories(top + L"\\a\\b");
  std::filesystem::create_directories(top + L"\\c");
  WriteRaw(top + L"\\f.txt", "x");
  WriteRaw(top + L"\\a\\b\\g.txt", "y");
  OutText cause;
  EXPECT_TRUE(RemoveFolder2(top, true, cause)) << cause.text();
  EXPECT_EQ(cause.text(), L"");
  EXPECT_FALSE(Exists(top));
  EXPECT_TRUE(Exists(scratch.path()));
}

TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersRemovesALinkedFolderButNotWhatItLinksTo) {
  const std::wstring top = scratch / L"top";
  const std::wstring outside = scratch / L"outside";
  std::filesystem::create_directories(top);
  std::filesystem::create_directories(outside);
  WriteRaw(outside + L"\\keep.txt", "x");
  // Wine answers success but makes no link: only a link that shows the
  // outside file makes this test mean anything.
  if (!::CreateSymbolicLinkW((top + L"\\link").c_str(), outside.c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY) ||
      ReadRaw(top + L"\\link\\keep.txt") != "x") {
    GTEST_SKIP() << "this system makes no folder links";
  }
  OutText cause;
  EXPECT_TRUE(RemoveFolder2(top, true, cause)) << cause.text();
  EXPECT_FALSE(Exists(top));
  EXPECT_EQ(ReadRaw(outside + L"\\keep.txt"), "x");

  // The folder given may itself be the link.
  const std::wstring link = scratch / L"link";
  ASSERT_TRUE(::CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY));
  EXPECT_TRUE(RemoveFolder2(link + L"\\", true, cause)) << cause.text();
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(ReadRaw(outside + L"\\keep.txt"), "x");
}

TEST_F(FileOpsTest, RemoveFolder2WithSubFoldersReportsWhatItCouldNotRemove) {
  const std::wstring top = scratch / L"top";
  std::filesystem::create_directories(top + L"\\a");
  const std::wstring locked = top + L"\\a\\locked.txt";
  WriteRaw(locked, "x");
  const HANDLE lock = ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  OutText cause;
  EXPECT_FALSE(RemoveFolder2(top, true, cause));
  ::CloseHandle(lock);
  EXPECT_TRUE(cause.text().starts_with(L"DeleteFilesByMask2 failed. ")) << cause.text();
  EXPECT_TRUE(Exists(locked));
}

TEST_F(FileOpsTest, RemoveFolder2RefusesPathsShorterThanFourCharacters) {
  OutText cause;
  EXPECT_FALSE(RemoveFolder2(L"C:\\", true, cause));
  EXPECT_EQ(cause.text(), L"Invalid path: 'C:\\'");
}

TEST_F(FileOpsTest, RemoveFolderIsSilent) {
  std::filesystem::create_directories(scratch / L"sub\\deeper");
  WriteRaw(scratch / L"sub\\f.txt", "x");
  VARIANT missing;
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(files->RemoveFolder(Bstr(scratch / L"sub"), missing), S_OK);
  EXPECT_TRUE(Exists(scratch / L"sub\\f.txt"));
  VARIANT yes;
  yes.vt = VT_BOOL;
  yes.boolVal = VARIANT_TRUE;
  EXPECT_EQ(files->RemoveFolder(Bstr(scratch / L"sub"), yes), S_OK);
  EXPECT_FALSE(Exists(scratch / L"sub"));
}

TEST_F(FileOpsTest, RemoveFileReportsAMissingFileAndKeepsTheCauseOnSuccess) {
  const std::wstring path = scratch / L"f.txt";
  OutText cause;
  VARIANT_BOOL result = VARIANT_TRUE;
  ASSERT_EQ(files->RemoveFile(Bstr(path), cause.value.put(), &result), S_OK);
  EXPECT_EQ(result, VARIANT_FALSE);
  ExpectSystemMessageForm(cause.text());

  WriteRaw(path, "x");
  ASSERT_EQ(files->RemoveFile(Bstr(path), cause.value.put(), &result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(cause.value.type(), VT_EMPTY);
}

TEST_F(FileOpsTest, RemoveFileAcceptsDotDotAndSlashes) {
  std::filesystem::create_directory(scratch / L"sub");
  WriteRaw(scratch / L"a.txt", "a");
  WriteRaw(scratch / L"b.txt", "b");
  for (const std::wstring& path : {scratch / L"sub\\..\\a.txt", scratch.path() + L"/sub/../b.txt"}) {
    OutText cause;
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(files->RemoveFile(Bstr(path), cause.value.put(), &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE) << path << L": " << cause.text();
  }
  EXPECT_FALSE(Exists(scratch / L"a.txt"));
  EXPECT_FALSE(Exists(scratch / L"b.txt"));
}

TEST_F(FileOpsTest, AFolderThatCannotBeSearchedIsReportedNotTakenAsEmpty) {
  // "|" is no valid name: the search fails for a reason other than absence.
  const std::wstring folder = scratch / L"a|b";
  OutText cause;
  EXPECT_FALSE(DeleteByMask(folder, L"*.*", cause));
  ExpectSystemMessageForm(cause.text());
  com_ptr<_CCollection> names;
  EXPECT_EQ(files->DirectoryContents(Bstr(folder), names.put()),
            HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
}

TEST_F(FileOpsTest, ByReferenceOutputsFollowTypedReferences) {
  BSTR text = ::SysAllocString(L"before");
  VARIANT cause;
  cause.vt = VT_BYREF | VT_BSTR;
  cause.pbstrVal = &text;
  VARIANT_BOOL result = VARIANT_TRUE;
  ASSERT_EQ(files->RemoveFile(Bstr(scratch / L"none"), &cause, &result), S_OK);
  const hg::win::unique_bstr owner(text);
  EXPECT_EQ(result, VARIANT_FALSE);
  EXPECT_EQ(cause.vt, VT_BYREF | VT_BSTR);
  ExpectSystemMessageForm(owner.get());
}

TEST_F(FileOpsTest, ByReferenceOutputsWithoutTheirReferenceGetAValue) {
  VARIANT cause;
  cause.vt = VT_BYREF | VT_BSTR;
  cause.pbstrVal = nullptr;
  VARIANT_BOOL result = VARIANT_TRUE;
  ASSERT_EQ(files->RemoveFile(Bstr(scratch / L"none"), &cause, &result), S_OK);
  ASSERT_EQ(cause.vt, VT_BSTR);
  ExpectSystemMessageForm(cause.bstrVal);
  ::VariantClear(&cause);

  wchar_t system[MAX_PATH];
  ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
  VARIANT is32, is64;
  is32.vt = is64.vt = VT_BYREF | VT_BOOL;
  is32.pboolVal = is64.pboolVal = nullptr;
  Variant text;
  ASSERT_EQ(files->LoadFileHeaderMachine(Bstr(std::wstring(system) + L"\\kernel32.dll"), &is32,
                                         &is64, text.put(), &result),
            S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  ASSERT_EQ(is64.vt, VT_BOOL);
  EXPECT_EQ(is64.boolVal, VARIANT_TRUE);
  ASSERT_EQ(is32.vt, VT_BOOL);
  EXPECT_EQ(is32.boolVal, VARIANT_FALSE);
}

// ---- Tests of existence and type ----

TEST_F(FileOpsTest, IsFileExistFindsFilesFoldersAndWildcardMatches) {
  WriteRaw(scratch / L"f.txt", "x");
  EXPECT_TRUE(IsFileExist(scratch / L"f.txt"));
  EXPECT_TRUE(IsFileExist(scratch.path() + L"\\"));
  EXPECT_TRUE(IsFileExist(scratch / L"*.txt"));
  EXPECT_FALSE(IsFileExist(scratch / L"g.txt"));
  EXPECT_FALSE(IsFileExist(L""));
}

TEST_F(FileOpsTest, IsFolderTellsFoldersFromFiles) {
  WriteRaw(scratch / L"f.txt", "x");
  VARIANT_BOOL result = VARIANT_FALSE;
  ASSERT_EQ(files->IsFolder(Bstr(scratch.path()), &result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  ASSERT_EQ(files->IsFolder(Bstr(scratch / L"f.txt"), &result), S_OK);
  EXPECT_EQ(result, VARIANT_FALSE);
  ASSERT_EQ(files->IsFolder(Bstr(scratch / L"nowhere\\"), &result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);  // decided by the trailing backslash alone
}

TEST_F(FileOpsTest, IsFolderOfAMissingPathFails) {
  VARIANT_BOOL result = VARIANT_FALSE;
  const Failure failure = LastFailure(files->IsFolder(Bstr(scratch / L"none"), &result));
  EXPECT_EQ(failure.hr, static_cast<HRESULT>(0x80040000));
  EXPECT_NE(failure.description.find(scratch / L"none"), std::wstring::npos);
}

// ---- Copies ----

TEST_F(FileOpsTest, FileCopyAxCopiesOverAnExistingFile) {
  WriteRaw(scratch / L"a.txt", "new");
  WriteRaw(scratch / L"b.txt", "old content");
  Variant result;
  ASSERT_EQ(files->FileCopyAx(Bstr(scratch / L"a.txt"), Bstr(scratch / L"b.txt"), result.put()),
            S_OK);
  EXPECT_EQ(result.type(), VT_EMPTY);
  EXPECT_EQ(ReadRaw(scratch / L"b.txt"), "new");
}

TEST_F(FileOpsTest, FileCopyAxFailureNamesBothPaths) {
  const std::wstring source = scratch / L"none.txt";
  const std::wstring target = scratch / L"b.txt";
  Variant result;
  const Failure failure =
      LastFailure(files->FileCopyAx(Bstr(source), Bstr(target), result.put()));
  EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  const std::wstring start = L"Cannot copy file '" + source + L"' to '" + target + L"'. ";
  EXPECT_TRUE(failure.description.starts_with(start)) << failure.description;
  EXPECT_GT(failure.description.size(), start.size());
}

TEST_F(FileOpsTest, CopyFileOrFolderCopiesATreeIntoAFolder) {
  std::filesystem::create_directories(scratch / L"src\\dir\\sub");
  WriteRaw(scratch / L"src\\dir\\f.txt", "f");
  WriteRaw(scratch / L"src\\dir\\sub\\g.txt", "g");
  std::filesystem::create_directory(scratch / L"dst");
  OutText cause;
  EXPECT_TRUE(CopyFileOrFolder(scratch / L"src\\dir", scratch / L"dst\\", cause)) << cause.text();
  EXPECT_EQ(cause.text(), L"");
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\f.txt"), "f");
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\sub\\g.txt"), "g");
}

TEST_F(FileOpsTest, NamesWithPercentSignsInsideATreeAreNamesNotVariables) {
  std::filesystem::create_directories(scratch / L"src\\dir\\%HG_FILES_NAME%");
  WriteRaw(scratch / L"src\\dir\\%HG_FILES_NAME%\\h.txt", "h");
  WriteRaw(scratch / L"src\\dir\\%HG_FILES_NAME%.txt", "t");
  std::filesystem::create_directory(scratch / L"dst");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HG_FILES_NAME", L"other"));
  OutText cause;
  EXPECT_TRUE(CopyFileOrFolder(scratch / L"src\\dir", scratch / L"dst\\", cause)) << cause.text();
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\%HG_FILES_NAME%\\h.txt"), "h");
  EXPECT_EQ(ReadRaw(scratch / L"dst\\dir\\%HG_FILES_NAME%.txt"), "t");
  EXPECT_FALSE(Exists(scratch / L"dst\\dir\\other"));
  EXPECT_TRUE(RemoveFolder2(scratch / L"src", true, cause)) << cause.text();
  EXPECT_FALSE(Exists(scratch / L"src"));
}

TEST_F(FileOpsTest, CopyFileOrFolderCopiesAFileToANewNameThroughTheEnvironment) {
  WriteRaw(scratch / L"f.txt", "f");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HG_FILES_TEST", scratch.path().c_str()));
  OutText cause;
  EXPECT_TRUE(CopyFileOrFolder(L"%HG_FILES_TEST%\\f.txt", scratch / L"g.txt", cause))
      << cause.text();
  EXPECT_EQ(ReadRaw(scratch / L"g.txt"), "f");
}

TEST_F(FileOpsTest, CopyFileOrFolderReportsBadSources) {
  OutText cause;
  EXPECT_FALSE(CopyFileOrFolder(L"C:", scratch / L"x", cause));
  EXPECT_EQ(cause.text(), L"Invalid FileOrFolder: 'C:'");
  EXPECT_FALSE(CopyFileOrFolder(scratch / L"none", scratch / L"x", cause));
  EXPECT_NE(cause.text().find(scratch / L"none"), std::wstring::npos) << cause.text();
  EXPECT_FALSE(Exists(scratch / L"x"));
}

TEST_F(FileOpsTest, CopyFileOrFolderRefusesToCopyAFolderIntoItself) {
  const std::wstring source = scratch / L"a";
  std::filesystem::create_directories(source + L"\\sub");
  WriteRaw(source + L"\\f.txt", "f");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HG_FILES_TEST", scratch.path().c_str()));
  OutText cause;
  for (const std::wstring& copyTo :
       {source + L"\\", scratch / L"A\\b", source, scratch / L"x\\..\\a/sub\\"}) {
    EXPECT_FALSE(CopyFileOrFolder(L"%HG_FILES_TEST%\\a", copyTo, cause)) << copyTo;
    EXPECT_EQ(cause.text(), L"The destination lies inside the folder to copy.") << copyTo;
  }
  EXPECT_FALSE(Exists(source + L"\\a"));
  EXPECT_FALSE(Exists(source + L"\\b"));
  EXPECT_FALSE(Exists(source + L"\\sub\\a"));
  // A folder whose name merely begins with the source's lies beside it.
  EXPECT_TRUE(CopyFileOrFolder(source, scratch / L"ab\\", cause)) << cause.text();
  EXPECT_EQ(ReadRaw(scratch / L"ab\\a\\f.txt"), "f");
}

// ---- Nothing but what the caller named ----

// The system reads a name up to its first NUL: cut there, each of these
// names would name "keep".
TEST_F(FileOpsTest, NamesHoldingANulAreRefusedAndTouchNothing) {
  const std::wstring keep = scratch / L"keep";
  std::filesystem::create_directory(keep);
  WriteRaw(keep + L"\\f.txt", "f");
  const std::wstring cut = keep + L'\0' + L"\\junk";
  const std::wstring cutFile = keep + L"\\f.txt" + L'\0' + L".junk";
  OutText cause;
  EXPECT_FALSE(RemoveFolder2(cut, true, cause));
  EXPECT_NE(cause.text().find(L"NUL"), std::wstring::npos) << cause.text();
  EXPECT_FALSE(DeleteByMask(keep, std::wstring(L"*") + L'\0' + L"x", cause));
  EXPECT_FALSE(CopyFileOrFolder(scratch / L"none", cut, cause));
  VARIANT_BOOL result = VARIANT_TRUE;
  EXPECT_EQ(files->RemoveFile(Bstr(cutFile), cause.value.put(), &result), S_OK);
  EXPECT_EQ(result, VARIANT_FALSE);
  Variant empty;
  const std::function<HRESULT()> raising[] = {
      [&] { return files->SaveFile(Bstr(cutFile), Bstr(L"lost")); },
      [&] { return files->RemoveFolder(Bstr(cut), empty.get()); },
      [&] { return files->FileCopyAx(Bstr(keep + L"\\f.txt"), Bstr(cutFile), empty.put()); },
  };
  for (const auto& call : raising) {
    const Failure failure = LastFailure(call());
    EXPECT_EQ(failure.hr, E_INVALIDARG);
    EXPECT_NE(failure.description.find(L"NUL"), std::wstring::npos) << failure.description;
  }
  EXPECT_EQ(ReadRaw(keep + L"\\f.txt"), "f");
}

TEST_F(FileOpsTest, RemoveFolder2RefusesEverySpellingOfADriveRoot) {
  WriteRaw(scratch / L"f.txt", "f");
  const std::wstring root = scratch.drive().root();  // "S:\"
  const std::wstring drive = root.substr(0, 2);
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HG_FILES_DRIVE", drive.c_str()));
  ASSERT_TRUE(::SetCurrentDirectoryW(scratch.path().c_str()));
  for (const std::wstring& path :
       {root + L"\\", drive + L"//", scratch / L"..", scratch / L"sub\\..\\..\\.", L"\\\\?\\" + root,
        L"\\\\.\\" + root, L"\\\\?\\" + scratch.path() + L"\\..", std::wstring(L"%HG_FILES_DRIVE%"),
        std::wstring(L"..\\..\\..")}) {
    OutText cause;
    EXPECT_FALSE(RemoveFolder2(path, true, cause)) << path;
    EXPECT_NE(cause.text().find(L"never removed"), std::wstring::npos) << path << L": " << cause.text();
    ASSERT_EQ(ReadRaw(scratch / L"f.txt"), "f") << path;
  }
  ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\"));
}

TEST_F(FileOpsTest, APathTooLongToExpandWholeIsRefused) {
  // Cut where the system stops expanding, the path would name "keep".
  const std::wstring keep = scratch / L"keep";
  std::filesystem::create_directory(keep);
  std::wstring path = keep;
  while (path.size() < 40000) path += L"\\.";
  path += L"\\junk";
  OutText cause;
  EXPECT_FALSE(RemoveFolder2(path, true, cause));
  EXPECT_NE(cause.text().find(L"32766"), std::wstring::npos) << cause.text();
  EXPECT_FALSE(CopyFileOrFolder(path, scratch / L"copy", cause));
  EXPECT_TRUE(Exists(keep));
  EXPECT_FALSE(Exists(scratch / L"copy"));
}

TEST_F(FileOpsTest, DeleteFilesByMask2RefusesAMaskWithAFolder) {
  std::filesystem::create_directory(scratch / L"sub");
  WriteRaw(scratch / L"sub\\a.txt", "sub");
  WriteRaw(scratch / L"a.txt", "top");
  OutText cause;
  for (const wchar_t* mask : {L"sub\\*.txt", L"sub/*.txt"}) {
    EXPECT_FALSE(DeleteByMask(scratch.path(), mask, cause)) << mask;
    EXPECT_NE(cause.text().find(mask), std::wstring::npos) << cause.text();
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
  const std::wstring copy = scratch / L"copy\\";
  const auto work = [&] {
    OutText cause;
    EXPECT_EQ(files->EnsureFolderExist(Bstr(deep)), S_OK);
    EXPECT_TRUE(CopyFileOrFolder(scratch / L"deep", copy, cause)) << cause.text();
    EXPECT_TRUE(Exists(L"\\\\?\\" + scratch / L"copy" + deep.substr(scratch.path().size())));
    EXPECT_TRUE(RemoveFolder2(scratch / L"copy", true, cause)) << cause.text();
    EXPECT_TRUE(RemoveFolder2(scratch / L"deep", true, cause)) << cause.text();
  };
  EXPECT_TRUE(hg::test::RunOnSmallStack(work)) << "the walk overflowed its stack";
  EXPECT_FALSE(Exists(scratch / L"deep"));
  EXPECT_FALSE(Exists(scratch / L"copy"));
}

TEST_F(FileOpsTest, CopyFileOrFolderRefusesADestinationInsideTheSourceUnderAnotherName) {
  std::filesystem::create_directories(scratch / L"a\\sub");
  WriteRaw(scratch / L"a\\f.txt", "f");
  // The scratch drive shows a folder of drive C: under another name.
  const std::wstring source = scratch.drive().folder() + L"\\hg-files\\a";
  ASSERT_EQ(ReadRaw(source + L"\\f.txt"), "f");
  OutText cause;
  EXPECT_FALSE(CopyFileOrFolder(source, scratch / L"a\\sub\\", cause));
  EXPECT_EQ(cause.text(), L"The destination lies inside the folder to copy.");
  EXPECT_FALSE(Exists(scratch / L"a\\sub\\a"));
}

TEST_F(FileOpsTest, CopyFileOrFolderOfAnEmptyFolderFailsWhereNoFolderCanBeMade) {
  std::filesystem::create_directory(scratch / L"empty");
  WriteRaw(scratch / L"file", "x");
  OutText cause;
  EXPECT_FALSE(CopyFileOrFolder(scratch / L"empty", scratch / L"file\\", cause));
  EXPECT_NE(cause.text().find(scratch / L"file\\empty"), std::wstring::npos) << cause.text();
}

TEST_F(FileOpsTest, SaveFileWritesToADevice) {
  EXPECT_EQ(files->SaveFile(Bstr(L"NUL"), Bstr(L"x")), S_OK);
}

// ---- Listing, images, dates, paths ----

TEST_F(FileOpsTest, DirectoryContentsListsFilesAndFoldersByName) {
  WriteRaw(scratch / L"f.txt", "x");
  std::filesystem::create_directory(scratch / L"sub");
  com_ptr<_CCollection> names;
  ASSERT_EQ(files->DirectoryContents(Bstr(scratch.path()), names.put()), S_OK);
  LONG count = 0;
  names->get_Count(&count);
  ASSERT_EQ(count, 2);
  std::vector<std::wstring> found;
  for (LONG i = 1; i <= count; ++i) {
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = i;
    Variant item;
    ASSERT_EQ(names->get_Item(index, item.put()), S_OK);
    found.push_back(item.get().bstrVal);
  }
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::wstring>{L"f.txt", L"sub"}));

  ASSERT_EQ(files->DirectoryContents(Bstr(scratch / L"none\\"), names.put()), S_OK);
  names->get_Count(&count);
  EXPECT_EQ(count, 0);
}

TEST_F(FileOpsTest, LoadFileHeaderMachineReadsA64BitSystemDll) {
  wchar_t system[MAX_PATH];
  ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
  bool is32 = true, is64 = false;
  OutText cause;
  EXPECT_TRUE(HeaderMachine(std::wstring(system) + L"\\kernel32.dll", is32, is64, cause));
  EXPECT_TRUE(is64);
  EXPECT_FALSE(is32);
  EXPECT_EQ(cause.text(), L"");
}

TEST_F(FileOpsTest, LoadFileHeaderMachineRejectsTextAndMissingFiles) {
  WriteRaw(scratch / L"t.txt", std::string(200, 'a'));
  bool is32 = false, is64 = false;
  OutText cause;
  EXPECT_FALSE(HeaderMachine(scratch / L"t.txt", is32, is64, cause));
  EXPECT_EQ(cause.text(), L"Invalid file.");
  EXPECT_FALSE(HeaderMachine(scratch / L"none.dll", is32, is64, cause));
  EXPECT_EQ(cause.text(), L"Cannot load file.");
}

TEST_F(FileOpsTest, FileCreationDateIsTheLocalTimeOfCreation) {
  WriteRaw(scratch / L"f.txt", "x");
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  DATE expected = 0, created = -1;
  ::SystemTimeToVariantTime(&now, &expected);
  ASSERT_EQ(files->FileCreationDate(Bstr(scratch / L"f.txt"), &created), S_OK);
  EXPECT_NEAR(created, expected, 1.0 / 24 / 60);  // within a minute
  ASSERT_EQ(files->FileCreationDate(Bstr(scratch / L"none"), &created), S_OK);
  EXPECT_EQ(created, 0.0);
}

TEST_F(FileOpsTest, RedirectionSwitchesAreHarmlessInA64BitProcess) {
  EXPECT_EQ(files->Wow64DisableWow64FileSystemRedirection(), S_OK);
  EXPECT_EQ(files->Wow64DisableWow64FileSystemRedirection(), S_OK);
  EXPECT_EQ(files->Wow64RevertWow64FileSystemRedirection(), S_OK);
  EXPECT_TRUE(IsFileExist(scratch.path()));
}

TEST(FileOpsScript, VBScriptUsesFileOpsLateBound) {
  hg::test::ComApartment com;
  const hg::test::ScriptRun run = hg::test::RunScript(L"file_ops_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
