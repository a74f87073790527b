// The program's site stores.
#include "app/lists/site_stores_win.h"

#include <windows.h>
#include <oleauto.h>

#include "app/engine/library_win.h"
#include "app/engine/mhgr_win.h"
#include "app/engine/strings_win.h"
#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "tkShared.h"

namespace app::lists {
namespace {

using hg::win::com_ptr;
using hg::win::MakeBstr;

// The registry class's name for HKEY_CURRENT_USER, whose own name the
// system's headers take for a handle.
constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);

// A new registry object for each load or save.
com_ptr<_CRegistry> NewRegistry() {
  com_ptr<_CRegistry> registry;
  THROW_IF_FAILED(::CoCreateInstance(CLSID_CRegistry, nullptr, CLSCTX_INPROC_SERVER,
                                     IID__CRegistry, registry.put_void()));
  return registry;
}

std::string TextOf(const VARIANT& value) {
  if (value.vt != VT_BSTR) throw Failure(13, "Type mismatch");
  return hg::win::FromBstr(value.bstrVal);
}

}  // namespace

std::vector<std::string> SystemSiteStores::ReadBlocked() {
  if (handedOver_) {
    std::vector<std::string> sites = std::move(*handedOver_);
    handedOver_.reset();
    seen_ = handedOverSeen_;
    return sites;
  }
  return engine::ReadBlockedSites(&seen_);
}

void SystemSiteStores::ApplyBlocked(const std::vector<std::string>& sites) {
  seen_.reset();
  engine::ApplyBlocked(sites);
}

std::optional<std::vector<std::string>> SystemSiteStores::ApplyBlockedChanges(
    const std::vector<std::string>& sites, const engine::SiteChanges& changes) {
  return engine::ApplyBlockedChanges(sites, changes, seen_);
}

bool SystemSiteStores::HostsFileChanged() {
  try {
    return !seen_ || engine::HostsFileStamp() != seen_->stamp;
  } catch (...) {
    // A file that is gone, or cannot be looked at, is not the one last read.
    return true;
  }
}

void SystemSiteStores::RequireBlockable(const std::vector<std::string>& sites) {
  engine::RequireBlockable(sites);
}

std::vector<std::string> SystemSiteStores::ReadUnblocked() {
  com_ptr<_CCollection> values;
  engine::Check(
      NewRegistry()->EnumValues(kCurrentUser, MakeBstr(kUnblockedKey).get(), values.put()));
  long count = 0;
  engine::Check(values->get_Count(&count));
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (long i = 1; i <= count; ++i) {
    hg::win::Variant index, name;
    VARIANT* slot = index.put();
    slot->vt = VT_I4;
    slot->lVal = i;
    engine::Check(values->get_Item(index.get(), name.put()));
    names.push_back(TextOf(name.get()));
  }
  return names;
}

bool SystemSiteStores::SetUnblocked(const std::string& name) {
  VARIANT_BOOL done = VARIANT_FALSE;
  engine::Check(NewRegistry()->SetSTRING(kCurrentUser, MakeBstr(kUnblockedKey).get(),
                                          MakeBstr(name).get(), MakeBstr("").get(), &done));
  return done != VARIANT_FALSE;
}

bool SystemSiteStores::DeleteUnblocked(const std::string& name) {
  VARIANT_BOOL done = VARIANT_FALSE;
  engine::Check(NewRegistry()->DeleteValue(kCurrentUser, MakeBstr(kUnblockedKey).get(),
                                            MakeBstr(name).get(), &done));
  return done != VARIANT_FALSE;
}

bool SystemSiteStores::DeleteUnblockedKey() {
  VARIANT_BOOL done = VARIANT_FALSE;
  engine::Check(NewRegistry()->DeleteKey(kCurrentUser, MakeBstr(kUnblockedKey).get(), &done));
  return done != VARIANT_FALSE;
}

std::string SystemSiteStores::Text(int id, const std::vector<std::string>& parameters) {
  const std::string text = ProgramString(static_cast<unsigned>(id));
  return parameters.empty() ? text : engine::FormatString(text, parameters);
}

}  // namespace app::lists
