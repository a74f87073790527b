// IEnumVARIANT over a snapshot of a collection's values ("For Each").
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "common/win/com_win.h"

namespace tk {

// The enumerator owns the values; later changes to the collection do not
// disturb a walk in progress.
HRESULT CreateEnumVariant(std::vector<hg::win::Variant> items, IUnknown** result) noexcept;

}  // namespace tk
