// A failure log that keeps every entry, for tests of the failure convention.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/engine/failure.h"

namespace app::test {

struct LogEntry {
  std::int32_t number;
  std::string description;
  Severity severity;
  std::string source;
};

class RecordingLog final : public FailureLog {
 public:
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override {
    entries.push_back({number, description, severity, source});
  }
  std::vector<LogEntry> entries;
};

}  // namespace app::test
