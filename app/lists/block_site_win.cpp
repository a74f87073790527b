// ucBlockSite: the site list page.
#include "app/lists/block_site_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "app/engine/strings_win.h"
#include "app/resource.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::lists {
namespace {

constexpr int kLists[] = {IDC_UNBLOCKED, IDC_BLOCKED};

int OtherMove(int listId) { return listId == IDC_UNBLOCKED ? IDC_BLOCK : IDC_UNBLOCK; }

}  // namespace

BlockSitePage::BlockSitePage(Services& services, SiteStores& stores)
    : Dialog(services, kTypeName, IDD_SITE_LISTS), model_(stores, [this] { Show(); }) {}

void BlockSitePage::Init() { model_.RefreshList(); }

void BlockSitePage::RefreshList() { model_.RefreshList(); }

void BlockSitePage::Reload() {
  Capture();
  model_.Reload();
}

void BlockSitePage::RefreshListviews() { Show(); }

void BlockSitePage::CheckDuplicatesAndAddBlocked(const std::string& sitename) {
  model_.CheckDuplicatesAndAddBlocked(sitename);
}

void BlockSitePage::UpdateBlockedFile() { model_.UpdateBlockedFile(); }

void BlockSitePage::UpdateUnblockedFile() { model_.UpdateUnblockedFile(); }

void BlockSitePage::BlockSites(const std::vector<std::string>& sites) {
  Capture();
  model_.BlockSites(sites);
  Show();
}

SiteList& BlockSitePage::ListOf(int id) {
  return id == IDC_BLOCKED ? model_.blocked() : model_.unblocked();
}

bool BlockSitePage::OnInitDialog() {
  LoadImages();
  for (const int id : kLists) SetUpList(id);
  SetUpTooltips();
  menus_.reset(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_SITE_CONTEXT)));
  THROW_LAST_ERROR_IF(!menus_);
  return false;  // a page leaves the focus where its window has it
}

void BlockSitePage::SetUpList(int id) {
  const HWND list = Item(id);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  std::wstring header = ProgramWideString(IDS_NAME_COLUMN);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = header.data();
  column.cx = Pixels(id == IDC_BLOCKED ? layout_.blockedColumn : layout_.unblockedColumn);
  THROW_LAST_ERROR_IF(ListView_InsertColumn(list, 0, &column) == -1);
  THROW_IF_WIN32_BOOL_FALSE(
      ::SetWindowSubclass(list, ListKeys, 1, reinterpret_cast<DWORD_PTR>(this)));
}

LRESULT CALLBACK BlockSitePage::ListKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR page) {
  // Not every list view turns the context-menu key into WM_CONTEXTMENU; the
  // page opens the menu itself, and the key goes no further.
  if (message == WM_KEYUP && wParam == VK_APPS) {
    try {
      reinterpret_cast<BlockSitePage*>(page)->OnContextMenu(list, MAKELPARAM(-1, -1));
    } catch (...) {
      // The menu's own trap has logged what it could.
    }
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(list, ListKeys, 1);
  return ::DefSubclassProc(list, message, wParam, lParam);
}

void BlockSitePage::SetUpTooltips() {
  tooltips_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr));
  THROW_LAST_ERROR_IF(!tooltips_);
  std::wstring text = ProgramWideString(IDS_BLOCK_TOOLTIP);
  for (const int id : {IDC_BLOCK, IDC_ADD_BLOCKED}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = text.data();
    THROW_LAST_ERROR_IF(!::SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0,
                                        reinterpret_cast<LPARAM>(&tool)));
  }
}

void BlockSitePage::LoadImages() {
  // The item icon at the page's DPI: 16 pixels at 96.
  const int size = ::MulDiv(16, dpi(), 96);
  unique_imagelist images(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
  THROW_LAST_ERROR_IF(!images);
  const hg::win::unique_hicon icon(static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SITE), IMAGE_ICON, size, size, 0)));
  THROW_LAST_ERROR_IF(!icon);
  THROW_LAST_ERROR_IF(::ImageList_AddIcon(images.get(), icon.get()) == -1);
  for (const int id : kLists) ListView_SetImageList(Item(id), images.get(), LVSIL_SMALL);
  images_ = std::move(images);
  imagesDpi_ = dpi();
}

