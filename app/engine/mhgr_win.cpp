// The hosts-file engine on Windows.
#include "app/engine/mhgr_win.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <initializer_list>

#include "app/engine/failure.h"
#include "app/engine/hosts_file.h"
#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "app/engine/strings_win.h"
#include "common/text/utf.h"
#include "common/win/file_win.h"
#include "common/win/proc_address.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "common/win/variant_win.h"

namespace app::engine {
namespace {

using hg::win::MakeBstr;
using hg::win::Widen;

constexpr char kApplySource[] = "MHGR.ApplyBlocked";

// The system's DNS client reads a big hosts file for seconds with sharing
// that shuts writers out; a short wait usually lets it finish.
constexpr int kSharingAttempts = 20;
constexpr DWORD kSharingPauseMs = 50;

HostsFileSystem& FileSystem() {
  HostsFileSystem* files = CurrentServices().files;
  return files ? *files : SystemFileSystem();
}

const std::string& HostsFilePath() { return CurrentServices().hostsFilePath; }

class SystemHostsFileSystem final : public HostsFileSystem {
 public:
  std::string Read(const std::string& path) override {
    SAFEARRAY* raw = nullptr;
    engine::Check(engine::SharedFileOps().LoadFileB(MakeBstr(path).get(), &raw));
    const hg::win::unique_safearray bytes(raw);
    if (!bytes) {
      // The library reads a file it cannot find as an empty one: only a file
      // that is there and empty is one.
      WIN32_FILE_ATTRIBUTE_DATA data;
      THROW_IF_WIN32_BOOL_FALSE(
          ::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data));
      if (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0) hg::win::ThrowHResult(E_ACCESSDENIED);
      return {};
    }
    return hg::win::BytesOf(bytes.get());
  }

  std::uint32_t Attributes(const std::string& path) override {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    THROW_LAST_ERROR_IF(attributes == INVALID_FILE_ATTRIBUTES);
    return attributes;
  }

  FileStamp Stamp(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    THROW_IF_WIN32_BOOL_FALSE(
        ::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data));
    const auto join = [](DWORD high, DWORD low) {
      return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    return {join(data.nFileSizeHigh, data.nFileSizeLow),
            join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
  }

  void SetAttributes(const std::string& path, std::uint32_t attributes) override {
    THROW_IF_WIN32_BOOL_FALSE(::SetFileAttributesW(Widen(path).c_str(), attributes));
  }

  std::string CreateTemporary(const std::string& folder) override {
    wchar_t name[MAX_PATH + 1] = {};
    THROW_IF_WIN32_BOOL_FALSE(::GetTempFileNameW(Widen(folder).c_str(), L"hgr", 0, name));
    return hg::win::Narrow(name);
  }

  void Write(const std::string& path, const std::string& bytes) override {
    hg::win::unique_file_handle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                   TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                   nullptr));
    THROW_LAST_ERROR_IF(!file);
    hg::win::WriteAll(file.get(), bytes);
    // The new content must be on disk before it takes the old one's place.
    THROW_IF_WIN32_BOOL_FALSE(::FlushFileBuffers(file.get()));
  }

  void CopySecurity(const std::string& fromPath, const std::string& toPath) override {
    const std::wstring from = Widen(fromPath), to = Widen(toPath);
    // The access rules; the owner stays the writer's, as only a restore
    // privilege may give a file away.
    constexpr SECURITY_INFORMATION kWhat = DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    ::GetFileSecurityW(from.c_str(), kWhat, nullptr, 0, &needed);
    THROW_LAST_ERROR_IF(needed == 0);
    std::string descriptor(needed, '\0');
    THROW_IF_WIN32_BOOL_FALSE(::GetFileSecurityW(from.c_str(), kWhat, descriptor.data(), needed,
                                                 &needed));
    THROW_IF_WIN32_BOOL_FALSE(::SetFileSecurityW(to.c_str(), kWhat, descriptor.data()));
  }

