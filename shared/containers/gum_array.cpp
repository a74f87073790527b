// The table's comparison and growth rules.
#include "shared/containers/gum_array.h"

#include <compare>

namespace tk {
namespace {

bool IsNumber(CellKey::Kind kind) {
  return kind == CellKey::Kind::Integer || kind == CellKey::Kind::Real;
}

Ordering FromPartial(std::partial_ordering order) {
  if (order == std::partial_ordering::less) return Ordering::Less;
  if (order == std::partial_ordering::greater) return Ordering::Greater;
  if (order == std::partial_ordering::equivalent) return Ordering::Equal;
  return Ordering::Unordered;
}

Ordering CompareNumbers(const CellKey& a, const CellKey& b) {
  // Two integers compare exactly; a 64-bit integer beyond 2^53 would not
  // survive the trip through double.
  if (a.kind() == CellKey::Kind::Integer && b.kind() == CellKey::Kind::Integer) {
    return FromPartial(a.integer() <=> b.integer());
  }
  const auto value = [](const CellKey& key) {
    return key.kind() == CellKey::Kind::Integer ? static_cast<double>(key.integer())
                                                : key.real();
  };
  return FromPartial(value(a) <=> value(b));
}

Ordering CompareTexts(const std::string& a, const std::string& b) {
  // Bytes of UTF-8 order as the code points they encode.
  const int order = a.compare(b);
  return order < 0 ? Ordering::Less : order > 0 ? Ordering::Greater : Ordering::Equal;
}

}  // namespace

Ordering CompareCells(const CellKey& a, const CellKey& b) {
  using Kind = CellKey::Kind;
  if (a.kind() == Kind::Uncomparable || b.kind() == Kind::Uncomparable) {
    throw TableError(TableFault::Uncomparable, "A cell holds a value that cannot be compared.");
  }
  if (a.kind() == Kind::Null || b.kind() == Kind::Null) return Ordering::Unordered;
  if (a.kind() == Kind::Empty && b.kind() == Kind::Empty) return Ordering::Equal;
  if (a.kind() == Kind::Empty) {
    return IsNumber(b.kind()) ? CompareNumbers(CellKey::Number(std::int64_t{0}), b)
                              : CompareTexts({}, b.text());
  }
  if (b.kind() == Kind::Empty) {
    return IsNumber(a.kind()) ? CompareNumbers(a, CellKey::Number(std::int64_t{0}))
                              : CompareTexts(a.text(), {});
  }
  if (IsNumber(a.kind()) && IsNumber(b.kind())) return CompareNumbers(a, b);
  if (IsNumber(a.kind())) return Ordering::Less;
  if (IsNumber(b.kind())) return Ordering::Greater;
  return CompareTexts(a.text(), b.text());
}

std::size_t GrownCapacity(std::size_t capacity) noexcept {
  const std::size_t tripled = capacity * 3;
  std::size_t grown = tripled / 2;
  if (tripled % 2 != 0 && grown % 2 != 0) ++grown;  // x.5 goes to the even neighbour
  return grown;
}

}  // namespace tk
