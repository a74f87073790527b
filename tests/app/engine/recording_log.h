// A failure log that keeps every entry and message boxes that record what
// they showed, for tests of the failure convention.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/failure.h"
#include "app/engine/user_dialogs.h"

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

class RecordingDialogs final : public UserDialogs {
 public:
  int ShowMessageBox(const std::string& prompt, int style, const std::string& title) override {
    shown.push_back(prompt + "|" + std::to_string(style) + "|" + title);
    return kResultOk;
  }
  std::optional<std::string> ShowInputBox(const std::string&, const std::string&,
                                          const std::string&, std::optional<int>,
                                          std::optional<int>) override {
    return std::nullopt;
  }
  std::vector<std::string> shown;
};

// Installs both for each test.
class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousLog_ = SetFailureLog(&log);
    previousDialogs_ = SetUserDialogs(&dialogs);
    SetProductName("Hedgerow");
  }
  void TearDown() override {
    SetFailureLog(previousLog_);
    SetUserDialogs(previousDialogs_);
  }

  RecordingLog log;
  RecordingDialogs dialogs;

 private:
  FailureLog* previousLog_ = nullptr;
  UserDialogs* previousDialogs_ = nullptr;
};

}  // namespace app::test
