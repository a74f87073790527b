// The log writer's line: five tab-separated fields ended by CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tk {

// The label a severity prints; empty for a value outside the enumeration.
std::string_view SeverityLabel(std::int32_t severity) noexcept;

// Empty for 0; otherwise upper-case hexadecimal without leading zeros, a
// negative number as its 32-bit two's complement.
std::string ErrorNumberText(std::int32_t number);

// The main log keeps descriptions over 1024 characters (UTF-16 units) as their
// first 500, eleven full stops and their last 500.
std::string MainLogDescription(std::string_view description);

// Time stamp, severity label, error number, description and source, each
// written verbatim.
std::string FormatLogLine(std::string_view timeStamp, std::int32_t severity,
                          std::int32_t errNumber, std::string_view description,
                          std::string_view source);

}  // namespace tk
