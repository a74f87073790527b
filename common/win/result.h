// HRESULT and last-error checks: the returning macros for COM entry points and
// the throwing ones for code that runs inside a failure trap.
#pragma once

#include <windows.h>

#include <string>
#include <system_error>

namespace hg::win {

// HRESULTs as error codes; message() is the system's text on one line (UTF-8).
const std::error_category& HResultCategory() noexcept;

// A failure with its HRESULT and a UTF-8 description (empty: the system's
// text). As a std::system_error, code without Windows headers reads both: the
// HRESULT as code().value(), the description or the system's text as what().
class HResultError : public std::system_error {
 public:
  HResultError(HRESULT hr, std::string description)
      : std::system_error(static_cast<int>(hr), HResultCategory()),
        description_(std::move(description)) {}
  HRESULT hr() const noexcept { return static_cast<HRESULT>(code().value()); }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override {
    return description_.empty() ? std::system_error::what() : description_.c_str();
  }

 private:
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
