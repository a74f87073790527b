#include "app/lists/block_site_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>

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
using namespace hg::test;

std::string Entries(const Names& sites) {
  std::string text = "# kept\r\n";
  for (const std::string& site : sites) text += "127.0.0.1       " + site + "\r\n";
  return text;
}

class BlockSitePageTest : public test::RecordingTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    services.hostsFilePath = hg::win::Narrow(hostsPath);
    services.library = &objects_;
  }
  void TearDown() override { app::test::SetUnblockedNames({}); }

  HWND List(int id) const { return page.Item(id); }
  // The names the list shows, all or the selected ones.
  Names Shown(int id, UINT which = LVNI_ALL) const {
    Names names;
    for (int i = ListView_GetNextItem(List(id), -1, which); i >= 0; i = ListView_GetNextItem(List(id), i, which)) {
      wchar_t text[256] = {};
      ListView_GetItemText(List(id), i, 0, text, 256);
      names.push_back(hg::win::Narrow(text));
    }
    return names;
  }
  void Select(int id, std::initializer_list<int> items, int current) {
    ListView_SetItemState(List(id), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const int item : items) ListView_SetItemState(List(id), item, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(List(id), current, LVIS_FOCUSED, LVIS_FOCUSED);
  }

  ComApartment apartment_;
  engine::LibraryObjects objects_;
  ScratchFolder folder{L"lists"};
  std::wstring hostsPath = folder / L"hosts";
  SystemSiteStores stores;
  BlockSitePage page{services, stores};
  test::PageHost host{services};
};

// The top-left corner of the pop-up menu this thread shows, once it is up;
// "&Unblock" is then chosen by its access key.
thread_local POINT t_menuAt{-1, -1};

void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  // The test runs alone: the one visible menu window is this thread's.
  HWND menu = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr);
  while (menu && !::IsWindowVisible(menu)) menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr);
  if (!menu) return;
  ::KillTimer(nullptr, timer);
  RECT place{};
  ::GetWindowRect(menu, &place);
  t_menuAt = {place.left, place.top};
  ::PostMessageW(menu, WM_KEYDOWN, 'U', 1);
  ::PostMessageW(menu, WM_CHAR, 'u', 1);
}

