#include "app/lists/block_site_win.h"

#include <gtest/gtest.h>

#include <set>

#include "app/engine/library_win.h"
#include "app/lists/block_list_win.h"
#include "app/lists/site_stores_win.h"
#include "app/resource.h"
#include "common/win/text_win.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/unblocked_key_win.h"
#include "tests/app/ui/page_host_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace app::lists {
namespace {

using Names = std::vector<std::string>;
using app::test::UnblockedNames;
using hg::test::ReadRaw;
using hg::test::WriteRaw;

std::string Entries(const Names& sites) {
  std::string text = "# kept\r\n";
  for (const std::string& site : sites) text += "127.0.0.1       " + site + "\r\n";
  return text;
}

class BlockSitePageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(apartment_.result())); }
  void TearDown() override { app::test::SetUnblockedNames({}); }

  // Writes both stores and shows the page over them.
  void Open(const Names& hosts, const Names& registry) {
    WriteRaw(hostsPath, Entries(hosts));
    app::test::SetUnblockedNames(registry);
    host.Create(page, 5955, 2970);
    page.Init();
    test::PumpMessages();
  }
  HWND List(int id) const { return page.Item(id); }
  Names Shown(int id) const {
    Names names;
    const int count = ListView_GetItemCount(List(id));
    for (int i = 0; i < count; ++i) {
      wchar_t text[256] = {};
      ListView_GetItemText(List(id), i, 0, text, 256);
      names.push_back(hg::win::Narrow(text));
    }
    return names;
  }
  Names Selected(int id) const {
    Names names;
    for (int i = ListView_GetNextItem(List(id), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(List(id), i, LVNI_SELECTED)) {
      names.push_back(Shown(id)[static_cast<std::size_t>(i)]);
    }
    return names;
  }
  void Select(int id, std::initializer_list<int> items, int current) {
    ListView_SetItemState(List(id), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const int item : items) ListView_SetItemState(List(id), item, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(List(id), current, LVIS_FOCUSED, LVIS_FOCUSED);
  }
  void Click(int id) {
    ::SendMessageW(page.Item(id), BM_CLICK, 0, 0);
    test::PumpMessages();
  }

  hg::test::ComApartment apartment_;
  engine::LibraryObjects objects_;
  hg::test::ScratchFolder folder{L"lists"};
  std::wstring hostsPath = folder / L"hosts";
  app::test::RecordingLog log;
  app::test::RecordingDialogs dialogs;
  Services services{.log = &log,
                    .dialogs = &dialogs,
                    .productName = "Hedgerow",
                    .hostsFilePath = hg::win::Narrow(hostsPath),
                    .library = &objects_};
  ScopedServices installed{services};
  SystemSiteStores stores;
  BlockSitePage page{services, stores};
  test::PageHost host{services};
};

TEST_F(BlockSitePageTest, ShowsBothStoresAndBlockWebSiteBlocksTheTypedHost) {
  Open({"Ads.example", "b.example"}, {" alpha ", "ALPHA", "ads.example", "c.example"});
  EXPECT_EQ(Shown(IDC_BLOCKED), (Names{"Ads.example", "b.example"}));
  EXPECT_EQ(Shown(IDC_UNBLOCKED), (Names{"alpha", "c.example"}));
  EXPECT_EQ(Selected(IDC_BLOCKED), Names{"Ads.example"});
  EXPECT_EQ(Selected(IDC_UNBLOCKED), Names{"alpha"});
  EXPECT_TRUE(log.entries.empty());

  dialogs.inputs = {"  https://C.example/banner "};
  Click(IDC_ADD_BLOCKED);
  EXPECT_EQ(dialogs.shown, Names{"Type web site name to block.|Hedgerow|www.example.com"});
  EXPECT_EQ(ReadRaw(hostsPath), Entries({"Ads.example", "b.example", "C.example"}));
  EXPECT_EQ(Shown(IDC_BLOCKED), (Names{"Ads.example", "b.example", "C.example"}));
  EXPECT_EQ(UnblockedNames(), Names{"alpha"});
}

TEST_F(BlockSitePageTest, TheBlockButtonAndADoubleClickMoveTheSelectionAndSaveBothStores) {
  for (const bool doubleClick : {false, true}) {
    SCOPED_TRACE(doubleClick ? "double click" : "button");
    Open({"a.example"}, {"1", "2", "3", "4", "5"});
    Select(IDC_UNBLOCKED, {2, 3}, 2);
    if (doubleClick) {
      NMITEMACTIVATE activate{};
      activate.hdr = {List(IDC_UNBLOCKED), IDC_UNBLOCKED, static_cast<UINT>(NM_DBLCLK)};
      activate.iItem = -1;  // empty space: the selection moves all the same
      ::SendMessageW(page.handle(), WM_NOTIFY, IDC_UNBLOCKED, reinterpret_cast<LPARAM>(&activate));
    } else {
      Click(IDC_BLOCK);
    }
    EXPECT_EQ(Shown(IDC_UNBLOCKED), (Names{"1", "2", "5"}));
    EXPECT_EQ(Selected(IDC_UNBLOCKED), Names{"5"});
    EXPECT_EQ(::GetFocus(), List(IDC_UNBLOCKED));
    EXPECT_EQ(Shown(IDC_BLOCKED), (Names{"a.example", "3", "4"}));
    EXPECT_EQ(ReadRaw(hostsPath), Entries({"a.example", "3", "4"}));
    EXPECT_EQ(UnblockedNames(), (Names{"1", "2", "5"}));
    ::DestroyWindow(host.handle());
  }
}

TEST_F(BlockSitePageTest, AFailedHostsWriteShowsOneMessageAndLosesNoSite) {
  Open({"a.example"}, {"b.example", "c.example"});
  Select(IDC_UNBLOCKED, {0}, 0);
  {
    // Readable, but held so that nothing can take its place.
    const hg::win::unique_file_handle held(::CreateFileW(
        hostsPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Click(IDC_BLOCK);
  }
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].rfind("Cannot block web site(s). Cannot apply web site blocking. ", 0),
            0u)
      << dialogs.shown[0];
  EXPECT_EQ(ReadRaw(hostsPath), Entries({"a.example"}));
  EXPECT_EQ(Shown(IDC_BLOCKED), Names{"a.example"});
  const Names unblocked = Shown(IDC_UNBLOCKED);
  EXPECT_EQ(std::set<std::string>(unblocked.begin(), unblocked.end()),
            (std::set<std::string>{"b.example", "c.example"}));
  EXPECT_EQ(UnblockedNames().size(), 2u);
}

TEST_F(BlockSitePageTest, TheDeleteKeyAsksAndDeletes) {
  Open({"x.example", "y.example"}, {"A", "B", "C"});
  Select(IDC_UNBLOCKED, {0, 1, 2}, 0);
  Select(IDC_BLOCKED, {1}, 1);
  for (const int id : {IDC_UNBLOCKED, IDC_BLOCKED}) {
    ::SetFocus(List(id));
    test::PressKey(VK_DELETE);
  }
  EXPECT_EQ(dialogs.shown, (Names{"Are you sure you want to delete A, B and C?|49|Hedgerow",
                                  "Are you sure you want to delete y.example?|49|Hedgerow"}));
  EXPECT_EQ(UnblockedNames(), Names{"<no key>"});
  EXPECT_EQ(ReadRaw(hostsPath), Entries({"x.example"}));
  EXPECT_EQ(Shown(IDC_UNBLOCKED), Names{});
}

// The pop-up menu this thread shows, once it is up: its top-left corner,
// then `key` typed into it.
struct MenuAnswer {
  POINT at{-1, -1};
  UINT key = 0;
};
thread_local MenuAnswer* t_menu = nullptr;

BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (std::wstring_view(name) != L"#32768" || !::IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&menu));
  if (!menu) return;
  ::KillTimer(nullptr, timer);
  RECT place{};
  ::GetWindowRect(menu, &place);
  t_menu->at = {place.left, place.top};
  ::PostMessageW(menu, WM_KEYDOWN, t_menu->key, 1);
  ::PostMessageW(menu, WM_CHAR, ::towlower(t_menu->key), 1);
}

