// The throwing side of the error macros.
#include "common/win/result.h"

namespace hg::win {

void ThrowHResult(HRESULT hr, std::string description) {
  throw HResultError(hr, std::move(description));
}

void ThrowLastError() { ThrowHResult(HResultFromLastError()); }

}  // namespace hg::win
