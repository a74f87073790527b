// A store in memory beside the recording log and message boxes, for the
// tests of the protection's logic.
#pragma once

#include <string>

#include "app/protection/settings_store.h"
#include "tests/app/engine/recording_log.h"

namespace app::protection::test {

class MemoryText final : public SettingsText {
 public:
  std::string Read() override {
    if (failReads) throw Failure(5, "Access is denied.");
    return text;
  }
  void Write(const std::string& written) override {
    if (failWrites) throw Failure(5, "Access is denied.");
    text = written;
  }
  std::string text;
  bool failReads = false;
  bool failWrites = false;
};

class ProtectionTest : public app::test::RecordingTest {
 protected:
  MemoryText text;
  CRData store{text};
};

}  // namespace app::protection::test
