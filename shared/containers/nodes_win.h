// CNode, CNodes, CParam, CParams: trees of named values that persist in a
// property bag.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateNode(REFIID iid, void** object) noexcept;
HRESULT CreateNodes(REFIID iid, void** object) noexcept;
HRESULT CreateParam(REFIID iid, void** object) noexcept;
HRESULT CreateParams(REFIID iid, void** object) noexcept;

}  // namespace tk
