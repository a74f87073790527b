// HRESULT and last-error checks: the returning macros for COM entry points and
// the throwing ones for code that runs inside a failure trap.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace hg::win {

// A failure with its HRESULT and a UTF-8 description (empty: the system's text).
class HResultError : public std::runtime_error {
 public:
  HResultError(HRESULT hr, std::string description)
      : std::runtime_error(description), hr_(hr), description_(std::move(description)) {}
  HRESULT hr() const noexcept { return hr_; }
  const std::string& description() const noexcept { return description_; }

 private:
  HRESULT hr_;
  std::string description_;
};

[[noreturn]] void ThrowHResult(HRESULT hr, std::string description = {});
[[noreturn]] void ThrowLastError();

inline HRESULT HResultFromLastError() {
  const DWORD error = ::GetLastError();
  return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace hg::win

#define RETURN_IF_FAILED(expr)                \
  do {                                        \
    const HRESULT hg_hr_ = (expr);            \
    if (FAILED(hg_hr_)) return hg_hr_;        \
  } while (0)

#define RETURN_IF_WIN32_BOOL_FALSE(expr)                                  \
  do {                                                                    \
    if (!(expr)) return ::hg::win::HResultFromLastError();                \
  } while (0)

#define RETURN_LAST_ERROR_IF(cond)                                        \
  do {                                                                    \
    if (cond) return ::hg::win::HResultFromLastError();                   \
  } while (0)

#define RETURN_IF_WIN32_ERROR(expr)                                       \
  do {                                                                    \
    const LSTATUS hg_status_ = (expr);                                    \
    if (hg_status_ != ERROR_SUCCESS) return HRESULT_FROM_WIN32(hg_status_); \
  } while (0)

#define THROW_IF_FAILED(expr)                           \
  do {                                                  \
    const HRESULT hg_hr_ = (expr);                      \
    if (FAILED(hg_hr_)) ::hg::win::ThrowHResult(hg_hr_); \
  } while (0)

#define THROW_LAST_ERROR_IF(cond)                       \
  do {                                                  \
    if (cond) ::hg::win::ThrowLastError();              \
  } while (0)

#define THROW_IF_WIN32_BOOL_FALSE(expr) THROW_LAST_ERROR_IF(!(expr))

#define THROW_IF_WIN32_ERROR(expr)                                             \
  do {                                                                         \
    const LSTATUS hg_status_ = (expr);                                         \
    if (hg_status_ != ERROR_SUCCESS) ::hg::win::ThrowHResult(HRESULT_FROM_WIN32(hg_status_)); \
  } while (0)