TEST_F(BlockSitePageTest, TheContextMenuOpensFromTheKeyboardAtTheCurrentItem) {
  const struct {
    const char* keys;
    UINT key;
    std::initializer_list<UINT> modifiers;
  } cases[] = {{"Shift+F10", VK_F10, {VK_SHIFT}}, {"context-menu key", VK_APPS, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    Open({"a.example", "b.example", "c.example"}, {});
    Select(IDC_BLOCKED, {2}, 2);
    ::SetFocus(List(IDC_BLOCKED));
    RECT item{};
    ListView_GetItemRect(List(IDC_BLOCKED), 2, &item, LVIR_LABEL);
    POINT expected{item.left, item.bottom};
    ::ClientToScreen(List(IDC_BLOCKED), &expected);
    MenuAnswer answer{{-1, -1}, 'U'};
    t_menu = &answer;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, AnswerMenu);
    test::PressKey(c.key, c.modifiers);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(answer.at.x, expected.x);
    EXPECT_EQ(answer.at.y, expected.y);
    EXPECT_EQ(Shown(IDC_UNBLOCKED), Names{"c.example"});  // "&Unblock" ran
    EXPECT_EQ(UnblockedNames(), Names{"c.example"});
    ::DestroyWindow(host.handle());
  }
}

TEST_F(BlockSitePageTest, ADpiChangeLaysThePageAndItsIconsOutAgain) {
  Open({"a.example"}, {});
  const auto top = [&] {
    RECT place{};
    ::GetWindowRect(List(IDC_UNBLOCKED), &place);
    ::MapWindowPoints(nullptr, page.handle(), reinterpret_cast<POINT*>(&place), 2);
    return place.top;
  };
  for (const int dpi : {144, 96}) {
    SCOPED_TRACE(dpi);
    ::SendMessageW(page.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
    EXPECT_EQ(top(), 270 * dpi / 1440);
    int width = 0, height = 0;
    ::ImageList_GetIconSize(ListView_GetImageList(List(IDC_BLOCKED), LVSIL_SMALL), &width, &height);
    EXPECT_EQ(width, 16 * dpi / 96);
  }
}

TEST_F(BlockSitePageTest, AccessKeysReachTheListsAndTypingMovesToTheNextSiteThatBeginsSo) {
  Open({"ads.example", "bank.example", "Beta.example"}, {"b.example"});
  ::SetFocus(page.Item(IDC_ADD_BLOCKED));
  test::PressKey('N', {VK_MENU});
  EXPECT_EQ(::GetFocus(), List(IDC_UNBLOCKED));
  test::PressKey('O', {VK_MENU});
  EXPECT_EQ(::GetFocus(), List(IDC_BLOCKED));
  for (const wchar_t typed : {L'b', L'e'}) ::SendMessageW(List(IDC_BLOCKED), WM_CHAR, typed, 1);
  test::PumpMessages();
  EXPECT_EQ(Selected(IDC_BLOCKED), Names{"Beta.example"});
}

TEST(BlockListDialog, CollectsTheTypedLinesOnlyWhenClosedWithOk) {
  Services services;
  const ScopedServices installed(services);
  const struct {
    const char* how;
    std::function<void(HWND)> close;
    bool ok;
  } cases[] = {
      {"OK", [](HWND d) { ::PostMessageW(d, WM_COMMAND, IDOK, 0); }, true},
      {"Escape",
       [](HWND d) {
         ::PostMessageW(::GetDlgItem(d, IDC_BLOCK_LIST_TEXT), WM_KEYDOWN, VK_ESCAPE, 1);
       },
       false},
      {"close box", [](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); }, false},
  };
  for (const auto& c : cases) {
    BlockListDialog dialog(services);
    dialog.Init();
    std::wstring caption;
    bool typingGoesToTheText = false;
    hg::test::AnswerNextDialog([&](HWND d) {
      caption = hg::test::WindowText(d);
      typingGoesToTheText = ::GetFocus() == ::GetDlgItem(d, IDC_BLOCK_LIST_TEXT);
      ::SetDlgItemTextW(d, IDC_BLOCK_LIST_TEXT, L"alpha\r\n\r\n   \r\nALPHA\r\n beta ");
      c.close(d);
    });
    dialog.ShowModal(nullptr);
    EXPECT_EQ(caption, L"Block Web Sites") << c.how;
    EXPECT_TRUE(typingGoesToTheText) << c.how;
    EXPECT_EQ(dialog.OKPressed(), c.ok) << c.how;
    EXPECT_EQ(dialog.TypedSites(), c.ok ? (Names{"alpha", "beta"}) : Names{}) << c.how;
  }
}

}  // namespace
}  // namespace app::lists
