// FileOps: the library's file and folder class as a COM class.
#include "shared/files/file_ops_win.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/com/startup_win.h"
#include "shared/containers/collection_win.h"
#include "shared/files/file_exist_win.h"
#include "shared/files/file_io_win.h"
#include "shared/files/file_messages.h"
#include "shared/files/file_paths.h"
#include "shared/files/folder_acl.h"
#include "shared/files/pe_header.h"
#include "shared/global/system_info_win.h"
#include "shared/system_message.h"
#include "shared/tree_walk.h"
#include "tkShared.h"

namespace tk {
namespace {

using hg::win::Narrow;
using hg::win::VariantBool;
using hg::win::Widen;

// The error number IsFolder raises for a path that does not exist.
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80040000);
constexpr std::size_t kHeadBytes = 10240;

std::string Utf8(BSTR text) { return hg::win::FromBstr(text); }
// A caller's path or mask, refused when the system would not take it whole.
std::string Name(BSTR text, std::string_view parameter) {
  return hg::win::NameFromBstr(text, parameter);
}

// Lengths as callers count them: UTF-16 units.
std::size_t Length(const std::string& text) { return Widen(text).size(); }

std::string LastErrorMessage() { return SystemMessageText(::GetLastError()); }

// Environment references expanded; a text the system cannot expand whole is
// refused. Any other failure leaves the text as it is.
std::string ExpandedOrAsIs(const std::string& text) {
  try {
    return ExpandEnvironment(text);
  } catch (const hg::win::RefusedText&) {
    throw;
  } catch (const hg::win::HResultError&) {
    return text;
  }
}

// The system's full form of a path: "." and ".." resolved, "/" turned into
// "\"; the path itself when the system cannot resolve it.
std::wstring FullPathName(const std::wstring& path) {
  std::wstring full;
  DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  // Until the buffer holds the answer: it may grow between two calls.
  while (length != 0 && length >= full.size()) {
    full.resize(length);
    length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                nullptr);
  }
  if (length == 0) return path;
  full.resize(length);
  return full;
}

// The form every operation hands to the system. The long-path prefix lets a
// path reach beyond MAX_PATH but switches off the system's normalisation, so
// an absolute path is made whole first (".." and "/" keep working). Relative,
// device and already prefixed paths stay as they are.
std::string LongPath(const std::string& path) {
  if (!TakesLongPathPrefix(path)) return path;
  return WithLongPathPrefix(Narrow(FullPathName(Widen(path))));
}

// A path in one form for comparing with another: whole, prefixed and in
// capitals, as the file system ignores case.
std::string ComparablePath(const std::string& path) {
  const std::wstring full = Widen(WithLongPathPrefix(Narrow(FullPathName(Widen(path)))));
  if (full.empty()) return {};
  std::wstring upper(full.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(),
                                     static_cast<int>(full.size()), upper.data(),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
  if (length <= 0) return Narrow(full);
  upper.resize(static_cast<std::size_t>(length));
  return Narrow(upper);
}

struct Entry {
  std::string name;
  bool isFolder;
  bool isLink;  // a junction or symbolic link: its target lies elsewhere
};

[[noreturn]] void ThrowSearchFailure(DWORD error) {
  hg::win::ThrowHResult(HRESULT_FROM_WIN32(error), SystemMessageText(error));
}

// A junction or symbolic link. Other reparse points (cloud placeholders,
// deduplicated folders) hold their own content.
bool IsLink(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT ||
          found.dwReserved0 == IO_REPARSE_TAG_SYMLINK);
}

// Every entry a search pattern matches, "." and ".." left out. No match and a
// missing folder give no entries; any other failure (access denied, a path too
// long) throws with the system's message, so that an operation built on the
// list never reports success over entries it could not see.
std::vector<Entry> Search(const std::string& pattern) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAW found;
  const hg::win::unique_find_handle search(::FindFirstFileW(Widen(pattern).c_str(), &found));
  if (!search) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ||
        error == ERROR_PATH_NOT_FOUND) {
      return entries;
    }
    ThrowSearchFailure(error);
  }
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    entries.push_back(
        {Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, IsLink(found)});
  } while (::FindNextFileW(search.get(), &found));
  const DWORD error = ::GetLastError();
  if (error != ERROR_NO_MORE_FILES) ThrowSearchFailure(error);
  return entries;
}

