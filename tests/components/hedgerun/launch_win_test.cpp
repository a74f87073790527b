#include "components/hedgerun/launch_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/win/proc_address.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "tests/support/running_program_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace hg::hedgerun {
namespace {

using hg::test::ProgramFolder;
using hg::test::ReadRaw;
using hg::test::ScratchFolder;

// A folder that holds the stand-in program as Hedgerow.exe.
struct ProgramFolderFixture {
  explicit ProgramFolderFixture(std::wstring_view tag) : folder(tag) {
    std::filesystem::copy_file(ProgramFolder() + L"\\hedgerun_child.exe", folder / L"Hedgerow.exe");
  }
  // What the started program wrote; it runs on after the launcher returns.
  std::string WaitForProof() const {
    for (int i = 0; i < 300; ++i) {
      const std::string proof = ReadRaw(folder / L"started.txt");
      if (proof.find("cwd=") != std::string::npos && proof.back() == '\n') return proof;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "<never started>";
  }
  std::string ExpectedProof() const {
    return "marker=1\ncwd=" + hg::win::Narrow(folder.path()) + "\n";
  }
  ScratchFolder folder;
};

DWORD RunRundll32(const std::wstring& arguments) {
  wchar_t system[MAX_PATH];
  ::GetSystemDirectoryW(system, MAX_PATH);
  return hg::test::RunningProgram(std::wstring(system) + L"\\rundll32.exe", {}, arguments).WaitForExit(60'000);
}

std::wstring ShortPath(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH * 4];
  const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH * 4);
  return length > 0 && length < MAX_PATH * 4 ? std::wstring(shortPath, length) : path;
}

// As the program calls it: the DLL quoted, then the folder as it comes. Wine's
// rundll32 takes no blank between the comma and the entry's name.
TEST(HedgeRunRundll32, StartsTheMarkedProgramFromTheFolder) {
  const std::wstring dll = L"\"" + ProgramFolder() + L"\\HedgeRun.dll\",hedgerun ";
  const struct {
    const wchar_t* tag;
    std::wstring (*argument)(const std::wstring& folder);
  } cases[] = {
      {L"hedge run long", [](const std::wstring& f) { return f; }},
      {L"hedge run short", [](const std::wstring& f) { return ShortPath(f); }},
      {L"hedge run \x0416\x03A9 quoted", [](const std::wstring& f) { return L"\"" + f + L"\""; }},
  };
  for (const auto& c : cases) {
    const ProgramFolderFixture program(c.tag);
    const std::wstring argument = c.argument(program.folder.path());
    EXPECT_EQ(RunRundll32(dll + argument), 0u) << hg::win::Narrow(argument);
    EXPECT_EQ(program.WaitForProof(), program.ExpectedProof()) << hg::win::Narrow(argument);
  }
}

TEST(HedgeRunEntries, NarrowEntryStartsTheProgram) {
  const ProgramFolderFixture program(L"hedge run narrow");
  const hg::win::unique_hmodule dll(::LoadLibraryW((ProgramFolder() + L"\\HedgeRun.dll").c_str()));
  ASSERT_TRUE(dll);
  const auto entry =
      hg::win::GetProc<void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int)>(dll.get(), "hedgerun");
  ASSERT_NE(entry, nullptr);
  std::string folder = hg::win::WideToAnsi(program.folder.path());
  entry(nullptr, nullptr, folder.data(), SW_SHOWNORMAL);
  EXPECT_EQ(program.WaitForProof(), program.ExpectedProof());
}

TEST(HedgeRunStart, MissingProgramOrFolderIsToldAndNothingStarts) {
  const ScratchFolder empty(L"hedge run empty");
  const struct {
    std::wstring commandLine;
    std::wstring told;
  } cases[] = {
      {empty.path(), empty / L"Hedgerow.exe"},
      {L" \"\" ", L"not told the program's folder"},
  };
  for (const auto& c : cases) {
    std::wstring message;
    EXPECT_FALSE(StartProgram(c.commandLine, SW_SHOWNORMAL,
                              [&](const std::wstring& text) { message = text; }));
    EXPECT_NE(message.find(c.told), std::wstring::npos) << win::Narrow(message);
  }
  EXPECT_EQ(ReadRaw(empty / L"started.txt"), "<missing>");
}

}  // namespace
}  // namespace hg::hedgerun
