#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/shell/vista_win.h"
#include "common/win/text_win.h"
#include "tests/support/running_program_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace hg::hedgerun {
namespace {

using namespace hg::test;

// What the stand-in program wrote in the folder; it runs on after the
// launcher returns.
std::string WaitForProof(const ScratchFolder& folder) {
  for (int i = 0; i < 300; ++i) {
    const std::string proof = ReadRaw(folder / L"started.txt");
    if (proof.find("cwd=") != std::string::npos && proof.back() == '\n') return proof;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "<never started>";
}

// As the program calls it: rundll32 with the DLL quoted, then the folder in
// the short form the program makes of it, or quoted (Wine's rundll32 takes no
// blank between the comma and the entry's name).
TEST(HedgeRun, StartsTheMarkedProgramFromTheFolder) {
  const std::wstring rundll32 = Environment(L"windir") + L"\\system32\\rundll32.exe";
  for (const bool quoted : {false, true}) {
    const ScratchFolder folder(quoted ? L"hedge run \x0416\x03A9 quoted" : L"hedge run short \u00e9\u4e2d");
    SCOPED_TRACE(win::Narrow(folder.path()));
    std::filesystem::copy_file(ProgramFolder() + L"\\hedgerun_child.exe", folder / L"Hedgerow.exe");
    const std::wstring argument = quoted ? L"\"" + folder.path() + L"\"" : app::shell::ShortPathName(folder.path());
    const RunningProgram launcher(rundll32, {}, L"\"" + ProgramFolder() + L"\\HedgeRun.dll\",hedgerun " + argument);
    EXPECT_EQ(launcher.WaitForExit(60'000), 0u);
    EXPECT_EQ(WaitForProof(folder), "marker=1\ncwd=" + win::Narrow(folder.path()) + "\n");
  }
}

}  // namespace
}  // namespace hg::hedgerun
