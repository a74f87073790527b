// FAbout.
#include "app/shell/about_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/resource.h"
#include "app/shell/about.h"
#include "app/shell/startup.h"
#include "common/win/text_win.h"

namespace app::shell {

using P = AboutPlaces;

void OpenHomePage() noexcept {
  ::ShellExecuteW(nullptr, L"open", hg::win::Widen(kHomePage).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

AboutBox::AboutBox(Services& services) noexcept : Dialog(services, "FAbout", IDD_ABOUT) {}

bool AboutBox::OnInitDialog() {
  // Every handler of the box ignores its failures.
  try {
    ::SetWindowTextW(Item(IDC_ABOUT_NAME), hg::win::Widen(AboutNameText()).c_str());
    RECT frame{0, 0, Pixels(P::kWidth), Pixels(P::kHeight)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(handle(), GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
    ::SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ui::CentreWindow(handle(), ::GetWindow(handle(), GW_OWNER));
    Layout();
  } catch (...) {
  }
  ::SetFocus(Item(IDOK));
  return false;
}

void AboutBox::Layout() {
  const int logoSize = Pixels(P::kLogoSize);
  hg::win::unique_hicon logo(static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LOGO), IMAGE_ICON, logoSize, logoSize, 0)));
  ::SendMessageW(Item(IDC_ABOUT_LOGO), STM_SETICON, reinterpret_cast<WPARAM>(logo.get()), 0);
  logo_ = std::move(logo);
  Place(IDC_ABOUT_LOGO, {P::kLogoLeft, P::kLogoTop, P::kLogoSize, P::kLogoSize});
  // The label grows to fit its text.
  const SIZE text = ui::TextExtent(Item(IDC_ABOUT_NAME), hg::win::Widen(AboutNameText()));
  Place(IDC_ABOUT_NAME, {P::kNameLeft, P::kNameTop, Twips(text.cx) + 15, Twips(text.cy)});
  Place(IDC_ABOUT_SEPARATOR, {P::kSeparatorLeft, P::kSeparatorTop, P::kSeparatorWidth, 30});
  Place(IDOK, {P::kOkLeft, P::kOkTop, P::kOkWidth, P::kOkHeight});
  // The address's bottom lines up with the button's.
  const HWND visit = Item(IDC_ABOUT_VISIT);
  const auto ideal = static_cast<int>(::SendMessageW(visit, LM_GETIDEALHEIGHT, 0, 0));
  const int visitHeight = ideal > 0 ? Twips(ideal) : 240;
  Place(IDC_ABOUT_VISIT, {P::kVisitLeft, P::kOkTop + P::kOkHeight - visitHeight,
                          P::kOkLeft - P::kVisitLeft - 120, visitHeight});
}

bool AboutBox::OnCommand(int id, int code, HWND control) {
  if (id == IDOK) {
    End(IDOK);
    return true;
  }
  if (id == IDC_ABOUT_LOGO && code == STN_DBLCLK) {
    OpenHomePage();
    return true;
  }
  return Dialog::OnCommand(id, code, control);
}

bool AboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    // A left click on the address, or Enter on it: a right click does nothing.
    if (header->idFrom == IDC_ABOUT_VISIT && (header->code == NM_CLICK || header->code == NM_RETURN)) {
      OpenHomePage();
      result = 0;
      return true;
    }
  }
  return Dialog::HandleMessage(message, wParam, lParam, result);
}

}  // namespace app::shell