// Search for the operations that answer with a FalseCause.
bool SearchOrCause(const std::string& pattern, std::vector<Entry>& entries,
                   std::string& falseCause) {
  try {
    entries = Search(pattern);
    return true;
  } catch (const hg::win::HResultError& e) {
    falseCause = e.description();
    return false;
  }
}

// By-reference outputs: a script's variable arrives as a VARIANT, a typed
// caller's as a reference to a BSTR or a VARIANT_BOOL; a null one is left out.
void SetText(VARIANT* out, const std::string& text) {
  if (VARIANT* target = hg::win::OutTarget(out)) hg::win::PutText(*target, text);
}

void SetBool(VARIANT* out, bool value) {
  if (VARIANT* target = hg::win::OutTarget(out)) hg::win::PutBool(*target, value);
}

// ---- The operations, on UTF-8 paths ----

// Paths a search found are used as they are: a name holding "%" is a name,
// not a variable to expand again.

// Deletes the files `mask` matches in `directory` (expanded, prefixed, with
// its backslash).
bool DeleteFilesIn(const std::string& directory, const std::string& mask,
                   std::string& falseCause) {
  std::vector<Entry> entries;
  if (!SearchOrCause(directory + mask, entries, falseCause)) return false;
  for (const Entry& entry : entries) {
    if (entry.isFolder) continue;
    const std::string path = directory + entry.name;
    if (!::DeleteFileW(Widen(path).c_str())) {
      falseCause = DeleteFailed(LastErrorMessage(), path);
      return false;
    }
  }
  return true;
}

bool DeleteFilesByMask(const std::string& folder, const std::string& mask,
                       std::string& falseCause) {
  falseCause.clear();
  // The search would list the matches in the mask's folder, and the deletes
  // would then hit the files of the same names in `folder` itself.
  if (!IsFileNamePattern(mask)) {
    falseCause = MaskWithFolder(mask);
    return false;
  }
  return DeleteFilesIn(WithTrailingBackslash(LongPath(ExpandedOrAsIs(folder))), mask, falseCause);
}

DWORD CreateOpenFolder(const std::wstring& path) {
  alignas(DWORD) FolderAcl acl = WorldFolderAcl();
  SECURITY_DESCRIPTOR descriptor;
  if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(acl.data()),
                                   FALSE)) {
    return ::GetLastError();
  }
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
  return ::CreateDirectoryW(path.c_str(), &attributes) ? ERROR_SUCCESS : ::GetLastError();
}

// The folder and every missing folder above it, open to everybody; the error
// of the folder's own creation (ERROR_ALREADY_EXISTS when it was there).
DWORD CreateFolderPath(const std::string& folder) {
  return CreateWithParents(LongPath(folder),
                           [](const std::string& path) { return CreateOpenFolder(Widen(path)); });
}

void EnsureFolderExist(const std::string& folder) { CreateFolderPath(folder); }

// A path's file identity: two names of one file or folder (a mapped drive, a
// junction, a short name) have the same.
struct FileIdentity {
  DWORD volume;
  DWORD high;
  DWORD low;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  const hg::win::unique_file_handle file(
      ::CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !::GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow};
}

// Whether `path` is `folder`, or lies below it, under any of its names: the
// folder's identity against that of the path and each of its ancestors that
// exists, up to the root.
bool LiesInside(const std::string& path, const std::string& folder) {
  const auto identity = IdentityOf(LongPath(folder));
  if (!identity) return false;
  std::string level = WithoutTrailingBackslash(LongPath(path));
  for (;;) {
    if (IdentityOf(level) == identity) return true;
    const auto parent = ParentToCreate(level);
    if (!parent) return IdentityOf(level.substr(0, level.rfind('\\') + 1)) == identity;
    level = *parent;
  }
}

