// FMain: the program's main window.
#pragma once

#include <windows.h>

#include <string>

namespace app::shell {

// One top-level window; `this` travels in WM_NCCREATE and messages go to
// HandleMessage.
class MainWindow final {
 public:
  explicit MainWindow(HINSTANCE instance) noexcept : instance_(instance) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  // Registers the class and creates the window (hidden); throws HResultError.
  void Create();
  HWND handle() const noexcept { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDestroy();

  HINSTANCE instance_;
  HWND window_ = nullptr;
};

}  // namespace app::shell
