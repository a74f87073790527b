// FMain.
#include "app/shell/main_window_win.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "app/backup/backup_win.h"
#include "app/engine/strings_win.h"
#include "app/engine/user_dialogs.h"
#include "app/lists/block_list_win.h"
#include "app/resource.h"
#include "app/shell/about_win.h"
#include "app/shell/startup.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::shell {
namespace {

constexpr wchar_t kClassName[] = L"HedgerowMainWindow";
constexpr int kTabStrip = 10;
constexpr int kNote = 11;
// The window's client area as designed, and the note's place.
constexpr int kClientWidth = 6600, kClientHeight = 4410;
constexpr int kNoteLeft = 90, kNoteHeight = 255;

const char* const kTabKeys[] = {shell::kHelpTabKey, shell::kBlockSiteTabKey};
const wchar_t* const kTabCaptions[] = {L"Help", L"Block Unwanted Web Sites"};

HICON ProgramIcon(int metricX, int metricY) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HEDGEROW),
                                         IMAGE_ICON, ::GetSystemMetrics(metricX),
                                         ::GetSystemMetrics(metricY), LR_SHARED));
}

int Modifiers() {
  int modifiers = 0;
  if (::GetKeyState(VK_SHIFT) < 0) modifiers |= shell::kShift;
  if (::GetKeyState(VK_CONTROL) < 0) modifiers |= shell::kCtrl;
  if (::GetKeyState(VK_MENU) < 0) modifiers |= shell::kAlt;
  return modifiers;
}

}  // namespace

void MainWindow::Create() {
  CreateWindowOf(kClassName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                 ProgramWideString(IDS_PRODUCT_NAME), nullptr, SIZE{CW_USEDEFAULT, CW_USEDEFAULT},
                 ProgramIcon(SM_CXICON, SM_CYICON), ProgramIcon(SM_CXSMICON, SM_CYSMICON));
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const HMENU menu = ::LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN));
  THROW_LAST_ERROR_IF(menu == nullptr);
  ::SetMenu(handle(), menu);

  const HWND tabs = ::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE |
                                      WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0, handle(),
                                      reinterpret_cast<HMENU>(kTabStrip), instance, nullptr);
  THROW_LAST_ERROR_IF(tabs == nullptr);
  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  ::SendMessageW(tabs, WM_SETFONT, font, FALSE);
  for (int i = 0; i < shell::kPageCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
    item.lParam = i;
    THROW_LAST_ERROR_IF(::SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item)) != i);
  }
  const std::wstring note = L"The latest version of Hedgerow is always available at " +
                            hg::win::Widen(shell::kWebAddress);
  const HWND noteLabel = ::CreateWindowExW(0, L"Static", note.c_str(),
                                           WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP,
                                           0, 0, 0, 0,
                                           handle(), reinterpret_cast<HMENU>(kNote), instance, nullptr);
  THROW_LAST_ERROR_IF(noteLabel == nullptr);
  ::SendMessageW(noteLabel, WM_SETFONT, font, FALSE);

  // The font does not grow in step with the DPI: at some DPIs the note is
  // wider than the designed width, and the window grows to show it whole.
  const int noteWidth = static_cast<int>(ui::TextExtent(noteLabel, note).cx) + 2 * Pixels(kNoteLeft);
  RECT frame{0, 0, std::max(Pixels(kClientWidth), noteWidth), Pixels(kClientHeight)};
  ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
  ::SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  help_.Create(handle());
  blockSite_.CreateModeless(handle());
  ::EnableThemeDialogTexture(blockSite_.handle(), ETDT_ENABLETAB);
  ::ShowWindow(blockSite_.handle(), SW_HIDE);
  Layout();
  // Before the lists are first filled, so that no change after it is missed.
  if (services().watchHostsFile && !services().hostsFilePath.empty()) WatchHostsFile();
}

void MainWindow::WatchHostsFile() {
  Swallowing("WatchHostsFile", [&] { watcher_.emplace(services().hostsFilePath); },
             Severity::kInternalError);
}

void MainWindow::OnHostsFileChanged() {
  constexpr char kHandler[] = "HostsFile_Changed";
  constexpr char kOutsideChange[] =
      "The hosts file was changed outside the program; reloading the lists.";
  bool named = false;
  Trapped([&] { named = watcher_->TakeChanges(); },
          [&](const Failure& failure) {
            // Watching ends; each command still looks at the file before it writes.
            watcher_.reset();
            SwallowFailure(failure, Source(kHandler), Severity::kInternalError);
          });
  // The program's own writes leave the file as its lists last saw it.
  if (!named || !stores_.HostsFileChanged()) return;
  Swallowing(
      kHandler,
      [&] {
        if (services().log) {
          services().log->LogIt(0, kOutsideChange, Severity::kTrace, Source(kHandler));
        }
        blockSite_.Reload();
      },
      Severity::kInternalError);
}