// Every way a user acts on the page, each from the same two lists, reaches
// both real stores, and the page then shows them; a hosts file that cannot be
// written loses no site, and its failure is shown once and logged.
TEST_F(BlockSitePageTest, EveryWayToActReachesBothStores) {
  // The menu opens at the current item.
  const auto openMenu = [&](UINT key, std::initializer_list<UINT> modifiers) {
    Select(IDC_BLOCKED, {1}, 1);
    ::SetFocus(List(IDC_BLOCKED));
    RECT item{};
    ListView_GetItemRect(List(IDC_BLOCKED), 1, &item, LVIR_LABEL);
    POINT expectedAt{item.left, item.bottom};
    ::ClientToScreen(List(IDC_BLOCKED), &expectedAt);
    t_menuAt = {-1, -1};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, AnswerMenu);
    test::PressKey(key, modifiers);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(std::pair(t_menuAt.x, t_menuAt.y), std::pair(expectedAt.x, expectedAt.y));
  };
  const Names parked{"1", "2", "3", "4"};
  const Names unblocked{"1", "2", "3", "4", "b.example"};
  const struct {
    const char* what;
    std::function<void()> act;
    Names hosts, registry, shown;  // the stores afterwards, the texts shown (their start)
    std::size_t logged = 0;
  } cases[] = {
      // A button's access key presses it (Block Web Site), a label's reaches
      // its list; typing in a list moves to the first site that begins so.
      {"access keys, typing and the Delete key",
       [&] {
         Select(IDC_UNBLOCKED, {0, 1, 2, 3}, 0);
         ::SetFocus(page.Item(IDC_ADD_BLOCKED));
         dialogs.inputs = {"  https://C.example/banner "};
         test::PressKey('S', {VK_MENU});
         for (const auto& [key, id] : {std::pair{'N', IDC_UNBLOCKED}, std::pair{'O', IDC_BLOCKED}}) {
           test::PressKey(key, {VK_MENU});  // Delete acts on the list with the focus
           if (id == IDC_BLOCKED) ::SendMessageW(List(id), WM_CHAR, L'b', 1);
           test::PressKey(VK_DELETE);
         }
       },
       {"a.example", "C.example"}, {"<no key>"},
       {"Type web site name to block.|Hedgerow|www.example.com",
        "Are you sure you want to delete 1, 2, 3 and 4?", "Are you sure you want to delete b.example?"}},
      // Two ways in: Shift+F10 as WM_CONTEXTMENU, the context-menu key as the key itself.
      {"Shift+F10", [&] { openMenu(VK_F10, {VK_SHIFT}); }, {"a.example"}, unblocked, {}},
      {"context-menu key", [&] { openMenu(VK_APPS, {}); }, {"a.example"}, unblocked, {}},
      {"double click, held hosts file",
       [&] {
         Select(IDC_UNBLOCKED, {2, 3}, 3);
         // Readable, but held so that nothing can take its place.
         const hg::win::unique_file_handle held(
             ::CreateFileW(hostsPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
         ASSERT_TRUE(held);
         NMITEMACTIVATE activate{};
         activate.hdr = {List(IDC_UNBLOCKED), IDC_UNBLOCKED, static_cast<UINT>(NM_DBLCLK)};
         activate.iItem = -1;  // empty space: the selection moves all the same
         ::SendMessageW(page.handle(), WM_NOTIFY, IDC_UNBLOCKED, reinterpret_cast<LPARAM>(&activate));
         EXPECT_EQ(::GetFocus(), List(IDC_UNBLOCKED));
         EXPECT_EQ(Shown(IDC_UNBLOCKED, LVNI_SELECTED), Names{"1"});  // as the reload after the failure selects
       },
       {"a.example", "b.example"}, parked, {"Cannot block web site(s). Cannot apply web site blocking. "}, 4},
      // The bulk block dialog, as the program's menu opens it: typing goes to
      // its text; Escape there closes it, Enter on OK closes it with the typed
      // lines, which the page then blocks. It closes only from here, so these
      // checks run.
      {"bulk block dialog",
       [&] {
         for (const bool ok : {false, true}) {
           BlockListDialog dialog(services);
           dialog.Init();
           AnswerNextDialog([&](HWND d) {
             ::SetForegroundWindow(d);  // in front, as a user sees it, whatever window another test shows
             EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDC_BLOCK_LIST_TEXT));
             ::SetDlgItemTextW(d, IDC_BLOCK_LIST_TEXT, ok ? L"2\r\n\r\n   \r\nc.example\r\n C.EXAMPLE " : L"d.example");
             ::PostMessageW(::GetDlgItem(d, ok ? IDOK : IDC_BLOCK_LIST_TEXT), WM_KEYDOWN,
                            ok ? VK_RETURN : VK_ESCAPE, 1);
           });
           dialog.ShowModal(host.handle());
           EXPECT_EQ(dialog.OKPressed(), ok);
           page.BlockSites(dialog.TypedSites());
         }
       },
       {"a.example", "b.example", "2", "c.example"}, {"1", "3", "4"}, {}},
      // A DPI change lays the page and its icons out again, in the pixels of the new DPI.
      {"a DPI change",
       [&] {
         ::SendMessageW(page.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
         RECT place{};
         ::GetWindowRect(List(IDC_UNBLOCKED), &place);
         ::MapWindowPoints(nullptr, page.handle(), reinterpret_cast<POINT*>(&place), 2);
         EXPECT_EQ(place.top, 270 * 144 / 1440);
         int width = 0, height = 0;
         ::ImageList_GetIconSize(ListView_GetImageList(List(IDC_BLOCKED), LVSIL_SMALL), &width, &height);
         EXPECT_EQ(width, 16 * 144 / 96);
       },
       {"a.example", "b.example"}, parked, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // Both stores written, and the page shown over them.
    WriteRaw(hostsPath, Entries({"a.example", "b.example"}));
    app::test::SetUnblockedNames(parked);
    host.Create(page, 5955, 2970);
    page.Init();
    test::PumpMessages();
    dialogs.shown.clear();
    log.entries.clear();
    c.act();
    EXPECT_EQ(ReadRaw(hostsPath), Entries(c.hosts));
    EXPECT_EQ(Shown(IDC_BLOCKED), c.hosts);
    EXPECT_EQ(app::test::UnblockedNames(), c.registry);
    EXPECT_EQ(Shown(IDC_UNBLOCKED), c.registry == Names{"<no key>"} ? Names{} : c.registry);
    ASSERT_EQ(dialogs.shown.size(), c.shown.size());
    for (std::size_t i = 0; i < c.shown.size(); ++i) EXPECT_THAT(dialogs.shown[i], ::testing::StartsWith(c.shown[i]));
    EXPECT_EQ(log.entries.size(), c.logged);
    ::DestroyWindow(host.handle());
  }
}

}  // namespace
}  // namespace app::lists