  void Replace(const std::string& from, const std::string& to) override {
    THROW_IF_WIN32_BOOL_FALSE(::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  }

  void Remove(const std::string& path) override {
    // The file carries the hosts file's attributes by now: read-only ones
    // DeleteFileW refuses.
    const std::wstring wide = Widen(path);
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    THROW_IF_WIN32_BOOL_FALSE(::DeleteFileW(wide.c_str()));
  }
};

constexpr std::int32_t kSharingViolation =
    static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
// Renaming onto a file another process holds open fails with this one.
constexpr std::int32_t kAccessDenied =
    static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));

// Runs step, repeating it for a moment while it fails with one of `numbers`,
// the failures of a file another process holds.
template <typename Step>
auto RetryWhileHeld(std::initializer_list<std::int32_t> numbers, Step&& step) {
  for (int attempt = 1;; ++attempt) {
    try {
      return step();
    } catch (...) {
      const std::int32_t number = FailureOf(std::current_exception()).number();
      if (attempt == kSharingAttempts ||
          std::find(numbers.begin(), numbers.end(), number) == numbers.end()) {
        throw;
      }
    }
    ::Sleep(kSharingPauseMs);
  }
}

std::string ReadHostsFile(HostsFileSystem& files, const std::string& path) {
  return RetryWhileHeld({kSharingViolation}, [&] { return files.Read(path); });
}

