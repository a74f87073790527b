// CreateThread: hands a value back in its NewThread event about 100 ms later,
// on the caller's thread, from the one-shot timer of a hidden window.
#include "shared/launcher/launcher_win.h"

#include <memory>
#include <span>
#include <utility>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/unique_any.h"
#include "shared/com/connection_point_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/com/module_win.h"
#include "tkShared.h"

namespace tk {

using hg::win::Variant;

namespace {

constexpr wchar_t kWindowClass[] = L"tkSharedDeferredCall";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kDelayMilliseconds = 100;
constexpr DISPID kNewThreadId = 1;

// One pending call: a message-only window (never shown) that holds the value
// until the first tick of its timer.
class PendingCall {
 public:
  class Listener {
   public:
    // Called once, from the window's own procedure; may destroy the call.
    virtual void OnDue(Variant value) noexcept = 0;

   protected:
    ~Listener() = default;
  };

  PendingCall(Listener& listener, Variant value) : listener_(listener), value_(std::move(value)) {
    RegisterWindowClass();
    window_.reset(::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ModuleHandle(), this));
    THROW_LAST_ERROR_IF(!window_);
    THROW_LAST_ERROR_IF(::SetTimer(window_.get(), kTimerId, kDelayMilliseconds, nullptr) == 0);
  }
  PendingCall(const PendingCall&) = delete;
  PendingCall& operator=(const PendingCall&) = delete;

 private:
  static void RegisterWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ModuleHandle();
    windowClass.lpszClassName = kWindowClass;
    THROW_LAST_ERROR_IF(!::RegisterClassExW(&windowClass) &&
                        ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS);
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* call = reinterpret_cast<PendingCall*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (call && message == WM_TIMER && wParam == kTimerId) {
      call->OnTimer();
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  void OnTimer() {
    ::KillTimer(window_.get(), kTimerId);  // one tick only
    // The window lets go of the value (an object it was given) before delivery.
    Variant value = std::move(value_);
    listener_.OnDue(std::move(value));  // may destroy this call: touch nothing after it
  }

  Listener& listener_;
  Variant value_;
  hg::win::unique_hwnd window_;  // last: destroyed (with its timer) first
};

class Launcher final : public DispatchObject<Launcher, _CreateThread,
                                             EventSourceOf<DIID___CreateThread>, IProvideClassInfo2>,
                       private PendingCall::Listener {
 public:
  static constexpr wchar_t kClassName[] = L"CreateThread";

  // IProvideClassInfo2: how script hosts find the events to connect to.
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    hg::win::com_ptr<ITypeLib> library;
    RETURN_IF_FAILED(GetTypeLibrary(library.put()));
    return library->GetTypeInfoOfGuid(CLSID_CreateThread, info);
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
    if (!guid) return E_POINTER;
    *guid = GUID_NULL;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID___CreateThread;
    return S_OK;
  }

  STDMETHODIMP StartNewThread(VARIANT data) override {
    return Trap([&] {
      // A call still pending is superseded and cancelled: its window goes with it.
      PendingCall::Listener& listener = *this;
      auto next = std::make_unique<PendingCall>(listener, Variant::CopyOf(data));
      pending_ = std::move(next);
    });
  }

 private:
  void* QueryOther(REFIID iid) noexcept override {
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
      return static_cast<IProvideClassInfo2*>(this);
    }
    return nullptr;
  }

  void OnDue(Variant value) noexcept override {
    // A listener may release the last reference to this launcher.
    hg::win::com_ptr<_CreateThread> alive(this);
    pending_.reset();  // unloads the hidden window
    VARIANT argument = value.get();  // borrowed: value keeps ownership
    // A listener's failure has no caller to reach: the tick comes from the message loop.
    (void)Events().Fire(kNewThreadId, std::span<VARIANT>(&argument, 1));
  }

  std::unique_ptr<PendingCall> pending_;
};

}  // namespace

HRESULT CreateLauncher(REFIID iid, void** object) noexcept {
  return CreateInstance<Launcher>(iid, object);
}

}  // namespace tk