// The resolved path a removal acts on names a root: a drive's, a share's, a volume's.
RootKind RootOfRemoval(const std::string& path) {
  const RootKind asGiven = RootKindOf(path);
  return asGiven != RootKind::None ? asGiven : RootKindOf(Narrow(FullPathName(Widen(path))));
}

bool RemoveFolderTree(const std::string& folder, std::string& falseCause);

bool RemoveFolder(const std::string& path, bool withSubFolders, std::string& falseCause) {
  falseCause.clear();
  if (Length(path) < 4) {
    falseCause = InvalidPath(path);
    return false;
  }
  if (withSubFolders) return RemoveFolderTree(path, falseCause);
  const std::string target = LongPath(path);
  if (const RootKind root = RootOfRemoval(target); root != RootKind::None) {
    falseCause = RootNeverRemoved(root, path);
    return false;
  }
  if (!::RemoveDirectoryW(Widen(target).c_str())) {
    falseCause = ErrorText(::GetLastError());
    return false;
  }
  return true;
}

// Removes one folder that is empty or a link.
bool RemoveOneFolder(const std::string& path, std::string& falseCause) {
  if (!::RemoveDirectoryW(Widen(path).c_str())) {
    falseCause = "RemoveFolder2 failed. " + ErrorText(::GetLastError());
    return false;
  }
  return true;
}

bool RemoveFolderTree(const std::string& folder, std::string& falseCause) {
  falseCause.clear();
  if (Length(folder) < 4) {
    falseCause = InvalidFolder(folder);
    return false;
  }
  // Prefixed, so that a tree reaching beyond MAX_PATH is searched and removed
  // whole. Whether it names a root is decided on the path it resolves to.
  const std::string top = LongPath(WithTrailingBackslash(ExpandedOrAsIs(folder)));
  if (const RootKind root = RootOfRemoval(top); root != RootKind::None) {
    falseCause = RootNeverRemoved(root, folder);
    return false;
  }
  // A folder that is itself a link goes as a link, like the links inside: its
  // target's content is not ours to delete.
  WIN32_FIND_DATAW found;
  const hg::win::unique_find_handle itself(
      ::FindFirstFileW(Widen(WithoutTrailingBackslash(top)).c_str(), &found));
  if (itself && IsLink(found)) return RemoveOneFolder(WithoutTrailingBackslash(top), falseCause);
  // Each folder, ending in a backslash: its files go when it is reached, the
  // folder itself once everything below it has gone.
  return WalkDepthFirst(
      top,
      [&](const std::string& directory, std::vector<std::string>& subfolders) {
        std::string cause;
        if (!DeleteFilesIn(directory, "*.*", cause)) {
          falseCause = "DeleteFilesByMask2 failed. " + cause;
          return false;
        }
        std::vector<Entry> entries;
        if (!SearchOrCause(directory + "*.*", entries, falseCause)) return false;
        for (const Entry& entry : entries) {
          if (!entry.isFolder) continue;
          // A linked folder is removed as a link: what it points to is not
          // part of this tree and must survive.
          if (!entry.isLink) {
            subfolders.push_back(directory + entry.name + "\\");
          } else if (!RemoveOneFolder(directory + entry.name, falseCause)) {
            return false;
          }
        }
        return true;
      },
      [&](const std::string& directory) { return RemoveOneFolder(directory, falseCause); });
}

void CopyOneFile(const std::string& source, const std::string& destination) {
  if (!::CopyFileW(Widen(LongPath(source)).c_str(), Widen(LongPath(destination)).c_str(),
                   FALSE)) {
    const DWORD error = ::GetLastError();
    hg::win::ThrowHResult(HRESULT_FROM_WIN32(error),
                          CopyFailed(source, destination, SystemMessageText(error)));
  }
}

