#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/resource.h"
#include "app/shell/main_window_win.h"
#include "app/shell/version.h"
#include "app/ui/message_loop_win.h"
#include "tests/support/win_test_support.h"

namespace {

TEST(MainWindow, OpensWithTheProductNameAndTheProgramIcon) {
  app::Services services;
  app::shell::MainWindow window(services);
  window.Create();
  ASSERT_NE(window.handle(), nullptr);

  wchar_t caption[64] = {};
  ::GetWindowTextW(window.handle(), caption, 64);
  EXPECT_STREQ(caption, L"Hedgerow");
  EXPECT_NE(::GetClassLongPtrW(window.handle(), GCLP_HICON), 0);
  EXPECT_EQ(::GetWindowThreadProcessId(window.handle(), nullptr), ::GetCurrentThreadId());
}

TEST(MainWindow, ClosingEndsTheMessageLoop) {
  app::Services services;
  app::shell::MainWindow window(services);
  window.Create();
  ::PostMessageW(window.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app::ui::RunMessageLoop(), 0);  // WM_QUIT
  EXPECT_EQ(window.handle(), nullptr);
}

std::string ManifestOf(const std::wstring& program) {
  HMODULE module = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return {};
  std::string text;
  if (HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    if (bytes) text.assign(bytes, ::SizeofResource(module, found));
  }
  ::FreeLibrary(module);
  return text;
}

TEST(Program, ManifestAsksForCommonControls6PerMonitorDpiAndNoElevation) {
  const std::string manifest = ManifestOf(hg::test::ProgramFolder() + L"\\Hedgerow.exe");
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  // Declaring Windows 8 or later would make the system report its true version.
  EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
}

TEST(Program, VersionResourceIsTheProgramsVersion) {
  const std::wstring program = hg::test::ProgramFolder() + L"\\Hedgerow.exe";
  DWORD handle = 0;
  std::string data(::GetFileVersionInfoSizeW(program.c_str(), &handle), '\0');
  ASSERT_FALSE(data.empty());
  ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), HG_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), HG_VERSION_MINOR);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), HG_VERSION_REVISION);
  wchar_t* text = nullptr;
  ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, L"4.3.201");
}

}  // namespace
