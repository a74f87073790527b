// The log writer's line: five tab-separated fields ended by CR LF.
#include "shared/log/log_line.h"

#include <array>

#include "common/text/utf.h"

namespace tk {

std::string_view SeverityLabel(std::int32_t severity) noexcept {
  static constexpr std::array<std::string_view, 6> kLabels = {
      "Error", "Warning", "Informational", "Summary", "InternalError", "Trace"};
  if (severity < 0 || severity >= static_cast<std::int32_t>(kLabels.size())) return {};
  return kLabels[static_cast<std::size_t>(severity)];
}

std::string ErrorNumberText(std::int32_t number) {
  if (number == 0) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  auto bits = static_cast<std::uint32_t>(number);
  std::string text;
  while (bits != 0) {
    text.insert(text.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  }
  return text;
}

std::string MainLogDescription(std::string_view description) {
  constexpr std::size_t kLimit = 1024;
  constexpr std::size_t kKept = 500;
  // Cheap test first: a UTF-8 text never has more UTF-16 units than bytes.
  if (description.size() <= kLimit) return std::string(description);
  const std::u16string wide = hg::text::Utf8ToUtf16(description);
  if (wide.size() <= kLimit) return std::string(description);
  return hg::text::Utf16ToUtf8(wide.substr(0, kKept)) + "..........." +
         hg::text::Utf16ToUtf8(wide.substr(wide.size() - kKept));
}

std::string FormatLogLine(std::string_view timeStamp, std::int32_t severity,
                          std::int32_t errNumber, std::string_view description,
                          std::string_view source) {
  std::string line;
  line.reserve(timeStamp.size() + description.size() + source.size() + 32);
  line.append(timeStamp).append("\t");
  line.append(SeverityLabel(severity)).append("\t");
  line.append(ErrorNumberText(errNumber)).append("\t");
  line.append(description).append("\t");
  line.append(source).append("\r\n");
  return line;
}

}  // namespace tk
