// The file operations the hosts-file engine relies on, one call per step, so
// that tests can make any step fail. Paths are UTF-8; every call throws on
// failure.
#pragma once

#include <cstdint>
#include <string>

namespace app::engine {

// File attributes, numbered as the system numbers them.
enum FileAttribute : std::uint32_t {
  kAttributeReadOnly = 0x1,
  kAttributeArchive = 0x20,
  kAttributeNormal = 0x80,
};

// A file's size and last-write time: one attribute read tells whether it
// changed since they were taken.
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;
  bool operator==(const FileStamp&) const = default;
};

// The hosts file as the program last read or wrote it: its stamp and the
// ListHash of the sites it blocked.
struct HostsSnapshot {
  FileStamp stamp;
  std::uint64_t blockedHash = 0;
};

class HostsFileSystem {
 public:
  virtual ~HostsFileSystem() = default;
  virtual std::string Read(const std::string& path) = 0;
  virtual std::uint32_t Attributes(const std::string& path) = 0;
  virtual FileStamp Stamp(const std::string& path) = 0;
  virtual void SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Creates a new empty file with a unique name in `folder` and returns its path.
  virtual std::string CreateTemporary(const std::string& folder) = 0;
  virtual void Write(const std::string& path, const std::string& bytes) = 0;
  virtual void CopySecurity(const std::string& from, const std::string& to) = 0;
  // Puts `from` in the place of `to` in one step.
  virtual void Replace(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

}  // namespace app::engine