// Clearing up after a failure: a scanner may hold the new file for a moment.
// When it cannot be removed now, the system removes it at the next start.
void RemoveTemporary(HostsFileSystem& files, const std::string& temporary) noexcept {
  try {
    RetryWhileHeld({kSharingViolation, kAccessDenied}, [&] { files.Remove(temporary); });
  } catch (...) {
    try {
      ::MoveFileExW(Widen(temporary).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    } catch (...) {
    }
  }
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// So that a block takes effect at once rather than when cached answers expire.
void FlushDnsCache() noexcept {
  const hg::win::unique_hmodule dns(::LoadLibraryW(L"dnsapi.dll"));
  if (!dns) return;
  using FlushFunction = BOOL(WINAPI*)();
  if (const auto flush = hg::win::GetProc<FlushFunction>(dns.get(), "DnsFlushResolverCache")) {
    flush();
  }
}

// The attributes SetFileAttributesW takes; the others (compressed, encrypted,
// ...) are properties of the data, not flags to copy.
std::uint32_t SettableAttributes(std::uint32_t attributes) {
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD settable = attributes & kSettable;
  return settable ? settable : FILE_ATTRIBUTE_NORMAL;
}

void WriteAtomically(HostsFileSystem& files, const std::string& path, const std::string& content) {
  const std::uint32_t attributes = SettableAttributes(files.Attributes(path));
  const bool readOnly = (attributes & kAttributeReadOnly) != 0;
  const std::string temporary = files.CreateTemporary(FolderOf(path));
  try {
    files.Write(temporary, content);
    // The new file carries the old one's attributes and access rules before
    // it takes its place, so that nothing is left to fail once it has.
    files.SetAttributes(temporary, attributes);
    files.CopySecurity(path, temporary);
    if (readOnly) files.SetAttributes(path, kAttributeArchive);
    try {
      RetryWhileHeld({kSharingViolation, kAccessDenied}, [&] { files.Replace(temporary, path); });
    } catch (...) {
      // The old file is still whole: give it back its protection.
      if (readOnly) {
        try {
          files.SetAttributes(path, attributes);
        } catch (...) {
        }
      }
      throw;
    }
  } catch (...) {
    RemoveTemporary(files, temporary);
    throw;
  }
}

// The sites' entry names in the hosts file's code page.
std::vector<std::string> Entries(const std::vector<std::string>& sites) {
  engine::RequireSafeSiteNames(sites);
  std::vector<std::string> entries;
  entries.reserve(sites.size());
  for (const std::string& site : sites) {
    // A look-alike or "?" in place of a character would block another site.
    auto entry = hg::win::WideToAnsiExact(hg::win::Widen(site));
    if (!entry) {
      throw engine::UnsafeSiteName(site, "cannot be written in the hosts file's character set.");
    }
    entries.push_back(std::move(*entry));
  }
  return entries;
}

std::vector<std::string> SitesOf(std::string_view content) {
  return engine::BlockedSites(content, [](std::string_view bytes) {
    return hg::win::Narrow(hg::win::AnsiToWide(bytes));
  });
}

// Blocks `sites`, or with `changes` and `seen` the command's changes made to
// the file as it is now (ApplyBlockedChanges).
std::optional<std::vector<std::string>> Apply(const std::vector<std::string>& sites,
                                              const SiteChanges* changes,
                                              std::optional<HostsSnapshot>* seen) {
  std::vector<std::string> entries = Entries(sites);
  HostsFileSystem& files = FileSystem();
  const std::string& path = HostsFilePath();
  // The stamp before the bytes: a change between the two shows next time.
  const FileStamp stamp = seen ? files.Stamp(path) : FileStamp{};
  const std::string content = ReadHostsFile(files, path);
  std::optional<std::vector<std::string>> merged;
  if (changes && (!*seen || (*seen)->stamp != stamp)) {
    std::vector<std::string> current = SitesOf(content);
    if (!*seen || (*seen)->blockedHash != ListHash(current)) {
      merged = changes->AppliedTo(current);
      entries = Entries(*merged);
    }
  }
  WriteAtomically(files, path, engine::ApplyBlockedContent(content, entries));
  if (seen) {
    // The file is written: not knowing its stamp only costs the next command
    // a look at its entries.
    seen->reset();
    try {
      *seen = HostsSnapshot{files.Stamp(path), ListHash(merged ? *merged : sites)};
    } catch (...) {
    }
  }
  FlushDnsCache();
  return merged;
}

std::string CannotApplyText(const std::string& path) {
  const std::string text = ProgramString(kCannotApplyTo);
  try {
    return engine::FormatString(text, {path});
  } catch (...) {
    return text;
  }
}

std::vector<std::string> ReadSites(std::optional<HostsSnapshot>* seen) {
  HostsFileSystem& files = FileSystem();
  const std::string& path = HostsFilePath();
  if (seen) seen->reset();
  const FileStamp stamp = seen ? files.Stamp(path) : FileStamp{};
  std::vector<std::string> sites = SitesOf(ReadHostsFile(files, path));
  if (seen) *seen = HostsSnapshot{stamp, ListHash(sites)};
  return sites;
}

// Logs what ApplyBlocked could not do and raises it (pattern M).
[[noreturn]] void RaiseApplyFailure() {
  const Failure failure = FailureOf(std::current_exception());
  const Services* services = InstalledServices();
  LogTwiceAndRaise(failure, kApplySource, kCannotApplyTo,
                   CannotApplyText(services ? services->hostsFilePath : std::string()));
}

}  // namespace

HostsFileSystem& SystemFileSystem() {
  static SystemHostsFileSystem system;
  return system;
}

std::vector<std::string> ReadBlockedSites(std::optional<HostsSnapshot>* seen) {
  try {
    return ReadSites(seen);
  } catch (...) {
    // Passed on untrapped, in the form every caller's trap expects.
    throw FailureOf(std::current_exception());
  }
}

void RequireBlockable(const std::vector<std::string>& sites) {
  try {
    Entries(sites);
  } catch (...) {
    throw FailureOf(std::current_exception());
  }
}

FileStamp HostsFileStamp() {
  try {
    return FileSystem().Stamp(HostsFilePath());
  } catch (...) {
    throw FailureOf(std::current_exception());
  }
}

void ApplyBlocked(const std::vector<std::string>& sites) {
  try {
    Apply(sites, nullptr, nullptr);
  } catch (...) {
    RaiseApplyFailure();
  }
}

std::optional<std::vector<std::string>> ApplyBlockedChanges(const std::vector<std::string>& sites,
                                                            const SiteChanges& changes,
                                                            std::optional<HostsSnapshot>& seen) {
  try {
    return Apply(sites, &changes, &seen);
  } catch (...) {
    RaiseApplyFailure();
  }
}

}  // namespace app::engine
