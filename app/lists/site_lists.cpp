// ucBlockSite without its window.
#include "app/lists/site_lists.h"

#include <unordered_set>

#include "app/engine/failure.h"
#include "app/engine/user_dialogs.h"
#include "app/lists/site_names.h"

namespace app::lists {
namespace {

std::string Source(const char* procedure) { return std::string(kTypeName) + "." + procedure; }

template <typename Body>
void Swallowing(const char* procedure, Body&& body) {
  Trapped(body, [&](const Failure& failure) { SwallowFailure(failure, Source(procedure)); });
}

std::string TrimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// After the selected items went: the item at the old current position (from
// 1), the first when there was none, the last when the list got shorter.
void Reselect(SiteList& list, std::size_t currentPosition) {
  list.ClearSelection();
  if (list.empty()) return;
  if (currentPosition < 1) {
    list.SelectOnly(0);
  } else if (currentPosition <= list.size()) {
    list.SelectOnly(currentPosition - 1);
  } else {
    list.SelectOnly(list.size() - 1);
  }
}

// The names selected and the current one, to select again after a reload.
struct Picked {
  std::vector<std::string> selected;
  std::optional<std::string> current;
};

Picked PickedIn(const SiteList& list) {
  Picked picked;
  for (const std::size_t position : list.SelectedPositions()) {
    picked.selected.push_back(list.Name(position));
  }
  if (const auto current = list.current()) picked.current = list.Name(*current);
  return picked;
}

// Selects the picked names that remain; false when none does.
bool PickAgain(SiteList& list, const Picked& picked) {
  std::vector<std::size_t> positions;
  for (const std::string& name : picked.selected) {
    if (const auto position = list.Position(name)) positions.push_back(*position);
  }
  if (positions.empty()) return false;
  list.ClearSelection();
  for (const std::size_t position : positions) list.Select(position, true);
  const auto current = picked.current ? list.Position(*picked.current) : std::nullopt;
  list.SetCurrent(current ? *current : positions.front());
  return true;
}

std::vector<std::string> Trimmed(const std::vector<std::string>& names) {
  std::vector<std::string> trimmed;
  trimmed.reserve(names.size());
  for (const std::string& name : names) trimmed.push_back(TrimBlanks(name));
  return trimmed;
}

}  // namespace

SiteLists::SiteLists(SiteStores& stores, std::function<void()> redraw)
    : stores_(stores), redraw_(std::move(redraw)) {}

void SiteLists::RefreshList() {
  Load();
  RefreshListviews();
}

void SiteLists::Reload() {
  const Picked unblocked = PickedIn(unblocked_), blocked = PickedIn(blocked_);
  Load();
  PickAgain(unblocked_, unblocked);
  PickAgain(blocked_, blocked);
  RefreshListviews();
}

void SiteLists::Refill(SiteList& list, const std::vector<std::string>& names) {
  const Picked picked = PickedIn(list);
  list.Clear();
  list.Reserve(names.size());
  for (const std::string& name : names) list.Add(name);
  if (!PickAgain(list, picked) && !list.empty()) list.SelectOnly(0);
}

void SiteLists::Load() {
  Swallowing("RefreshList", [&] {
    blocked_.Clear();
    blockedChanges_.Clear();
    std::vector<std::string> sites = stores_.ReadBlocked();
    blocked_.Reserve(sites.size());
    for (std::string& site : sites) blocked_.Add(std::move(site));
    if (!blocked_.empty()) blocked_.SelectOnly(0);
    unblocked_.Clear();
    unblockedChanges_.Clear();
    unblockedSeen_.reset();
    const std::vector<std::string> stored = stores_.ReadUnblocked();
    unblockedSeen_ = engine::ListHash(stored);
    for (const std::string& name : stored) {
      std::string site = TrimBlanks(name);
      if (!blocked_.Contains(site)) unblocked_.Add(std::move(site));
    }
    if (!unblocked_.empty()) unblocked_.SelectOnly(0);
  });
}

void SiteLists::RefreshListviews() {
  if (redraw_) redraw_();
}

void SiteLists::CheckDuplicatesAndAddBlocked(const std::string& sitename) {
  Swallowing("CheckDuplicatesAndAddBlocked", [&] {
    const std::string site = NormalizeSiteName(sitename);
    if (site.empty() || blocked_.Contains(site)) return;
    blocked_.Add(site);
    blockedChanges_.Add(site);
    unblocked_.RemoveName(site);
    unblockedChanges_.Remove(site);
  });
}

void SiteLists::UpdateUnblockedFile() {
  Swallowing("UpdateUnblockedFile", [&] {
    // The list is never missing from the registry: every name is written
    // before the values no longer in it go, and the key goes only when the
    // list is empty.
    const std::vector<std::string> stored = stores_.ReadUnblocked();
    if (engine::ListHash(stored) != unblockedSeen_) {
      // Another program (another copy of this one) changed the list: this
      // list's changes go to the list as it is now.
      std::vector<std::string> merged;
      for (std::string& name : unblockedChanges_.AppliedTo(Trimmed(stored))) {
        if (!blocked_.Contains(name)) merged.push_back(std::move(name));
      }
      Refill(unblocked_, merged);
    }
    const std::vector<std::string>& names = unblocked_.Names();
    std::unordered_set<std::string> exact(names.begin(), names.end());
    std::unordered_set<std::string> keys;
    for (const std::string& name : names) keys.insert(SiteKey(name));
    // Value names ignore letter case: a name stored in another case goes
    // first, so that the list's own case is what is written.
    for (const std::string& name : stored) {
      if (!exact.count(name) && keys.count(SiteKey(name))) stores_.DeleteUnblocked(name);
    }
    for (const std::string& name : names) stores_.SetUnblocked(name);
    for (const std::string& name : stored) {
      if (!keys.count(SiteKey(name))) stores_.DeleteUnblocked(name);
    }
    if (names.empty()) stores_.DeleteUnblockedKey();
    unblockedChanges_.Clear();
    unblockedSeen_ = engine::ListHash(names);
  });
}

void SiteLists::UpdateBlockedFile() {
  try {
    if (const auto merged = stores_.ApplyBlockedChanges(blocked_.Names(), blockedChanges_)) {
      Refill(blocked_, *merged);
      // As a load shows them: a site another program blocked is not also unblocked.
      std::vector<std::string> blockedToo;
      for (const std::string& site : unblocked_.Names()) {
        if (blocked_.Contains(site)) blockedToo.push_back(site);
      }
      for (const std::string& site : blockedToo) unblocked_.RemoveName(site);
    }
    blockedChanges_.Clear();
  } catch (...) {
    const Failure failure = FailureOf(std::current_exception());
    RepairAndRaise(failure, Source("UpdateBlockedFile"), kCannotApplyBlocking,
                   stores_.Text(kCannotApplyBlocking), [&] { RefreshList(); });
  }
}

void SiteLists::AddBlocked() {
  Trapped(
      [&] {
        const std::string example = stores_.Text(kExampleSite);
        const std::string site =
            NormalizeSiteName(AppInputBox(stores_.Text(kTypeSitePrompt), "", example));
        if (site.empty()) return;
        if (SiteKey(site) == SiteKey(example) &&
            AppMsgBox(stores_.Text(kExampleSiteQuestion), kOkCancel + kIconExclamation, "") !=
                kResultOk) {
          return;
        }
        CheckDuplicatesAndAddBlocked(site);
        RefreshListviews();
        UpdateBlockedFile();
        UpdateUnblockedFile();
      },
      [&](const Failure& failure) {
        ReportFailure(failure, Source("cmdAddBlocked_Click"), stores_.Text(kCannotAddSite),
                      kIconInformation);
      });
}

bool SiteLists::Block() {
  bool moved = false;
  Trapped([&] { Move(unblocked_, blocked_, true, moved); },
          [&](const Failure& failure) {
            ReportFailure(failure, Source("cmdBlock_Click"), stores_.Text(kCannotBlockSites),
                          kIconExclamation);
          });
  return moved;
}

bool SiteLists::Unblock() {
  bool moved = false;
  Trapped([&] { Move(blocked_, unblocked_, false, moved); },
          [&](const Failure& failure) {
            ReportFailure(failure, Source("cmdUnblock_Click"), stores_.Text(kCannotUnblockSites),
                          kIconExclamation);
          });
  return moved;
}

void SiteLists::Move(SiteList& from, SiteList& to, bool toBlocked, bool& moved) {
  const std::optional<std::size_t> current = from.current();
  const std::size_t currentPosition = current ? *current + 1 : 0;
  std::vector<std::string> names;
  const std::vector<std::uint64_t> ids = SelectedIds(from, names);
  if (ids.empty()) return;
  // A name the hosts file can never hold stays where it is: once the
  // unblocked list is saved without it, nothing would hold it any more.
  if (toBlocked) stores_.RequireBlockable(names);
  engine::SiteChanges& added = toBlocked ? blockedChanges_ : unblockedChanges_;
  engine::SiteChanges& removed = toBlocked ? unblockedChanges_ : blockedChanges_;
  for (const std::string& name : names) {
    added.Add(name);
    removed.Remove(name);
    to.Add(name);
  }
  from.Remove(ids);
  Reselect(from, currentPosition);
  moved = true;
  RefreshListviews();
  UpdateUnblockedFile();
  try {
    UpdateBlockedFile();
  } catch (...) {
    if (toBlocked) {
      // The registry was saved without the sites and the hosts file did not
      // take them: they go back to the registry rather than be lost.
      for (const std::string& name : names) stores_.SetUnblocked(name);
      RefreshList();
    }
    throw;
  }
}

void SiteLists::RemoveUnblocked() {
  Swallowing("cmdRemoveUnblocked_Click", [&] {
    std::vector<std::string> names;
    const std::vector<std::uint64_t> ids = SelectedIds(unblocked_, names);
    if (ids.empty() || !Confirm(kConfirmDeleteUnblocked, names)) return;
    for (const std::string& name : names) unblockedChanges_.Remove(name);
    unblocked_.Remove(ids);
    RefreshListviews();
    UpdateUnblockedFile();
  });
}

void SiteLists::DeleteBlocked() {
  Trapped(
      [&] {
        std::vector<std::string> names;
        const std::vector<std::uint64_t> ids = SelectedIds(blocked_, names);
        if (ids.empty() || !Confirm(kConfirmDeleteBlocked, names)) return;
        for (const std::string& name : names) blockedChanges_.Remove(name);
        blocked_.Remove(ids);
        UpdateBlockedFile();
        RefreshListviews();
      },
      [&](const Failure& failure) {
        ReportFailure(failure, Source("mnuDeleteBlocked_Click"), stores_.Text(kCannotDeleteSites),
                      kIconExclamation);
      });
}

void SiteLists::BlockSites(const std::vector<std::string>& sites) {
  for (const std::string& site : sites) CheckDuplicatesAndAddBlocked(site);
  RefreshListviews();
  UpdateBlockedFile();
  UpdateUnblockedFile();
}

std::vector<std::uint64_t> SiteLists::SelectedIds(const SiteList& list,
                                                  std::vector<std::string>& names) const {
  std::vector<std::uint64_t> ids;
  for (const std::size_t position : list.SelectedPositions()) {
    ids.push_back(list.Id(position));
    names.push_back(list.Name(position));
  }
  return ids;
}

bool SiteLists::Confirm(int textId, const std::vector<std::string>& names) {
  return AppMsgBox(stores_.Text(textId, {NamesText(names)}), kOkCancel + kIconExclamation, "") ==
         kResultOk;
}

}  // namespace app::lists
