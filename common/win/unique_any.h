// Move-only owners of Win32 and COM resources, one alias per kind of handle.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace hg::win {

// Traits: `type`, `Invalid()` and `Close(type)`. Copying is deleted so that one
// handle is never closed twice.
template <typename Traits>
class unique_any {
 public:
  using pointer = typename Traits::type;

  unique_any() noexcept = default;
  explicit unique_any(pointer value) noexcept : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  pointer get() const noexcept { return value_; }
  pointer release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  void reset(pointer value = Traits::Invalid()) noexcept {
    const pointer old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For out-parameters: frees what is held and hands out the slot.
  pointer* put() noexcept {
    reset();
    return &value_;
  }
  explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

 private:
  pointer value_ = Traits::Invalid();
};

template <typename T, auto CloseFn>
struct NullTraits {
  using type = T;
  static constexpr T Invalid() noexcept { return T{}; }
  static void Close(T value) noexcept { CloseFn(value); }
};

struct FileHandleTraits {
  using type = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE value) noexcept { ::CloseHandle(value); }
};

struct FindHandleTraits {
  using type = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE value) noexcept { ::FindClose(value); }
};

inline void CloseKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }

using unique_handle = unique_any<NullTraits<HANDLE, ::CloseHandle>>;
using unique_file_handle = unique_any<FileHandleTraits>;
using unique_find_handle = unique_any<FindHandleTraits>;
using unique_hkey = unique_any<NullTraits<HKEY, CloseKey>>;
using unique_hmodule = unique_any<NullTraits<HMODULE, ::FreeLibrary>>;
using unique_hicon = unique_any<NullTraits<HICON, ::DestroyIcon>>;
using unique_hmenu = unique_any<NullTraits<HMENU, ::DestroyMenu>>;
using unique_hfont = unique_any<NullTraits<HFONT, DeleteGdiObject>>;
using unique_hwnd = unique_any<NullTraits<HWND, ::DestroyWindow>>;
using unique_bstr = unique_any<NullTraits<BSTR, ::SysFreeString>>;
using unique_safearray = unique_any<NullTraits<SAFEARRAY*, ::SafeArrayDestroy>>;
using unique_cotaskmem_string = unique_any<NullTraits<wchar_t*, ::CoTaskMemFree>>;

}  // namespace hg::win
