#include "app/shell/about_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "app/engine/services.h"
#include "app/resource.h"
#include "app/shell/splash_win.h"
#include "common/win/text_win.h"
#include "tests/support/win_test_support.h"

namespace app::shell {
namespace {

using hg::test::WindowText;

TEST(AboutBox, ShowsTheVersionAndClosesByEscapeOrOk) {
  Services services;
  const ScopedServices installed(services);
  for (const bool escape : {true, false}) {
    std::wstring caption, name, visit;
    RECT client{};
    hg::test::AnswerNextDialog([&](HWND dialog) {
      caption = WindowText(dialog);
      name = WindowText(::GetDlgItem(dialog, IDC_ABOUT_NAME));
      visit = WindowText(::GetDlgItem(dialog, IDC_ABOUT_VISIT));
      ::GetClientRect(dialog, &client);
      if (escape) {
        // To the button with the focus, as the keyboard sends it.
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
      } else {
        ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      }
    });
    AboutBox about(services);
    EXPECT_EQ(about.ShowModal(nullptr), escape ? IDCANCEL : IDOK);
    EXPECT_EQ(caption, L"About Hedgerow");
    EXPECT_EQ(name.rfind(L"Hedgerow Version 4.3\r\n\r\n", 0), 0u) << hg::win::Narrow(name);
    EXPECT_NE(visit.find(L"www.example.com/hedgerow"), std::wstring::npos);
    // 5235 by 3060 twips at 96 dots per inch.
    EXPECT_EQ(client.right, 349);
    EXPECT_EQ(client.bottom, 204);
  }
}

TEST(Splash, FillsItsPictureAndGoesWhenClicked) {
  Services services;
  const ScopedServices installed(services);
  SplashWindow splash(services);
  splash.Show();
  ASSERT_TRUE(splash.visible());
  RECT client;
  ::GetClientRect(splash.handle(), &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 316);
  ::PostMessageW(splash.handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
  splash.WaitUntilGone();
  EXPECT_EQ(splash.handle(), nullptr);
}

}  // namespace
}  // namespace app::shell
