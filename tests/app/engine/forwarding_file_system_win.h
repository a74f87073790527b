// The system's file operations for the hosts file, each passed on through a
// member a test overrides to make that step fail or wait.
#pragma once

#include <string>

#include "app/engine/mhgr_win.h"

namespace app::test {

class ForwardingFileSystem : public HostsFileSystem {
 public:
  std::string Read(const std::string& path) override { return system_.Read(path); }
  std::uint32_t Attributes(const std::string& path) override { return system_.Attributes(path); }
  FileStamp Stamp(const std::string& path) override { return system_.Stamp(path); }
  void SetAttributes(const std::string& path, std::uint32_t attributes) override {
    system_.SetAttributes(path, attributes);
  }
  std::string CreateTemporary(const std::string& folder) override { return system_.CreateTemporary(folder); }
  void Write(const std::string& path, const std::string& bytes) override { system_.Write(path, bytes); }
  void CopySecurity(const std::string& from, const std::string& to) override { system_.CopySecurity(from, to); }
  void Replace(const std::string& from, const std::string& to) override { system_.Replace(from, to); }
  void Remove(const std::string& path) override { system_.Remove(path); }

 protected:
  HostsFileSystem& system_ = engine::SystemFileSystem();
};

}  // namespace app::test