bool IsFolder(const std::string& path) {
  const std::string prefixed = LongPath(path);
  if (prefixed.ends_with('\\')) return true;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(Widen(prefixed).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) hg::win::ThrowHResult(kNotFound, NotFound(path));
  ::FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> DirectoryContents(const std::string& folder) {
  std::vector<std::string> names;
  for (Entry& entry : Search(WithTrailingBackslash(LongPath(folder)) + "*.*")) {
    names.push_back(std::move(entry.name));
  }
  return names;
}

// Makes a folder of the copy; one that cannot be made fails the copy.
void CreateCopyFolder(const std::string& path) {
  const DWORD error = CreateFolderPath(path);
  if (error == ERROR_SUCCESS) return;
  const DWORD attributes = ::GetFileAttributesW(Widen(LongPath(path)).c_str());
  if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return;
  }
  hg::win::ThrowHResult(HRESULT_FROM_WIN32(error),
                        CreateFolderFailed(path, SystemMessageText(error)));
}

// CopyFileOrFolder below the expansion of its source.
bool CopyExpanded(const std::string& expanded, const std::string& copyTo,
                  std::string& falseCause) {
  try {
    const bool isFolder = IsFolder(expanded);
    const auto plan = PlanCopy(expanded, copyTo);
    if (!plan) {
      falseCause = InvalidCopySource(expanded);
      return false;
    }
    if (!isFolder) {
      CopyOneFile(plan->source, plan->destination);
      return true;
    }
    // A copy into itself would go on copying its own copy, also when the
    // destination reaches the source through another name of it.
    if (IsSameOrInside(ComparablePath(plan->destination), ComparablePath(plan->source)) ||
        LiesInside(plan->destination, plan->source)) {
      falseCause = kFolderInsideSource;
      return false;
    }
    // Each folder's content is listed before its copy is made, so that the
    // copy never lists itself.
    return WalkDepthFirst(*plan, [](const CopyPlan& folder, std::vector<CopyPlan>& subfolders) {
      const std::vector<Entry> entries =
          Search(WithTrailingBackslash(LongPath(folder.source)) + "*.*");
      CreateCopyFolder(folder.destination);
      for (const Entry& entry : entries) {
        CopyPlan item{folder.source + "\\" + entry.name, folder.destination + "\\" + entry.name};
        if (entry.isFolder) {
          subfolders.push_back(std::move(item));
        } else {
          CopyOneFile(item.source, item.destination);
        }
      }
      return true;
    });
  } catch (const hg::win::HResultError& e) {
    falseCause = DescriptionOf(e);
    return false;
  }
}

bool CopyFileOrFolder(const std::string& source, const std::string& copyTo,
                      std::string& falseCause) {
  falseCause.clear();
  if (Length(source) < 4) {
    falseCause = InvalidFileOrFolder(source);
    return false;
  }
  std::string expanded;
  try {
    expanded = ExpandEnvironment(source);
  } catch (const hg::win::HResultError& e) {
    falseCause = DescriptionOf(e);
    return false;
  }
  return CopyExpanded(expanded, copyTo, falseCause);
}

MachineType LoadFileHeaderMachine(const std::string& fileName) {
  std::string head;
  const std::wstring path = Widen(fileName);
  if (IsFileExist(path)) {
    try {
      head = ReadFileBytes(path, kHeadBytes);
    } catch (const hg::win::HResultError&) {
      // A file that cannot be read reports, like a missing one, that it
      // cannot be loaded.
    }
  }
  return ReadMachineType(std::span(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()));
}

DATE FileCreationDate(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  SYSTEMTIME time;
  DATE date = 0;
  if (!::GetFileAttributesExW(Widen(fileName).c_str(), GetFileExInfoStandard, &data) ||
      !::FileTimeToLocalFileTime(&data.ftCreationTime, &local) ||
      !::FileTimeToSystemTime(&local, &time)) {
    return 0;
  }
  time.wMilliseconds = 0;
  return ::SystemTimeToVariantTime(&time, &date) ? date : 0;
}

// A file's bytes indexed from 1; an empty file's are an unallocated array.
hg::win::unique_safearray ByteArray(const std::string& bytes) {
  if (bytes.empty()) return {};
  return hg::win::ByteArray(bytes, 1);
}

