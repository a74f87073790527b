// ucBlockSite without its window: the unblocked and the blocked list, how
// they load from and save to their stores, and every command on them. The
// page copies between its list views and this model.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/site_changes.h"
#include "app/lists/site_list.h"
#include "app/lists/site_stores.h"
#include "app/resource.h"

namespace app::lists {

// String ids of the texts the commands show.
enum ListText : int {
  kTypeSitePrompt = IDS_TYPE_SITE_PROMPT,
  kExampleSite = IDS_EXAMPLE_SITE,
  kExampleSiteQuestion = IDS_EXAMPLE_SITE_QUESTION,
  kConfirmDeleteUnblocked = IDS_CONFIRM_DELETE_UNBLOCKED,
  kConfirmDeleteBlocked = IDS_CONFIRM_DELETE_BLOCKED,
};

// The type name the page's log entries carry.
inline constexpr char kTypeName[] = "ucBlockSite";

class SiteLists {
 public:
  // `redraw` shows the lists as they are now (RefreshListviews).
  SiteLists(SiteStores& stores, std::function<void()> redraw = {});

  SiteList& unblocked() noexcept { return unblocked_; }
  SiteList& blocked() noexcept { return blocked_; }

  // Loading and saving; each handles its own failures:
  // RefreshList, CheckDuplicatesAndAddBlocked and UpdateUnblockedFile log
  // them, UpdateBlockedFile logs, reloads both lists and raises. A save
  // makes the changes of the commands since the last load or save to its
  // store as it is now: what another program wrote there stays, and the
  // list then shows it.
  void RefreshList();
  // RefreshList for a change another program made: the names selected and
  // current stay so where they remain.
  void Reload();
  void RefreshListviews();
  void CheckDuplicatesAndAddBlocked(const std::string& sitename);
  void UpdateUnblockedFile();
  void UpdateBlockedFile();

  // The commands, each under its handler's failure path. The moving
  // commands return true when they moved something, whether or not the
  // saves then failed: the list they moved from takes the focus.
  void AddBlocked();             // cmdAddBlocked_Click
  bool Block();                  // cmdBlock_Click
  bool Unblock();                // cmdUnblock_Click
  void RemoveUnblocked();        // cmdRemoveUnblocked_Click
  void DeleteBlocked();          // mnuDeleteBlocked_Click

  // The bulk block of the main window: each site through
  // CheckDuplicatesAndAddBlocked, then the redraw and both saves. Failures
  // pass to the caller, which reports them.
  void BlockSites(const std::vector<std::string>& sites);

 private:
  // Both lists from their stores, the first item of each selected.
  void Load();
  void Move(SiteList& from, SiteList& to, bool toBlocked, bool& moved);
  std::vector<std::uint64_t> SelectedIds(const SiteList& list, std::vector<std::string>& names) const;
  bool Confirm(int textId, const std::vector<std::string>& names);

  // Fills `list` with `names`, keeping which names are selected and current.
  static void Refill(SiteList& list, const std::vector<std::string>& names);

  SiteStores& stores_;
  std::function<void()> redraw_;
  SiteList unblocked_;
  SiteList blocked_;
  // What the commands changed since each list was last loaded or saved.
  engine::SiteChanges unblockedChanges_;
  engine::SiteChanges blockedChanges_;
  // The ListHash of the registry's names as last read or written; nothing
  // before the first read.
  std::optional<std::uint64_t> unblockedSeen_;
};

}  // namespace app::lists