void MainWindow::InitTabStrip() {
  Swallowing(
      "InitTabStrip",
      [&] {
        pages_ = {help_.handle(), blockSite_.handle()};
        for (const HWND page : pages_) {
          ::SetWindowPos(page, HWND_TOP, Pixels(shell::kPageLeft), Pixels(shell::kPageTop), 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE);
        }
        help_.Init();
        blockSite_.Init();
        Layout();
        currentPage_ = 1;
        ShowCurrentPage();
      },
      Severity::kInternalError);
}

void MainWindow::ShowCentred(int show) {
  ui::CentreWindow(handle(), nullptr);
  ::ShowWindow(handle(), show);
  ::UpdateWindow(handle());
}

HWND MainWindow::page(std::int32_t index) const noexcept {
  return index >= 1 && index <= static_cast<std::int32_t>(pages_.size()) ? pages_[index - 1] : nullptr;
}

void MainWindow::ShowCurrentPage() {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    ::ShowWindow(pages_[i], static_cast<std::int32_t>(i) + 1 == currentPage_ ? SW_SHOW : SW_HIDE);
  }
}

void MainWindow::SelectPage(std::int32_t index) {
  currentPage_ = index;
  ::SendMessageW(Item(kTabStrip), TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
  ShowCurrentPage();
}

bool MainWindow::PreviewKey(const MSG& message) {
  if (!handle() || (message.hwnd != handle() && !::IsChild(handle(), message.hwnd))) return false;
  if (message.message != WM_KEYDOWN && message.message != WM_KEYUP) return false;
  const int key = static_cast<int>(message.wParam);
  const shell::KeyCommand command = shell::KeyCommandOf(key, Modifiers());
  if (command == shell::KeyCommand::kNone) return false;
  // The press is the dialog manager's otherwise, which would move the focus.
  if (message.message == WM_KEYUP) OnKeyUp(key, Modifiers());
  return true;
}

void MainWindow::OnKeyUp(int keyCode, int modifiers) {
  switch (shell::KeyCommandOf(keyCode, modifiers)) {
    case shell::KeyCommand::kRefresh:
      OnCommand(IDM_REFRESH);
      break;
    case shell::KeyCommand::kNextPage:
      SelectPage(shell::NextPage(currentPage_, static_cast<std::int32_t>(pages_.size())));
      break;
    case shell::KeyCommand::kPreviousPage:
      SelectPage(shell::PreviousPage(currentPage_, static_cast<std::int32_t>(pages_.size())));
      break;
    case shell::KeyCommand::kNone:
      break;
  }
}

void MainWindow::BlockList() {
  lists::BlockListDialog dialog(services());
  dialog.Init();
  dialog.ShowModal(handle());
  if (!dialog.OKPressed()) return;
  blockSite_.BlockSites(dialog.TypedSites());
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case IDM_REFRESH:
      Swallowing("mnuRefresh_Click", [&] { blockSite_.RefreshList(); }, Severity::kInternalError);
      break;
    case IDM_EXIT:
      ::DestroyWindow(handle());
      break;
    case IDM_BLOCK_LIST:
      Reporting("mnuBlockList_Click", IDS_CANNOT_BLOCK_LIST, kIconExclamation, [&] { BlockList(); });
      break;
    case IDM_BACKUP:
      backup::BackupCurrentSettings();
      break;
    case IDM_RESTORE:
      backup::RestoreSettings([this] { blockSite_.RefreshList(); });
      break;
    case IDM_PASSWORD_PROTECTION:
      Swallowing("mnuPasswordProtection_Click",
                 [&] { if (commands_.passwordProtection) commands_.passwordProtection(handle()); },
                 Severity::kInternalError);
      break;
    case IDM_VISIT_HOMEPAGE:
      shell::OpenHomePage();
      break;
    case IDM_ABOUT: {
      shell::AboutBox about(services());
      about.ShowModal(handle());
      break;
    }
    default:
      break;
  }
}

void MainWindow::Layout() {
  // Sized while it is created, before it has its controls.
  if (!Item(kNote)) return;
  RECT client;
  ::GetClientRect(handle(), &client);
  shell::LayOutMain(layout_, Twips(client.right), Twips(client.bottom));
  // A size that would be negative was not assigned: the control keeps its last.
  Place(kTabStrip, {shell::kTabLeft, 0, layout_.tabWidth.value_or(0), layout_.tabHeight.value_or(0)});
  const int noteTop = layout_.noteTop.value_or(0);
  Place(kNote, {kNoteLeft, noteTop, std::max(0, Twips(client.right) - 2 * kNoteLeft), kNoteHeight});
  for (const HWND page : pages_) {
    ::SetWindowPos(page, nullptr, Pixels(shell::kPageLeft), Pixels(shell::kPageTop),
                   Pixels(layout_.pageWidth.value_or(0)), Pixels(layout_.pageHeight.value_or(0)),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam == 0) {
        OnCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == kTabStrip && header->code == TCN_SELCHANGE) {
        const int selected = static_cast<int>(::SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        ::SendMessageW(header->hwndFrom, TCM_GETITEMW, selected, reinterpret_cast<LPARAM>(&item));
        currentPage_ = shell::TabIndexFromKey(kTabKeys[item.lParam]);
        ShowCurrentPage();
        return 0;
      }
      break;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace app::shell
