// The hosts-file engine: reading the blocked sites out of the hosts file and
// making it block exactly a given list. Both work on the hosts file and the
// file system of the installed services.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/engine/hosts_file_system.h"
#include "app/engine/site_changes.h"

namespace app::engine {

// The system's file operations.
HostsFileSystem& SystemFileSystem();

// The blocked sites of the hosts file (UTF-8) in the order of their first
// occurrence, each once by its lowercase name. A missing file fails. `seen`,
// when given, becomes the file as read, or nothing when it could not be.
std::vector<std::string> ReadBlockedSites(std::optional<HostsSnapshot>* seen = nullptr);

// The hosts file's stamp now.
FileStamp HostsFileStamp();

// Throws the failure ApplyBlocked would give for the first name it can never
// write: one with a control character, one its entry would not give back,
// one the hosts file's code page cannot hold.
void RequireBlockable(const std::vector<std::string>& sites);

// Rewrites the hosts file to block exactly `sites` (UTF-8), keeping every
// other line byte for byte. The file is replaced as a whole or not at all.
// On failure logs "Cannot apply to '<path>'. " and the failure with source
// "MHGR.ApplyBlocked", then raises the failure unchanged.
void ApplyBlocked(const std::vector<std::string>& sites);

// ApplyBlocked for a command that made `changes` to the list as last read or
// written (`seen`; nothing: not known). When the file's block entries are no
// longer as `seen` says, the changes are made to the file's current entries
// instead, so that every entry another program wrote stays, and the sites
// the file then blocks are returned; otherwise it blocks exactly `sites` and
// returns nothing. `seen` becomes the file as written.
std::optional<std::vector<std::string>> ApplyBlockedChanges(const std::vector<std::string>& sites,
                                                            const SiteChanges& changes,
                                                            std::optional<HostsSnapshot>& seen);

}  // namespace app::engine