std::string BytesOf(SAFEARRAY* array) {
  if (!array) return {};
  const VARTYPE type = hg::win::ElementTypeOf(array);
  if ((type != VT_UI1 && type != VT_I1) || ::SafeArrayGetDim(array) != 1) {
    hg::win::ThrowHResult(E_INVALIDARG, "Content must be an array of bytes.");
  }
  return hg::win::BytesOf(array);
}


class FileOps final : public DispatchObject<FileOps, _FileOps> {
 public:
  static constexpr wchar_t kClassName[] = L"FileOps";

  STDMETHODIMP Wow64DisableWow64FileSystemRedirection() override {
    return Trap([&] {
      // The previous state is not kept: a revert always switches redirection on.
      PVOID previous = nullptr;
      if (StartLibrary().isWindows64) ::Wow64DisableWow64FsRedirection(&previous);
    });
  }

  STDMETHODIMP Wow64RevertWow64FileSystemRedirection() override {
    return Trap([&] {
      if (StartLibrary().isWindows64) ::Wow64RevertWow64FsRedirection(nullptr);
    });
  }

  STDMETHODIMP DeleteFilesByMask(BSTR folder, BSTR mask, VARIANT* result) override {
    return Trap([&] {
      ::VariantInit(Checked(result));
      std::string cause;
      tk::DeleteFilesByMask(Name(folder, "Folder"), Name(mask, "FileMask"), cause);
    });
  }

