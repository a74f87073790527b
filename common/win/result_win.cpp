// The throwing side of the error macros.
#include "common/win/result.h"

#include "common/win/text_win.h"

namespace hg::win {
namespace {

class HResultErrorCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "HRESULT"; }

  std::string message(int code) const override {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
      text.pop_back();
    }
    return Narrow(text);
  }
};

}  // namespace

const std::error_category& HResultCategory() noexcept {
  static const HResultErrorCategory category;
  return category;
}

void ThrowHResult(HRESULT hr, std::string description) {
  throw HResultError(hr, std::move(description));
}

void ThrowLastError() { ThrowHResult(HResultFromLastError()); }

}  // namespace hg::win
