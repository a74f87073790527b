// The growable two-dimensional table behind CGumArray: a fixed number of
// columns, rows appended one at a time, cells read by row and column, rows
// sorted by one column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tk {

enum class TableFault { TooManyValues, OutOfRange, Uncomparable };

class TableError : public std::runtime_error {
 public:
  TableError(TableFault fault, const std::string& what)
      : std::runtime_error(what), fault_(fault) {}
  TableFault fault() const noexcept { return fault_; }

 private:
  TableFault fault_;
};

// What a sort sees of a cell: nothing, null, a number, a text (UTF-8), or a
// value that cannot be compared (an object, an array).
class CellKey {
 public:
  enum class Kind { Empty, Null, Integer, Real, Text, Uncomparable };

  static CellKey Empty() { return CellKey(Kind::Empty); }
  static CellKey Null() { return CellKey(Kind::Null); }
  static CellKey Number(std::int64_t value) {
    CellKey key(Kind::Integer);
    key.integer_ = value;
    return key;
  }
  static CellKey Number(double value) {
    CellKey key(Kind::Real);
    key.real_ = value;
    return key;
  }
  static CellKey Text(std::string value) {
    CellKey key(Kind::Text);
    key.text_ = std::move(value);
    return key;
  }
  static CellKey Uncomparable() { return CellKey(Kind::Uncomparable); }

  Kind kind() const noexcept { return kind_; }
  std::int64_t integer() const noexcept { return integer_; }
  double real() const noexcept { return real_; }
  const std::string& text() const noexcept { return text_; }

 private:
  explicit CellKey(Kind kind) : kind_(kind) {}

  Kind kind_;
  std::int64_t integer_ = 0;
  double real_ = 0;
  std::string text_;
};

// Unordered: a null value takes part (or a NaN), so neither is smaller.
enum class Ordering { Less, Equal, Greater, Unordered };

// Compares as automation variants compare: numbers by value, texts by
// character code (letter case counts), every number before every text, an
// empty cell as 0 against a number and as empty text otherwise. Throws
// TableError(Uncomparable) when either key is uncomparable.
Ordering CompareCells(const CellKey& a, const CellKey& b);

// The row capacity that follows `capacity`: half as much again, a half
// rounded to the even neighbour (2, 3, 4, 6, 9, 14, 21, 32, ...).
std::size_t GrownCapacity(std::size_t capacity) noexcept;

// Rows and columns count from 1. Cell is any movable, default-constructible
// value; a default-constructed Cell is an empty cell.
template <typename Cell>
class Table {
 public:
  static constexpr std::size_t kInitialCapacity = 2;

  std::int32_t RowsCount() const noexcept { return rows_; }
  std::int32_t ColumnsCount() const noexcept { return columns_; }
  std::size_t Capacity() const noexcept { return capacity_; }

  // Sets the column count and starts an empty grid. Rows already held are
  // dropped: a fresh grid has room for 2 rows only.
  void Init(std::int32_t columns) {
    if (columns < 1) {
      throw TableError(TableFault::OutOfRange,
                       "The column count " + std::to_string(columns) + " is out of range.");
    }
    Replace(std::vector<Cell>(kInitialCapacity * static_cast<std::size_t>(columns)), columns);
  }

  // Appends a row of up to ColumnsCount values; the rest of its cells stay
  // empty. Before Init there is no column, so every row is refused. Nothing
  // changes on failure.
  void AddRow(std::vector<Cell> values) {
    if (columns_ == 0 || values.size() > static_cast<std::size_t>(columns_)) {
      throw TableError(TableFault::TooManyValues,
                       "A row of " + std::to_string(values.size()) +
                           " values does not fit a table of " + std::to_string(columns_) +
                           " columns.");
    }
    if (rows_ == std::numeric_limits<std::int32_t>::max()) {
      throw TableError(TableFault::OutOfRange, "The table cannot hold more rows.");
    }
    const auto row = static_cast<std::size_t>(rows_);
    if (row + 1 > capacity_) {
      const std::size_t grown = GrownCapacity(capacity_);
      cells_.resize(grown * static_cast<std::size_t>(columns_));
      capacity_ = grown;
    }
    for (std::size_t k = 0; k < values.size(); ++k) At(row, k) = std::move(values[k]);
    ++rows_;
  }

