#include "app/engine/mhgr_win.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "app/engine/failure.h"
#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "app/engine/site_changes.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "tests/app/engine/files_in_win.h"
#include "tests/app/engine/recording_log.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace app::engine {
namespace {

using namespace hg::test;

// A failure no retry waits out.
constexpr HRESULT kInjected = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

// The system's file operations, with the n-th step (counted from 1) failing
// and the first three removals failing as if another process held the file.
// The stamp is no step, and clearing up after a failure never fails.
class FailingFileSystem final : public HostsFileSystem {
 public:
  explicit FailingFileSystem(int failingStep) : failingStep_(failingStep) {}
  int steps = 0;  // taken so far

  std::string Read(const std::string& path) override { return Step(), system_.Read(path); }
  std::uint32_t Attributes(const std::string& path) override { return Step(), system_.Attributes(path); }
  FileStamp Stamp(const std::string& path) override { return system_.Stamp(path); }
  void SetAttributes(const std::string& path, std::uint32_t attributes) override {
    Step(), system_.SetAttributes(path, attributes);
  }
  std::string CreateTemporary(const std::string& folder) override { return Step(), system_.CreateTemporary(folder); }
  void Write(const std::string& path, const std::string& bytes) override { Step(), system_.Write(path, bytes); }
  void CopySecurity(const std::string& from, const std::string& to) override { Step(), system_.CopySecurity(from, to); }
  void Replace(const std::string& from, const std::string& to) override { Step(), system_.Replace(from, to); }
  void Remove(const std::string& path) override {
    if (busyRemovals_ > 0) {
      --busyRemovals_;
      hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    }
    system_.Remove(path);
  }

 private:
  void Step() {
    if (++steps == failingStep_) hg::win::ThrowHResult(kInjected, "injected");
  }

  HostsFileSystem& system_ = SystemFileSystem();
  int failingStep_;
  int busyRemovals_ = 3;
};

// The file's access rules, as the system hands them out.
std::string Rules(const std::wstring& path) {
  DWORD needed = 0;
  ::GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  std::string descriptor(needed, '\0');
  const bool read = ::GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed);
  return read ? descriptor : "<unreadable>";
}

// Holds the file for 200 ms from another thread, as another process would.
std::jthread HoldBriefly(const std::wstring& path, DWORD sharing) {
  hg::win::unique_file_handle held(
      ::CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(held);
  // The handle closes as the thread ends.
  return std::jthread([held = std::move(held)] { ::Sleep(200); });
}

class EngineWin : public test::RecordingTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    services.hostsFilePath = hg::win::Narrow(hosts);
    services.library = &library_;
  }

  // The failure the work raised, or a zero one when it raised none.
  static Failure Raised(const std::function<void()>& work) {
    try {
      work();
    } catch (const Failure& failure) {
      return failure;
    }
    return Failure(0, {});
  }

  ComApartment apartment_;
  ScratchFolder folder{L"mhgr"};
  std::wstring hosts = folder / L"hosts";
  LibraryObjects library_;
};

// A missing hosts file is no empty one, though the library reads both alike;
// its failure keeps the system's number and text. A call's failure takes the
// library's description, or the system's text when the library gives none.
TEST_F(EngineWin, FailuresKeepTheirNumberAndTakeTheLibrarysDescriptionOrTheSystemsText) {
  const Failure missing = Raised([] { ReadBlockedSites(); });
  EXPECT_EQ(missing.number(), static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)));
  WriteRaw(hosts, "");
  EXPECT_TRUE(ReadBlockedSites().empty());
  hg::win::unique_bstr content;
  const HRESULT refused =
      SharedFileOps().LoadFile(hg::win::MakeBstr(std::wstring_view(L"a\0b", 3)).get(), content.put());
  EXPECT_NE(FailureOfCall(refused).description().find("FileName"), std::string::npos);  // the library's own
  ::SetErrorInfo(0, nullptr);
  EXPECT_EQ(FailureOfCall(missing.number()).description(), missing.description());
}

