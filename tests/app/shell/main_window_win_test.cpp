#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/resource.h"
#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "app/shell/main_window_win.h"
#include "app/ui/message_loop_win.h"
#include "common/win/text_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace {

// Keys as the window gets them: the modifiers held in the thread's key state.
void Release(app::shell::MainWindow& window, WPARAM key, std::initializer_list<int> held) {
  BYTE state[256] = {};
  for (int vk : held) state[vk] = 0x80;
  ::SetKeyboardState(state);
  const MSG message{window.handle(), WM_KEYUP, key, 0, 0, {}};
  window.PreviewKey(message);
  BYTE none[256] = {};
  ::SetKeyboardState(none);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment.result()));
    hg::test::WriteRaw(hosts, "127.0.0.1       first.example\r\n");
    window.Create();
    window.InitTabStrip();
  }
  bool Shown(std::int32_t page) const {
    return ::GetWindowLongPtrW(window.page(page), GWL_STYLE) & WS_VISIBLE;
  }
  int BlockedShown() {
    return ListView_GetItemCount(window.blockSite().Item(IDC_BLOCKED));
  }

  hg::test::ComApartment apartment;
  hg::test::ScratchFolder folder{L"main-window"};
  std::wstring hosts = folder / L"hosts";
  app::engine::LibraryObjects objects;
  app::Services services{.productName = "Hedgerow",
                         .hostsFilePath = hg::win::Narrow(hosts),
                         .library = &objects};
  app::ScopedServices installed{services};
  app::shell::MainWindow window{services};
};

TEST_F(MainWindowTest, OpensOnTheHelpPageAndSwitchesPagesByKeysAndTabs) {
  EXPECT_EQ(hg::test::WindowText(window.handle()), L"Hedgerow");
  EXPECT_NE(::GetClassLongPtrW(window.handle(), GCLP_HICON), 0);
  EXPECT_EQ(window.currentPage(), 1);
  EXPECT_TRUE(Shown(1));
  EXPECT_FALSE(Shown(2));

  Release(window, VK_TAB, {VK_CONTROL});
  EXPECT_EQ(window.currentPage(), 2);
  EXPECT_FALSE(Shown(1));
  EXPECT_TRUE(Shown(2));
  Release(window, VK_TAB, {VK_CONTROL});
  EXPECT_EQ(window.currentPage(), 1);
  Release(window, VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(window.currentPage(), 2);
  const HWND tabs = ::FindWindowExW(window.handle(), nullptr, WC_TABCONTROLW, nullptr);
  EXPECT_EQ(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
  Release(window, VK_TAB, {});
  EXPECT_EQ(window.currentPage(), 2);

  // Focusing a tab selects it, and the strip tells its window as for a click.
  ::SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
  EXPECT_EQ(window.currentPage(), 1);
  EXPECT_TRUE(Shown(1));

  // F5 alone reloads the lists from the stores.
  EXPECT_EQ(BlockedShown(), 1);
  hg::test::WriteRaw(hosts, "127.0.0.1       first.example\r\n127.0.0.1       second.example\r\n");
  Release(window, VK_F5, {VK_SHIFT});
  Release(window, VK_F5, {VK_CONTROL});
  EXPECT_EQ(BlockedShown(), 1);
  Release(window, VK_F5, {});
  EXPECT_EQ(BlockedShown(), 2);
}

TEST_F(MainWindowTest, ATinyOrMinimisedWindowKeepsTheLastValidSizes) {
  ::SetWindowPos(window.handle(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
  RECT before;
  ::GetWindowRect(window.page(1), &before);
  ASSERT_GT(before.right - before.left, 0);
  // Too low for the pages: their height stays, their width follows.
  ::SetWindowPos(window.handle(), nullptr, 0, 0, 600, 60, SWP_NOMOVE | SWP_NOZORDER);
  RECT after;
  ::GetWindowRect(window.page(1), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  ::ShowWindow(window.handle(), SW_MINIMIZE);
  ::GetWindowRect(window.page(1), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
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

}  // namespace
