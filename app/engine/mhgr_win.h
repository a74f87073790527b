// The hosts-file engine on Windows: reading the blocked sites out of the
// hosts file and making it block exactly a given list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "tkShared.h"

namespace app::engine {

// The hosts file of the run. Start-up sets it once; tests point it at a file
// of their own.
void SetHostsFilePath(std::wstring path);
const std::wstring& HostsFilePath();

// The file operations ApplyBlocked and ReadBlockedSites rely on, one call per
// step, so that tests can make any step fail. Every one throws on failure.
class HostsFileSystem {
 public:
  virtual ~HostsFileSystem() = default;
  virtual std::string Read(const std::wstring& path) = 0;
  virtual DWORD Attributes(const std::wstring& path) = 0;
  virtual void SetAttributes(const std::wstring& path, DWORD attributes) = 0;
  // Creates a new empty file with a unique name in `folder` and returns its path.
  virtual std::wstring CreateTemporary(const std::wstring& folder) = 0;
  virtual void Write(const std::wstring& path, const std::string& bytes) = 0;
  virtual void CopySecurity(const std::wstring& from, const std::wstring& to) = 0;
  // Puts `from` in the place of `to` in one step.
  virtual void Replace(const std::wstring& from, const std::wstring& to) = 0;
  virtual void Remove(const std::wstring& path) = 0;
};

// The system's file operations.
HostsFileSystem& SystemFileSystem();

// Installs the file operations every later call uses (not owned); null
// restores the system's. Returns the previous ones.
HostsFileSystem* SetHostsFileSystem(HostsFileSystem* fileSystem) noexcept;

// The blocked sites of the hosts file in the order of their first
// occurrence, each keyed "_" + its lowercase name. A missing file fails.
hg::win::com_ptr<_CCollection> ReadBlockedSites();

// Rewrites the hosts file to block exactly `sites` (UTF-8), keeping every
// other line byte for byte. The file is replaced as a whole or not at all.
// On failure logs "Cannot apply to '<path>'. " and the failure with source
// "MHGR.ApplyBlocked", then raises the failure unchanged.
void ApplyBlocked(const std::vector<std::string>& sites);

}  // namespace app::engine
