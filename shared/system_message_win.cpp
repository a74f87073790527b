// The system's message text for an error code.
#include <windows.h>

#include "common/win/result.h"
#include "common/win/text_win.h"
#include "shared/com/startup_win.h"
#include "shared/system_message.h"

namespace tk {

std::string SystemMessageText(unsigned long code) {
  wchar_t buffer[1000];
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  return length == 0 ? std::string() : CleanSystemMessage(hg::win::Narrow(std::wstring_view(buffer, length)));
}

std::string ErrorText(unsigned long code) {
  return ErrorTextOf(code, StartLibrary().isVista, code != 0 ? SystemMessageText(code) : "");
}

std::string DescriptionOf(const std::exception& failure) {
  if (const auto* error = dynamic_cast<const hg::win::HResultError*>(&failure)) {
    if (error->description().empty()) return SystemMessageText(static_cast<DWORD>(error->hr()));
  }
  return failure.what();
}

}  // namespace tk