  STDMETHODIMP DeleteFilesByMask2(BSTR folder, BSTR mask, VARIANT* falseCause,
                                  VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string cause;
      *Checked(result) = VariantBool(hg::win::FalseOnRefusedText(cause, [&] {
        return tk::DeleteFilesByMask(Name(folder, "Folder"), Name(mask, "FileMask"), cause);
      }));
      SetText(falseCause, cause);
    });
  }

  STDMETHODIMP EnsureFolderExist(BSTR folder) override {
    return Trap([&] { tk::EnsureFolderExist(Name(folder, "Folder")); });
  }

  STDMETHODIMP RemoveFolder(BSTR pathName, VARIANT withSubFolders) override {
    return Trap([&] {
      const bool recursive =
          !hg::win::IsMissing(withSubFolders) && hg::win::BooleanOf(withSubFolders);
      std::string cause;
      tk::RemoveFolder(Name(pathName, "PathName"), recursive, cause);
    });
  }

  STDMETHODIMP RemoveFolder2(BSTR pathName, VARIANT_BOOL withSubFolders, VARIANT* falseCause,
                             VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string cause;
      *Checked(result) = VariantBool(hg::win::FalseOnRefusedText(cause, [&] {
        return tk::RemoveFolder(Name(pathName, "PathName"), hg::win::IsTrue(withSubFolders), cause);
      }));
      SetText(falseCause, cause);
    });
  }

  STDMETHODIMP RemoveFile(BSTR fileName, VARIANT* falseCause, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      std::string cause;
      const bool deleted = hg::win::FalseOnRefusedText(cause, [&] {
        const bool done = ::DeleteFileW(Widen(LongPath(Name(fileName, "FileName"))).c_str());
        if (!done) cause = LastErrorMessage();
        return done;
      });
      *result = VariantBool(deleted);
      // On success the caller's FalseCause stays as it was.
      if (!deleted) SetText(falseCause, cause);
    });
  }

  STDMETHODIMP isFileExist(BSTR file, VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string ignored;
      *Checked(result) = VariantBool(hg::win::FalseOnRefusedText(ignored, [&] {
        return IsFileExist(std::wstring(hg::win::WideNameFromBstr(file, "File")));
      }));
    });
  }

  STDMETHODIMP FileCopyAx(BSTR source, BSTR destination, VARIANT* result) override {
    return Trap([&] {
      ::VariantInit(Checked(result));
      CopyOneFile(Name(source, "Source"), Name(destination, "Destination"));
    });
  }

  STDMETHODIMP SaveFile(BSTR fileName, BSTR content) override {
    return Trap([&] {
      SaveTextFile(Widen(Name(fileName, "FileName")),
                   content ? std::wstring_view(content, ::SysStringLen(content)) : L"");
    });
  }

  STDMETHODIMP LoadFile(BSTR fileName, BSTR* content) override {
    return Trap([&] {
      Checked(content);
      *content = hg::win::MakeBstr(LoadTextFile(Widen(Name(fileName, "FileName")))).release();
    });
  }

  STDMETHODIMP SaveFileB(BSTR fileName, SAFEARRAY** content) override {
    return Trap([&] {
      WriteFileBytes(Widen(Name(fileName, "FileName")), BytesOf(content ? *content : nullptr));
    });
  }

  STDMETHODIMP LoadFileB(BSTR fileName, SAFEARRAY** content) override {
    return Trap([&] {
      *Checked(content) = nullptr;
      const std::string name = Name(fileName, "FileName");
      const std::wstring path = Widen(name);
      // A missing or empty file gives an unallocated array.
      if (!IsFileExist(path)) return;
      // A safe array of bytes counts its elements in a LONG.
      *content = ByteArray(ReadWholeFile(path, 0x7FFFFFFF, FileTooLarge(name)))
                     .release();
    });
  }

  STDMETHODIMP CopyFileOrFolder(BSTR fileOrFolder, BSTR copyTo, VARIANT* falseCause,
                                VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string cause;
      *Checked(result) = VariantBool(hg::win::FalseOnRefusedText(cause, [&] {
        return tk::CopyFileOrFolder(Name(fileOrFolder, "FileOrFolder"), Name(copyTo, "CopyTo"),
                                    cause);
      }));
      SetText(falseCause, cause);
    });
  }

  STDMETHODIMP DirectoryContents(BSTR folder, _CCollection** names) override {
    return Trap([&] {
      *Checked(names) = nullptr;
      hg::win::com_ptr<_CCollection> collection;
      THROW_IF_FAILED(CreateCollection(IID__CCollection, collection.put_void()));
      const VARIANT missing = hg::win::MissingArgument();
      for (const std::string& name : tk::DirectoryContents(Name(folder, "Folder"))) {
        THROW_IF_FAILED(
            collection->Add(hg::win::TextVariant(name).get(), missing, missing, missing));
      }
      *names = collection.detach();
    });
  }

  STDMETHODIMP IsFolder(BSTR fileOrFolder, VARIANT_BOOL* result) override {
    return Trap(
        [&] { *Checked(result) = VariantBool(tk::IsFolder(Name(fileOrFolder, "FileOrFolder"))); });
  }

  STDMETHODIMP LoadFileHeaderMachine(BSTR fileName, VARIANT* is32Bit, VARIANT* is64Bit,
                                     VARIANT* falseCause, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      MachineType machine;
      hg::win::FalseOnRefusedText(machine.falseCause, [&] {
        machine = tk::LoadFileHeaderMachine(Name(fileName, "FileName"));
        return machine.ok;
      });
      SetText(falseCause, machine.falseCause);
      if (machine.ok) {
        SetBool(is32Bit, machine.is32Bit);
        SetBool(is64Bit, machine.is64Bit);
      }
      *result = VariantBool(machine.ok);
    });
  }

  STDMETHODIMP FileCreationDate(BSTR fileName, DATE* created) override {
    return Trap([&] { *Checked(created) = tk::FileCreationDate(Name(fileName, "FileName")); });
  }

  STDMETHODIMP MergeFolderAndSubobject(BSTR parentFolder, BSTR fileOrFolder,
                                       BSTR* path) override {
    return Trap([&] {
      Checked(path);
      *path = hg::win::MakeBstr(tk::MergeFolderAndSubobject(Utf8(parentFolder), Utf8(fileOrFolder)))
                  .release();
    });
  }
};

}  // namespace

HRESULT CreateFileOps(REFIID iid, void** object) noexcept {
  return CreateInstance<FileOps>(iid, object);
}

}  // namespace tk
