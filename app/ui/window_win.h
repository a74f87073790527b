// The one window base and the one dialog base of the program. A window keeps
// `this` from its creation on, forwards messages to small handlers and runs
// every handler under the failure convention: no exception leaves a window or
// dialog procedure.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "app/engine/failure.h"
#include "app/engine/services.h"
#include "app/engine/strings_win.h"
#include "app/ui/twips.h"

namespace app::ui {

// The DPI a window is shown at: its own where the system tells it, else the system's.
int DpiOf(HWND window) noexcept;

// The size in pixels `text` takes in the font of `control` (its lines
// broken only where it breaks them); zero where it cannot be measured.
SIZE TextExtent(HWND control, const std::wstring& text) noexcept;

// Fills `page`, a window shown on a tab strip's face, with that face as the
// visual style draws it; false without a visual style.
bool PaintTabFace(HWND page, HDC dc) noexcept;

// Moves `window` to the centre of `over`, or of the work area of its screen
// when `over` is null.
void CentreWindow(HWND window, HWND over) noexcept;

// What windows and dialogs share: the services, the type name their failures
// are logged under ("FMain", "ucBlockSite"), the DPI they are laid out at.
class WindowCore {
 public:
  WindowCore(const WindowCore&) = delete;
  WindowCore& operator=(const WindowCore&) = delete;

  HWND handle() const noexcept { return window_; }
  int dpi() const noexcept { return dpi_; }
  int Pixels(int twips) const noexcept { return TwipsToPixels(twips, dpi_); }
  int Twips(int pixels) const noexcept { return PixelsToTwips(pixels, dpi_); }
  HWND Item(int id) const noexcept { return ::GetDlgItem(window_, id); }

 protected:
  WindowCore(Services& services, const char* typeName) noexcept
      : services_(services), typeName_(typeName) {}
  virtual ~WindowCore() = default;

  Services& services() const noexcept { return services_; }
  // "<type name>.<handler>", the source of the handler's log entries.
  std::string Source(const char* handler) const { return std::string(typeName_) + "." + handler; }

  // Pattern S: a failure of `body` is logged under the handler's name and ends there.
  template <typename Body>
  void Swallowing(const char* handler, Body&& body, Severity severity = Severity::kError) {
    Trapped(std::forward<Body>(body),
            [&](const Failure& failure) { SwallowFailure(failure, Source(handler), severity); });
  }
  // Pattern R: a failure is logged and shown as string `textId` followed by
  // its description, with `icon`.
  template <typename Body>
  void Reporting(const char* handler, int textId, int icon, Body&& body) {
    Trapped(std::forward<Body>(body), [&](const Failure& failure) {
      ReportFailure(failure, Source(handler), ProgramString(static_cast<unsigned>(textId)), icon);
    });
  }

  // Places control `id` at `place`, converted at the window's DPI.
  void Place(int id, const TwipsRect& place) const;
  // Lays the window out at its current size and DPI; runs on every size and
  // DPI change.
  virtual void Layout() {}

  // The procedure's part every window shares: attaching, size and DPI
  // changes. True when the message is handled and `result` set.
  bool HandleCommon(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void Attach(HWND window) noexcept;
  void Detach() noexcept { window_ = nullptr; }
  // Logs a failure that no handler trapped.
  void LogUntrapped(const char* procedure) noexcept;

 private:
  Services& services_;
  const char* typeName_;
  HWND window_ = nullptr;
  int dpi_ = 96;
};

// A window created from a window class of the program's own.
class Window : public WindowCore {
 public:
  ~Window() override;

 protected:
  Window(Services& services, const char* typeName) noexcept : WindowCore(services, typeName) {}

  // Registers `className` once per process and creates the window with
  // `this` attached; throws when it cannot. `size` in pixels (CW_USEDEFAULT allowed).
  void CreateWindowOf(const wchar_t* className, DWORD style, DWORD exStyle,
                      const std::wstring& caption, HWND parent, SIZE size,
                      HICON icon = nullptr, HICON smallIcon = nullptr);

  // The message handler; what it does not handle goes to Window::HandleMessage.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// A dialog from a template of the program's resources, modal or modeless.
class Dialog : public WindowCore {
 public:
  ~Dialog() override;

  // Modal over `owner`; returns the result given to End. Throws when the
  // dialog cannot be shown.
  INT_PTR ShowModal(HWND owner);
  // Modeless: a child page of `parent` (DS_CONTROL templates) or a window it
  // owns; the message loop drives it.
  void CreateModeless(HWND parent);

 protected:
  Dialog(Services& services, const char* typeName, int templateId) noexcept
      : WindowCore(services, typeName), templateId_(templateId) {}

  // True when the dialog manager is to give the focus to the first control;
  // false when the handler set it.
  virtual bool OnInitDialog() { return true; }
  // A command from a control or menu; true when handled. Cancel (Escape,
  // the close box) ends a modal dialog unless handled here.
  virtual bool OnCommand(int id, int code, HWND control);
  // Other messages; true when handled and `result` set.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Ends a modal dialog with `result`.
  void End(INT_PTR result);
  // A control's text.
  std::wstring ItemText(int id) const;

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  bool modal_ = false;
};

}  // namespace app::ui