  // The cell, or nullptr beyond the rows in use or the columns.
  const Cell* Item(std::int32_t row, std::int32_t column) const {
    if (row < 1 || column < 1) {
      throw TableError(TableFault::OutOfRange, "The cell (" + std::to_string(row) + ", " +
                                                   std::to_string(column) + ") is out of range.");
    }
    if (row > rows_ || column > columns_) return nullptr;
    return &At(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(column - 1));
  }

  // An exchange sort of whole rows by one column (not stable). keyOf turns a
  // cell into its CellKey. A failed comparison leaves the rows partly sorted.
  template <typename KeyOf>
  void Sort(std::int32_t column, bool smallestToLargest, KeyOf keyOf) {
    if (rows_ < 2) return;
    if (column < 1 || column > columns_) {
      throw TableError(TableFault::OutOfRange,
                       "The column " + std::to_string(column) + " is out of range.");
    }
    const auto c = static_cast<std::size_t>(column - 1);
    const auto n = static_cast<std::size_t>(rows_);
    std::vector<CellKey> keys;
    keys.reserve(n);
    for (std::size_t r = 0; r < n; ++r) keys.push_back(keyOf(At(r, c)));
    const Ordering misplaced = smallestToLargest ? Ordering::Greater : Ordering::Less;
    for (std::size_t i = 0; i + 1 < n; ++i) {
      for (std::size_t j = i + 1; j < n; ++j) {
        if (CompareCells(keys[i], keys[j]) != misplaced) continue;
        SwapRows(i, j);
        std::swap(keys[i], keys[j]);
      }
    }
  }

  // No rows, a fresh grid with room for 2; the columns stay.
  void Clear() {
    Replace(std::vector<Cell>(kInitialCapacity * static_cast<std::size_t>(columns_)), columns_);
  }

  // "Rows: r, Columns: c", then per row its number and, in parentheses, its
  // cells joined by ", "; every line ends in CR LF. toText gives a cell's
  // text. The cells are copied (copyCell) before any is turned into text: a
  // cell's text may come from code that changes this very table.
  template <typename ToText, typename CopyCell>
  std::string AsDisplayString(ToText toText, CopyCell copyCell) const {
    const auto rows = static_cast<std::size_t>(rows_);
    const auto columns = static_cast<std::size_t>(columns_);
    std::vector<Cell> cells;
    cells.reserve(rows * columns);
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::size_t k = 0; k < columns; ++k) cells.push_back(copyCell(At(r, k)));
    }
    std::string text =
        "Rows: " + std::to_string(rows) + ", Columns: " + std::to_string(columns) + "\r\n";
    for (std::size_t r = 0; r < rows; ++r) {
      text += std::to_string(r + 1) + " (";
      for (std::size_t k = 0; k < columns; ++k) {
        if (k > 0) text += ", ";
        text += toText(cells[r * columns + k]);
      }
      text += ")\r\n";
    }
    return text;
  }

  template <typename ToText>
  std::string AsDisplayString(ToText toText) const {
    return AsDisplayString(toText, [](const Cell& cell) { return cell; });
  }

 private:
  Cell& At(std::size_t row, std::size_t column) {
    return cells_[row * static_cast<std::size_t>(columns_) + column];
  }
  const Cell& At(std::size_t row, std::size_t column) const {
    return cells_[row * static_cast<std::size_t>(columns_) + column];
  }

  // A fresh grid with room for kInitialCapacity rows. The old cells go only
  // once the table is whole again: a cell's destructor (an object's last
  // release) may call back into it.
  void Replace(std::vector<Cell> fresh, std::int32_t columns) {
    cells_.swap(fresh);
    columns_ = columns;
    capacity_ = kInitialCapacity;
    rows_ = 0;
  }

  void SwapRows(std::size_t a, std::size_t b) {
    using std::swap;
    for (std::size_t k = 0; k < static_cast<std::size_t>(columns_); ++k) swap(At(a, k), At(b, k));
  }

  std::int32_t rows_ = 0;
  std::int32_t columns_ = 0;
  std::size_t capacity_ = 0;  // no grid until Init
  std::vector<Cell> cells_;   // row by row, capacity_ rows of columns_ cells
};

}  // namespace tk
