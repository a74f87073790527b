// A failure log that keeps every entry and dialogs that record what they
// showed, for tests of the failure convention and of the program's commands.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/engine/failure.h"
#include "app/engine/services.h"
#include "app/engine/user_dialogs.h"

namespace app::test {

struct LogEntry {
  std::int32_t number;
  std::string description;
  Severity severity;
  std::string source;
  bool operator==(const LogEntry&) const = default;
};

// So that a failed comparison shows the entries.
inline void PrintTo(const LogEntry& entry, std::ostream* out) {
  *out << entry.number << "|" << entry.description << "|" << static_cast<int>(entry.severity) << "|" << entry.source;
}

class RecordingLog final : public FailureLog {
 public:
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override {
    entries.push_back({number, description, severity, source});
  }
  std::vector<LogEntry> entries;
};

// Dialogs that record what they show and answer from a script: each box
// takes the next answer; with none left a message box gets OK and an input
// box is cancelled.
class RecordingDialogs final : public UserDialogs {
 public:
  std::deque<int> buttons;
  std::deque<std::optional<std::string>> inputs;
  // "prompt|style|title" per message box, "prompt|title|default" per input box.
  std::vector<std::string> shown;

  int ShowMessageBox(const std::string& prompt, int style, const std::string& title) override {
    shown.push_back(prompt + "|" + std::to_string(style) + "|" + title);
    if (buttons.empty()) return kResultOk;
    const int button = buttons.front();
    buttons.pop_front();
    return button;
  }
  std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                          const std::string& defaultText, std::optional<int>,
                                          std::optional<int>) override {
    shown.push_back(prompt + "|" + title + "|" + defaultText);
    if (inputs.empty()) return std::nullopt;
    auto input = std::move(inputs.front());
    inputs.pop_front();
    return input;
  }
  // Every open-file dialog answers `chosenFile`; `openFile` is the last one asked for.
  std::optional<std::string> chosenFile;
  OpenFileRequest openFile;
  std::optional<std::string> ShowOpenFile(const OpenFileRequest& request) override {
    openFile = request;
    return chosenFile;
  }
};

// Installs both, in the program's services, for each test.
class RecordingTest : public ::testing::Test {
 protected:
  RecordingLog log;
  RecordingDialogs dialogs;
  Services services{.log = &log, .dialogs = &dialogs, .productName = "Hedgerow"};
  ScopedServices installed{services};
};

}  // namespace app::test
