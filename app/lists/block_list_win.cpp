// FBlockList: the bulk block dialog.
#include "app/lists/block_list_win.h"

#include "app/lists/site_names.h"
#include "app/resource.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::lists {
namespace {

// The design, in twips; the inner area is 4530 by 4260.
constexpr int kWidth = 4530;
constexpr int kHeight = 4260;
constexpr struct {
  int id;
  ui::TwipsRect place;
} kControls[] = {
    {IDC_BLOCK_LIST_IMAGE, {180, 165, 480, 480}},
    {IDC_BLOCK_LIST_INTRO, {795, 180, 2550, 195}},
    {IDC_BLOCK_LIST_LABEL, {795, 750, 1980, 195}},
    {IDC_BLOCK_LIST_TEXT, {810, 1005, 3555, 2520}},
    {IDOK, {1425, 3750, 1120, 345}},
    {IDCANCEL, {2640, 3750, 1120, 345}},
};

}  // namespace

BlockListDialog::BlockListDialog(Services& services)
    : Dialog(services, "FBlockList", IDD_BLOCK_LIST) {}

std::vector<std::string> BlockListDialog::TypedSites() {
  std::vector<std::string> sites;
  Swallowing("TypedSites", [&] { sites = lists::TypedSites(text_); });
  return sites;
}

bool BlockListDialog::OnInitDialog() {
  // The inner area at the dialog's DPI, centred where the template was.
  RECT frame{0, 0, Pixels(kWidth), Pixels(kHeight)};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
  RECT now{};
  ::GetWindowRect(handle(), &now);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  ::SetWindowPos(handle(), nullptr, (now.left + now.right - width) / 2,
                 (now.top + now.bottom - height) / 2, width, height, SWP_NOZORDER);
  Layout();
  return true;  // the focus goes to the first control: the text box
}

bool BlockListDialog::OnCommand(int id, int code, HWND control) {
  if (id != IDOK) return Dialog::OnCommand(id, code, control);
  Swallowing("cmdOK_Click", [&] {
    text_ = hg::win::Narrow(ItemText(IDC_BLOCK_LIST_TEXT));
    okPressed_ = true;
    End(IDOK);
  });
  return true;
}

void BlockListDialog::Layout() {
  for (const auto& control : kControls) Place(control.id, control.place);
  if (iconDpi_ == dpi()) return;
  // The decorative icon at the dialog's DPI.
  const int size = Pixels(480);
  hg::win::unique_hicon icon(static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HEDGEROW), IMAGE_ICON, size, size, 0)));
  THROW_LAST_ERROR_IF(!icon);
  ::SendDlgItemMessageW(handle(), IDC_BLOCK_LIST_IMAGE, STM_SETICON,
                        reinterpret_cast<WPARAM>(icon.get()), 0);
  icon_ = std::move(icon);
  iconDpi_ = dpi();
}

}  // namespace app::lists