// Foreign lines are kept byte for byte (a UTF-8 byte-order mark, UTF-8 text,
// bytes that are no valid UTF-8, a NUL) in a read-only, hidden system file,
// with its attributes and access rules; sites are written and read in the
// system code page. Whichever step fails, and though the temporary file is
// held for a moment after, the old file stays whole, and the failure is logged
// twice, the first time with the file's name, and raised unchanged. No other
// file is ever left.
TEST_F(EngineWin, ApplyBlockedKeepsTheFilesBytesAttributesAndRulesAndAnyFailingStepTheOldFile) {
  static constexpr char kForeign[] = "\xEF\xBB\xBF# h\xC3\xB4te\r\n10.0.0.1 \x81\xFE\xFF x\0y\r\n";
  const std::string foreign(kForeign, sizeof kForeign - 1), old = foreign + "127.0.0.1 gone\r\n";
  WriteRaw(hosts, old);
  // Rules no new file gets by default: only the system and administrators.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:P(A;;FA;;;SY)(A;;FA;;;BA)", SDDL_REVISION_1, &descriptor, nullptr));
  const BOOL set = ::SetFileSecurityW(hosts.c_str(), DACL_SECURITY_INFORMATION, descriptor);
  ::LocalFree(descriptor);
  ASSERT_TRUE(set);
  const std::string rules = Rules(hosts);
  const DWORD attributes =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const std::vector<std::string> sites{"alpha", "caf\xC3\xA9"};
  // Step 0 fails none and counts them: read, attributes, temporary, write, its
  // attributes, security, unprotect, replace.
  for (int step = 0, steps = 8; step <= steps; ++step) {
    SCOPED_TRACE("failing step " + std::to_string(step));
    ::SetFileAttributesW(hosts.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteRaw(hosts, old);
    ASSERT_TRUE(::SetFileAttributesW(hosts.c_str(), attributes));
    FailingFileSystem failing(step);
    services.files = &failing;
    log.entries.clear();
    const Failure failure = Raised([&] { ApplyBlocked(sites); });
    services.files = nullptr;
    EXPECT_EQ(::GetFileAttributesW(hosts.c_str()), attributes);
    EXPECT_EQ(app::test::FilesIn(folder.path()), std::vector<std::wstring>{L"hosts"});
    if (step > 0) {
      EXPECT_EQ(failure.number(), static_cast<std::int32_t>(kInjected));
      ASSERT_EQ(log.entries.size(), 2u);
      EXPECT_EQ(log.entries[0].description, "Cannot apply to '" + hg::win::Narrow(hosts) + "'. ");
      EXPECT_EQ(ReadRaw(hosts), old);
      continue;
    }
    steps = failing.steps;
    ASSERT_GE(steps, 8);
    EXPECT_EQ(ReadRaw(hosts),
              foreign + "127.0.0.1       alpha\r\n127.0.0.1       " + hg::win::WideToAnsi(L"caf\u00e9") + "\r\n");
    EXPECT_EQ(ReadBlockedSites(), sites);
    ::SetFileAttributesW(hosts.c_str(), FILE_ATTRIBUTE_NORMAL);  // Wine shows a read-only file's rules without write
    EXPECT_EQ(Rules(hosts), rules);
  }

  // A name the system code page holds only as a look-alike ("\uFF42ank.example"
  // would block bank.example) is refused before anything is written.
  const std::string lookAlike = "\xEF\xBD\x82" "ank.example";
  if (hg::win::WideToAnsiExact(hg::win::Widen(lookAlike))) GTEST_SKIP() << "this code page holds it";
  EXPECT_EQ(Raised([&] { ApplyBlocked({"alpha", lookAlike}); }).description(),
            "The web site name \"" + lookAlike + "\" cannot be written in the hosts file's character set.");
  EXPECT_EQ(ReadRaw(hosts), old);
}

// A command's changes are made to the entries the file holds whenever the
// lists do not know them (the file could not be read when they loaded): a
// site blocked then must not wipe every other entry. Another process holding
// the file a moment is waited for: without sharing the read waits, and with a
// reader's sharing (as the DNS client reads it) the replace does. (The page's
// test holds it for good.)
TEST_F(EngineWin, ApplyBlockedChangesKeepsTheFilesEntriesUnlessTheListsKnowThemAndWaitsForTheFile) {
  WriteRaw(hosts, "127.0.0.1 kept\r\n");
  std::optional<HostsSnapshot> seen;
  SiteChanges changes;
  changes.Add("new");
  std::jthread release = HoldBriefly(hosts, 0);
  EXPECT_EQ(ApplyBlockedChanges({"new"}, changes, seen), (std::vector<std::string>{"kept", "new"}));
  EXPECT_EQ(ReadBlockedSites(), (std::vector<std::string>{"kept", "new"}));
  changes.Remove("kept");
  release = HoldBriefly(hosts, FILE_SHARE_READ);
  EXPECT_EQ(ApplyBlockedChanges({"new"}, changes, seen), std::nullopt);
  EXPECT_EQ(ReadBlockedSites(), std::vector<std::string>{"new"});
}

}  // namespace
}  // namespace app::engine
