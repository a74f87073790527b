// The hosts-file engine: reading the blocked sites out of the hosts file and
// making it block exactly a given list. Both work on the hosts file and the
// file system of the installed services.
#pragma once

#include <string>
#include <vector>

#include "app/engine/hosts_file_system.h"

namespace app::engine {

// The system's file operations.
HostsFileSystem& SystemFileSystem();

// The blocked sites of the hosts file (UTF-8) in the order of their first
// occurrence, each once by its lowercase name. A missing file fails.
std::vector<std::string> ReadBlockedSites();

// Throws the failure ApplyBlocked would give for the first name it can never
// write: one with a control character, one its entry would not give back,
// one the hosts file's code page cannot hold.
void RequireBlockable(const std::vector<std::string>& sites);

// Rewrites the hosts file to block exactly `sites` (UTF-8), keeping every
// other line byte for byte. The file is replaced as a whole or not at all.
// On failure logs "Cannot apply to '<path>'. " and the failure with source
// "MHGR.ApplyBlocked", then raises the failure unchanged.
void ApplyBlocked(const std::vector<std::string>& sites);

}  // namespace app::engine