void BlockSitePage::Layout() {
  RECT client{};
  ::GetClientRect(handle(), &client);
  ResizePage(layout_, client.right * double{ui::kTwipsPerInch} / dpi(),
             client.bottom * double{ui::kTwipsPerInch} / dpi());
  // A label is as wide as its list at least, so that the system's dialog
  // font, wider than the design's, does not wrap it out of sight.
  ui::TwipsRect unblockedLabel = layout_.unblockedLabel, blockedLabel = layout_.blockedLabel;
  unblockedLabel.width = std::max(unblockedLabel.width, layout_.unblocked.width);
  blockedLabel.width = std::max(blockedLabel.width, layout_.blocked.width);
  Place(IDC_UNBLOCKED_LABEL, unblockedLabel);
  Place(IDC_UNBLOCKED, layout_.unblocked);
  Place(IDC_REMOVE_UNBLOCKED, layout_.removeUnblocked);
  Place(IDC_BLOCK, layout_.block);
  Place(IDC_UNBLOCK, layout_.unblock);
  Place(IDC_BLOCKED_LABEL, blockedLabel);
  Place(IDC_BLOCKED, layout_.blocked);
  Place(IDC_ADD_BLOCKED, layout_.addBlocked);
  ListView_SetColumnWidth(Item(IDC_UNBLOCKED), 0, Pixels(layout_.unblockedColumn));
  ListView_SetColumnWidth(Item(IDC_BLOCKED), 0, Pixels(layout_.blockedColumn));
  if (images_ && imagesDpi_ != dpi()) LoadImages();
}

void BlockSitePage::Capture() {
  for (const int id : kLists) {
    const HWND view = Item(id);
    SiteList& list = ListOf(id);
    list.ClearSelection();
    for (int i = ListView_GetNextItem(view, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(view, i, LVNI_SELECTED)) {
      if (static_cast<std::size_t>(i) < list.size()) list.Select(static_cast<std::size_t>(i), true);
    }
    const int focused = ListView_GetNextItem(view, -1, LVNI_FOCUSED);
    list.SetCurrent(focused >= 0 && static_cast<std::size_t>(focused) < list.size()
                        ? std::optional<std::size_t>(static_cast<std::size_t>(focused))
                        : std::nullopt);
  }
}

void BlockSitePage::Show() {
  ShowList(IDC_UNBLOCKED, model_.unblocked());
  ShowList(IDC_BLOCKED, model_.blocked());
}

void BlockSitePage::ShowList(int id, SiteList& list) {
  const HWND view = Item(id);
  ListView_SetItemCountEx(view, static_cast<int>(list.size()), LVSICF_NOSCROLL);
  // Item by item: some list views clear every item of an owner-data list
  // one at a time when told all of them (-1), which takes long with many.
  for (int item = ListView_GetNextItem(view, -1, LVNI_SELECTED); item >= 0;
       item = ListView_GetNextItem(view, item, LVNI_SELECTED)) {
    ListView_SetItemState(view, item, 0, LVIS_SELECTED);
  }
  const int focused = ListView_GetNextItem(view, -1, LVNI_FOCUSED);
  if (focused >= 0) ListView_SetItemState(view, focused, 0, LVIS_FOCUSED);
  for (const std::size_t position : list.SelectedPositions()) {
    ListView_SetItemState(view, static_cast<int>(position), LVIS_SELECTED, LVIS_SELECTED);
  }
  if (const auto current = list.current()) {
    const int item = static_cast<int>(*current);
    ListView_SetItemState(view, item, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_SetSelectionMark(view, item);
    ListView_EnsureVisible(view, item, FALSE);
  }
  ::InvalidateRect(view, nullptr, TRUE);
}

void BlockSitePage::Run(const std::function<void()>& command) {
  Capture();
  command();
  Show();
}

bool BlockSitePage::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDC_BLOCK:
    case IDM_BLOCK:
      Run([&] {
        if (model_.Block()) ::SetFocus(Item(IDC_UNBLOCKED));
      });
      return true;
    case IDC_UNBLOCK:
    case IDM_UNBLOCK:
      Run([&] {
        if (model_.Unblock()) ::SetFocus(Item(IDC_BLOCKED));
      });
      return true;
    case IDC_REMOVE_UNBLOCKED:
    case IDM_DELETE_UNBLOCKED:
      Run([&] { model_.RemoveUnblocked(); });
      return true;
    case IDM_DELETE_BLOCKED:
      Run([&] { model_.DeleteBlocked(); });
      return true;
    case IDC_ADD_BLOCKED:
      Run([&] { model_.AddBlocked(); });
      return true;
    default:
      return Dialog::OnCommand(id, code, control);
  }
}

