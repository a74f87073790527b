// PropertyBag: the library's property bag as a COM class, and the conversions
// between automation values and the bag's own values.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "common/win/com_win.h"
#include "shared/containers/property_bag.h"

namespace tk {

HRESULT CreatePropertyBag(REFIID iid, void** object) noexcept;

// An automation value as a bag value. An object is saved through its
// IPersistPropertyBag into a nested list; `depth` is the nesting of the bag
// that receives the value.
Value ToBagValue(const VARIANT& value, int depth);

// A bag value as an automation value; a persisted object is created by its
// class identifier and loaded through its IPersistPropertyBag.
hg::win::Variant FromBagValue(const Value& value);

}  // namespace tk
