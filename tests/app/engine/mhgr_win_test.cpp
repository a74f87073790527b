#include "app/engine/mhgr_win.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "app/engine/failure.h"
#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "tests/app/engine/forwarding_file_system_win.h"
#include "tests/app/engine/recording_log.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace app::engine {
namespace {

using hg::test::ReadRaw;
using hg::test::WriteRaw;

constexpr std::int32_t kFileNotFound = static_cast<std::int32_t>(0x80070002u);

using test::RecordingLog;

// A failure no retry waits out.
constexpr HRESULT kInjected = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

// The system's file operations, with the n-th step (counted from 1) failing
// and the first `busyRemovals` removals failing as if another process held
// the file (the stamp is no step).
class FailingFileSystem final : public test::ForwardingFileSystem {
 public:
  explicit FailingFileSystem(int failingStep, int busyRemovals = 0)
      : failingStep_(failingStep), busyRemovals_(busyRemovals) {}
  int steps() const { return steps_; }

  std::string Read(const std::string& path) override { return Step(), system_.Read(path); }
  std::uint32_t Attributes(const std::string& path) override { return Step(), system_.Attributes(path); }
  void SetAttributes(const std::string& path, std::uint32_t attributes) override {
    Step();
    system_.SetAttributes(path, attributes);
  }
  std::string CreateTemporary(const std::string& folder) override { return Step(), system_.CreateTemporary(folder); }
  void Write(const std::string& path, const std::string& bytes) override { Step(), system_.Write(path, bytes); }
  void CopySecurity(const std::string& from, const std::string& to) override { Step(), system_.CopySecurity(from, to); }
  void Replace(const std::string& from, const std::string& to) override { Step(), system_.Replace(from, to); }
  // Clearing up after a failure is never the failing step.
  void Remove(const std::string& path) override {
    if (busyRemovals_ > 0) {
      --busyRemovals_;
      hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    }
    system_.Remove(path);
  }

 private:
  void Step() {
    if (++steps_ == failingStep_) hg::win::ThrowHResult(kInjected, "injected");
  }

  int failingStep_;
  int busyRemovals_;
  int steps_ = 0;
};

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

std::string Dacl(const std::wstring& path) {
  DWORD needed = 0;
  ::GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  std::string descriptor(needed, '\0');
  if (!::GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed,
                          &needed)) {
    return "<unreadable>";
  }
  wchar_t* text = nullptr;
  if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(
          descriptor.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return "<unconvertible>";
  }
  const std::string result = hg::win::Narrow(text);
  ::LocalFree(text);
  return result;
}

const char kWorkedExample[] = "# hosts\r\n127.0.0.1 localhost\r\n127.0.0.1 old\r\n\r\n";
const char kWorkedResult[] =
    "# hosts\r\n127.0.0.1 localhost\r\n127.0.0.1       alpha\r\n127.0.0.1       Beta\r\n";

class MhgrTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(apartment_.result())); }
  void TearDown() override {
    for (const std::wstring& name : FilesIn(folder.path())) {
      ::SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
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
  static Failure ApplyFailure(const std::vector<std::string>& sites) {
    return Raised([&] { ApplyBlocked(sites); });
  }

  hg::test::ComApartment apartment_;
  hg::test::ScratchFolder folder{L"mhgr"};
  std::wstring hosts = folder / L"hosts";
  RecordingLog log;
  engine::LibraryObjects library_;
  Services services{.log = &log,
                    .productName = "Hedgerow",
                    .hostsFilePath = hg::win::Narrow(hosts),
                    .library = &library_};
  ScopedServices installed{services};
};

TEST_F(MhgrTest, ReadBlockedSitesKeysFirstOccurrencesByLowercaseName) {
  WriteRaw(hosts, "127.0.0.1 localhost\n127.0.0.1\tAlpha\r\r127.0.0.1 " +
                      hg::win::WideToAnsi(L"Caf\u00e9") + "\r\n# 127.0.0.1 beta\n127.0.0.1 ALPHA\n");
  EXPECT_EQ(ReadBlockedSites(), (std::vector<std::string>{"Alpha", "Caf\xC3\xA9"}));
}

TEST_F(MhgrTest, ReadBlockedSitesOfAnEmptyFileIsEmptyAndOfAMissingOneFails) {
  WriteRaw(hosts, "");
  EXPECT_TRUE(ReadBlockedSites().empty());
  ::DeleteFileW(hosts.c_str());
  const Failure failure = Raised([] { ReadBlockedSites(); });
  EXPECT_EQ(failure.number(), kFileNotFound);
  EXPECT_FALSE(failure.description().empty());
}

// The worked example, over a file of every kind: foreign lines byte for byte
// (a UTF-8 byte-order mark, UTF-8 text, bytes that are no valid UTF-8, a
// NUL), read-only or not, with its access rules; no other file is left.
TEST_F(MhgrTest, ApplyBlockedWritesTheWorkedExampleKeepingTheFilesBytesAttributesAndRules) {
  static constexpr char kForeign[] = "\xEF\xBB\xBF# h\xC3\xB4te\r\n10.0.0.1 \x81\xFE\xFF x\0y\r\n";
  const std::string foreign(kForeign, sizeof kForeign - 1);
  WriteRaw(hosts, foreign + "127.0.0.1 gone\r\n");
  ApplyBlocked({"alpha"});
  EXPECT_EQ(ReadRaw(hosts), foreign + "127.0.0.1       alpha\r\n");

  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
  const BOOL set = ::SetFileSecurityW(hosts.c_str(), DACL_SECURITY_INFORMATION, descriptor);
  ::LocalFree(descriptor);
  ASSERT_TRUE(set);
  const std::string rules = Dacl(hosts);
  for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
                                 DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
    ::SetFileAttributesW(hosts.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteRaw(hosts, kWorkedExample);
    ASSERT_TRUE(::SetFileAttributesW(hosts.c_str(), attributes));
    const DWORD before = ::GetFileAttributesW(hosts.c_str());
    ApplyBlocked({"alpha", "Beta"});
    EXPECT_EQ(ReadRaw(hosts), kWorkedResult);
    EXPECT_EQ(::GetFileAttributesW(hosts.c_str()), before);
  }
  EXPECT_EQ(Dacl(hosts), rules);
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::wstring>{L"hosts"});
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(MhgrTest, ApplyBlockedRefusesASiteWithALineBreakAndWritesNothing) {
  WriteRaw(hosts, kWorkedExample);
  const Failure failure = ApplyFailure({"alpha", "x\r\n6.6.6.6 bank.example"});
  EXPECT_NE(failure.number(), 0);
  EXPECT_NE(failure.description().find("x\\x0D\\x0A6.6.6.6 bank.example"), std::string::npos)
      << failure.description();
  EXPECT_EQ(ReadRaw(hosts), kWorkedExample);
  EXPECT_EQ(log.entries.size(), 2u);
}

TEST_F(MhgrTest, ApplyBlockedRefusesASiteTheSystemCodePageCannotHoldExactly) {
  // Written as a look-alike, "\uFF42ank.example" would block bank.example.
  const std::string lookAlike = "\xEF\xBD\x82" "ank.example";
  const std::string chinese = "\xE4\xB8\xAD.example";
  for (const std::string& site : {lookAlike, chinese}) {
    if (hg::win::WideToAnsiExact(hg::win::Widen(site))) continue;  // this code page holds it
    WriteRaw(hosts, kWorkedExample);
    const Failure failure = ApplyFailure({"alpha", site});
    EXPECT_EQ(failure.description(), "The web site name \"" + site +
                                         "\" cannot be written in the hosts file's character set.");
    EXPECT_EQ(ReadRaw(hosts), kWorkedExample);
  }
  ApplyBlocked({"caf\xC3\xA9"});
  const std::string written = ReadRaw(hosts);
  EXPECT_EQ(written.substr(written.size() - 6), hg::win::WideToAnsi(L"caf\u00e9") + "\r\n");
}

TEST_F(MhgrTest, ApplyBlockedLogsTwiceUnderItsSourceAndRaisesTheFailureUnchanged) {
  const Failure failure = ApplyFailure({"alpha"});
  ASSERT_EQ(failure.number(), kFileNotFound);
  ASSERT_EQ(log.entries.size(), 2u);
  const test::LogEntry& context = log.entries[0];
  EXPECT_EQ(context.number, static_cast<std::int32_t>(0x80040687u));
  EXPECT_EQ(context.description, "Cannot apply to '" + hg::win::Narrow(hosts) + "'. ");
  EXPECT_EQ(context.severity, Severity::kInternalError);
  EXPECT_EQ(context.source, "MHGR.ApplyBlocked");
  const test::LogEntry& cause = log.entries[1];
  EXPECT_EQ(cause.number, kFileNotFound);
  EXPECT_EQ(cause.description, failure.description());
  EXPECT_EQ(cause.severity, Severity::kInternalError);
  EXPECT_EQ(cause.source, "MHGR.ApplyBlocked");
  EXPECT_EQ(ReadRaw(hosts), "<missing>");
}

TEST_F(MhgrTest, AFailureAtAnyStepLeavesTheOldFileWholeAndNoTemporaryFile) {
  const DWORD readOnly = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
  WriteRaw(hosts, kWorkedExample);
  ASSERT_TRUE(::SetFileAttributesW(hosts.c_str(), readOnly));
  FailingFileSystem counting(0);
  services.files = &counting;
  ApplyBlocked({"alpha", "Beta"});
  const int steps = counting.steps();
  // read, attributes, temporary, write, its attributes, security, unprotect, replace
  ASSERT_GE(steps, 8);

  for (int step = 1; step <= steps; ++step) {
    SCOPED_TRACE("failing step " + std::to_string(step));
    ::SetFileAttributesW(hosts.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteRaw(hosts, kWorkedExample);
    ASSERT_TRUE(::SetFileAttributesW(hosts.c_str(), readOnly));
    FailingFileSystem failing(step);
    services.files = &failing;
    log.entries.clear();
    const Failure failure = ApplyFailure({"alpha", "Beta"});
    EXPECT_EQ(failure.number(), static_cast<std::int32_t>(kInjected));
    EXPECT_EQ(failure.description(), "injected");
    EXPECT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(ReadRaw(hosts), kWorkedExample);
    EXPECT_EQ(::GetFileAttributesW(hosts.c_str()), readOnly);
    EXPECT_EQ(FilesIn(folder.path()), std::vector<std::wstring>{L"hosts"});
  }
}

TEST_F(MhgrTest, ATemporaryFileHeldForAMomentAfterAFailureIsStillRemoved) {
  WriteRaw(hosts, kWorkedExample);
  FailingFileSystem failing(4, 3);  // the write fails; the first three removals find it held
  services.files = &failing;
  EXPECT_EQ(ApplyFailure({"alpha"}).number(), static_cast<std::int32_t>(kInjected));
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::wstring>{L"hosts"});
}

TEST_F(MhgrTest, ApplyBlockedWaitsBrieflyForAnotherProcessToLetGoOfTheFile) {
  // Held without sharing, the read waits; held by a reader (as the DNS client
  // reads it), the replace does.
  for (const DWORD sharing : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE("sharing " + std::to_string(sharing));
    WriteRaw(hosts, kWorkedExample);
    hg::win::unique_file_handle held(::CreateFileW(hosts.c_str(), GENERIC_READ, sharing, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    std::thread release([&] {
      ::Sleep(200);
      held.reset();
    });
    ApplyBlocked({"alpha", "Beta"});
    release.join();
    EXPECT_EQ(ReadRaw(hosts), kWorkedResult);
  }
  // Held for long, it is given up on.
  WriteRaw(hosts, kWorkedExample);
  hg::win::unique_file_handle held(::CreateFileW(hosts.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  EXPECT_EQ(ApplyFailure({"alpha"}).number(), static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)));
  held.reset();
  EXPECT_EQ(ReadRaw(hosts), kWorkedExample);
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::wstring>{L"hosts"});
}

}  // namespace
}  // namespace app::engine