bool BlockSitePage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_NOTIFY:
      result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return true;
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
      result = 0;
      return true;
    default:
      return Dialog::HandleMessage(message, wParam, lParam, result);
  }
}

LRESULT BlockSitePage::OnNotify(const NMHDR& header) {
  const int id = static_cast<int>(header.idFrom);
  if (id != IDC_UNBLOCKED && id != IDC_BLOCKED) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
      const SiteList& list = ListOf(id);
      if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= list.size()) return 0;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        shownText_ = hg::win::Widen(list.Name(static_cast<std::size_t>(item.iItem)));
        std::wcsncpy(item.pszText, shownText_.c_str(), static_cast<std::size_t>(item.cchTextMax));
        item.pszText[item.cchTextMax - 1] = L'\0';
      }
      if (item.mask & LVIF_IMAGE) item.iImage = 0;
      return 0;
    }
    case LVN_ODFINDITEMW: {
      // Typing in a list moves to the next site whose name begins so.
      const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
      if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
      const std::optional<std::size_t> found = ListOf(id).FindPrefix(
          hg::win::Narrow(find.lvfi.psz), static_cast<std::size_t>(std::max(find.iStart, 0)));
      return found ? static_cast<LRESULT>(*found) : -1;
    }
    case NM_DBLCLK:
      OnCommand(OtherMove(id), BN_CLICKED, nullptr);
      return 0;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) {
        OnCommand(id == IDC_UNBLOCKED ? IDC_REMOVE_UNBLOCKED : IDM_DELETE_BLOCKED, 0, nullptr);
      }
      return 0;
    default:
      return 0;
  }
}

void BlockSitePage::OnContextMenu(HWND view, LPARAM position) {
  const int id = ::GetDlgCtrlID(view);
  if (id != IDC_UNBLOCKED && id != IDC_BLOCKED) return;
  Swallowing(id == IDC_BLOCKED ? "lvBlocked_MouseUp" : "lvUnblocked_MouseUp", [&] {
    int item = ListView_GetNextItem(view, -1, LVNI_FOCUSED);
    if (item < 0) item = ListView_GetNextItem(view, -1, LVNI_SELECTED);
    if (item < 0) return;  // no current item: no menu
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
      // From the keyboard: at the current item, not wherever the pointer is.
      ListView_EnsureVisible(view, item, FALSE);
      RECT place{};
      ListView_GetItemRect(view, item, &place, LVIR_LABEL);
      at = POINT{place.left, place.bottom};
      ::ClientToScreen(view, &at);
    }
    const HMENU menu = ::GetSubMenu(menus_.get(), id == IDC_UNBLOCKED ? 0 : 1);
    const int command = static_cast<int>(::TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, handle(), nullptr));
    if (command != 0) OnCommand(command, 0, nullptr);
  });
}

}  // namespace app::lists
