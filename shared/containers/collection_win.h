// CCollection: the library's keyed collection as a COM class.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

#include "shared/containers/keyed_list.h"

namespace tk {

HRESULT CreateCollection(REFIID iid, void** object) noexcept;

// Conversions every keyed collection of the library shares: an index is a
// number or, when it is text, a key; an absent optional gives nothing.
std::optional<Position> PositionFrom(const VARIANT& index);
std::optional<std::string> KeyFrom(const VARIANT& key);

// Runs body, turning a CollectionError into its HResultError.
template <typename F>
decltype(auto) WithCollectionErrors(F&& body);

[[noreturn]] void ThrowCollectionError(const CollectionError& error);

template <typename F>
decltype(auto) WithCollectionErrors(F&& body) {
  try {
    return body();
  } catch (const CollectionError& error) {
    ThrowCollectionError(error);
  }
}

}  // namespace tk
