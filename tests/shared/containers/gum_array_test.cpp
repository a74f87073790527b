#include "shared/containers/gum_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "tests/shared/containers/test_helpers.h"

namespace tk {
namespace {

using test::Calls;

struct Object {
  bool operator==(const Object&) const = default;
};
// A stand-in for a variant: empty, null, an integer, a real, a text, an object.
using Cell = std::variant<std::monostate, std::nullptr_t, std::int64_t, double, std::string, Object>;

CellKey KeyOf(const Cell& cell) {
  switch (cell.index()) {
    case 0: return CellKey::Empty();
    case 1: return CellKey::Null();
    case 2: return CellKey::Number(std::get<std::int64_t>(cell));
    case 3: return CellKey::Number(std::get<double>(cell));
    case 4: return CellKey::Text(std::get<std::string>(cell));
    default: return CellKey::Uncomparable();
  }
}

std::string TextOf(const Cell& cell) {
  if (const auto* n = std::get_if<std::int64_t>(&cell)) return std::to_string(*n);
  if (const auto* t = std::get_if<std::string>(&cell)) return *t;
  return {};
}

Cell I(std::int64_t n) { return n; }
Cell T(const char* text) { return std::string(text); }

Table<Cell> Column(std::vector<Cell> values) {
  Table<Cell> table;
  table.Init(2);
  std::int64_t tag = 0;
  for (Cell& value : values) table.AddRow({std::move(value), I(++tag)});
  return table;
}

std::vector<Cell> ColumnOf(const Table<Cell>& table, std::int32_t column) {
  std::vector<Cell> values;
  for (std::int32_t r = 1; r <= table.RowsCount(); ++r) values.push_back(*table.Item(r, column));
  return values;
}

// Rows grow the table by half again (a half to the even neighbour) and keep
// every cell; each refusal fails with its fault and changes nothing; Clear
// drops the rows, Init the columns too.
TEST(TableRows, GrowKeepingEveryCellRefuseWhatDoesNotFitAndStartAnew) {
  std::vector<std::size_t> grown{2};
  while (grown.size() < 11) grown.push_back(GrownCapacity(grown.back()));
  EXPECT_EQ(grown, (std::vector<std::size_t>{2, 3, 4, 6, 9, 14, 21, 32, 48, 72, 108}));
  Table<Cell> table = Column(std::vector<Cell>(10, T("x")));
  EXPECT_EQ(table.Capacity(), 14u);
  EXPECT_EQ(ColumnOf(table, 1), std::vector<Cell>(10, T("x")));
  for (std::int32_t r = 1; r <= 10; ++r) EXPECT_EQ(*table.Item(r, 2), I(r)) << "row " << r;
  EXPECT_EQ(table.Item(11, 1), nullptr);  // within the capacity, but not in use
  EXPECT_EQ(table.Item(1, 3), nullptr);

  const struct {
    const char* name;
    std::function<void()> call;
    TableFault expected;
  } rows[] = {
      {"a row too long", [&] { table.AddRow({I(1), I(2), I(3)}); }, TableFault::TooManyValues},
      {"a row before Init", [] { Table<Cell>().AddRow({}); }, TableFault::TooManyValues},
      {"row 0", [&] { table.Item(0, 1); }, TableFault::OutOfRange},
      {"column 0", [&] { table.Item(1, 0); }, TableFault::OutOfRange},
      {"no column", [&] { table.Init(0); }, TableFault::OutOfRange},
      {"sort by a column past the last", [&] { table.Sort(3, true, KeyOf); }, TableFault::OutOfRange},
      {"sort by column 0", [&] { table.Sort(0, true, KeyOf); }, TableFault::OutOfRange},
      {"an uncomparable value first", [] { CompareCells(CellKey::Uncomparable(), CellKey::Null()); },
       TableFault::Uncomparable},
      {"an uncomparable value second", [] { CompareCells(CellKey::Text("a"), CellKey::Uncomparable()); },
       TableFault::Uncomparable},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(test::FaultOf<TableError>(row.call), row.expected) << row.name;
    EXPECT_EQ(table.RowsCount(), 10) << row.name;
    EXPECT_EQ(table.ColumnsCount(), 2) << row.name;
  }
  Column({I(1)}).Sort(3, true, KeyOf);  // one row: nothing to compare, no column checked

  table.Clear();
  EXPECT_EQ(table.RowsCount(), 0);
  EXPECT_EQ(table.ColumnsCount(), 2);
  EXPECT_EQ(table.Capacity(), 2u);
  table.AddRow({I(7)});
  EXPECT_EQ(*table.Item(1, 2), Cell{});  // a short row's last cells are empty
  table.Init(3);
  EXPECT_EQ(table.RowsCount(), 0);
  EXPECT_EQ(table.ColumnsCount(), 3);
  EXPECT_EQ(table.Item(1, 1), nullptr);
}

TEST(TableRows, ACellGoingAwayFindsTheTableWhole) {
  // A cell's last release may run code that writes to the table.
  Table<std::unique_ptr<Calls>> table;
  std::vector<std::string> seen;
  const auto addRow = [&] {
    auto cell = std::make_unique<Calls>();
    cell->onDestroy = [&] {
      seen.push_back(std::to_string(table.RowsCount()) + "/" + std::to_string(table.Capacity()));
      table.AddRow({});  // writes a row: it must fit what the table says it has
    };
    std::vector<std::unique_ptr<Calls>> row;
    row.push_back(std::move(cell));
    table.AddRow(std::move(row));
  };
  table.Init(1);
  for (int n = 0; n < 5; ++n) addRow();
  table.Clear();
  // Each row the callbacks add lands in room the table really has.
  EXPECT_EQ(seen, (std::vector<std::string>{"0/2", "1/2", "2/2", "3/3", "4/4"}));
  EXPECT_EQ(table.RowsCount(), 5);
}

TEST(CompareCells, NumbersBeforeTextsEmptyAsZeroOrEmptyTextNullUnordered) {
  const CellKey one = CellKey::Number(std::int64_t{1}), empty = CellKey::Empty();
  const CellKey null = CellKey::Null();
  const std::int64_t big = std::int64_t{1} << 53;
  const struct {
    CellKey a, b;
    Ordering expected;
  } cases[] = {
      // Numbers by value, exactly for large integers.
      {CellKey::Number(std::int64_t{2}), CellKey::Number(1.5), Ordering::Greater},
      {CellKey::Number(std::int64_t{-3}), CellKey::Number(std::int64_t{2}), Ordering::Less},
      {CellKey::Number(2.0), CellKey::Number(std::int64_t{2}), Ordering::Equal},
      {CellKey::Number(big + 1), CellKey::Number(big), Ordering::Greater},
      // Texts by character code, letter case significant.
      {CellKey::Text("B"), CellKey::Text("a"), Ordering::Less},
      {CellKey::Text("z"), CellKey::Text("\xC3\xA9"), Ordering::Less},  // é
      // Every number before every text.
      {CellKey::Number(1e300), CellKey::Text(""), Ordering::Less},
      {CellKey::Text("1"), CellKey::Number(std::int64_t{2}), Ordering::Greater},
      // Empty is zero against a number and the empty text otherwise.
      {empty, CellKey::Number(std::int64_t{0}), Ordering::Equal},
      {empty, CellKey::Number(-0.5), Ordering::Greater},
      {one, empty, Ordering::Greater},
      {empty, CellKey::Text(""), Ordering::Equal},
      {CellKey::Text("a"), empty, Ordering::Greater},
      {empty, empty, Ordering::Equal},
      // Anything against null is unordered.
      {null, one, Ordering::Unordered},
      {CellKey::Text("a"), null, Ordering::Unordered},
      {empty, null, Ordering::Unordered},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(CompareCells(cases[i].a, cases[i].b), cases[i].expected) << "case " << i;
  }
}

// Rows are tagged 1, 2, ... in their second column: the tags show where each whole row went.
TEST(TableSort, MovesWholeRowsInEitherDirection) {
  const struct {
    const char* name;
    std::vector<Cell> column;
    bool ascending;
    std::vector<Cell> sorted, tags;
  } rows[] = {
      {"ascending", {I(3), I(1), I(2)}, true, {I(1), I(2), I(3)}, {I(2), I(3), I(1)}},
      {"descending", {I(3), I(1), I(2)}, false, {I(3), I(2), I(1)}, {I(1), I(3), I(2)}},
      // 3 and null never compare, so the null row keeps its place between them.
      {"null in the middle", {I(3), Cell(nullptr), I(1)}, true, {I(1), Cell(nullptr), I(3)}, {I(3), I(2), I(1)}},
      // Fails at the object, swapped before it and left partly sorted.
      {"an uncomparable cell", {I(3), I(2), Cell(Object{}), I(1)}, true, {I(2), I(3), Cell(Object{}), I(1)},
       {I(2), I(1), I(3), I(4)}},
  };
  for (const auto& row : rows) {
    Table<Cell> table = Column(row.column);
    try {
      table.Sort(1, row.ascending, KeyOf);
    } catch (const TableError& error) {
      EXPECT_EQ(error.fault(), TableFault::Uncomparable) << row.name;
    }
    EXPECT_EQ(ColumnOf(table, 1), row.sorted) << row.name;
    EXPECT_EQ(ColumnOf(table, 2), row.tags) << row.name;
  }
}

// A cell's text may run the caller's code (an object's default property),
// which may start the table anew: the text shows the table as it was.
TEST(TableDisplay, HeaderThenOneNumberedLinePerRowEvenWhenACellChangesTheTable) {
  Table<Cell> table;
  table.Init(2);
  EXPECT_EQ(table.AsDisplayString(TextOf), "Rows: 0, Columns: 2\r\n");
  table.AddRow({I(1), T("x")});
  table.AddRow({I(2), T("%1")});
  table.AddRow({I(3), T("x")});
  const std::string whole = "Rows: 3, Columns: 2\r\n1 (1, x)\r\n2 (2, %1)\r\n3 (3, x)\r\n";
  EXPECT_EQ(table.AsDisplayString(TextOf), whole);
  bool changed = false;
  const std::string text = table.AsDisplayString([&](const Cell& cell) {
    if (!changed) {
      changed = true;
      table.Init(1);
    }
    return TextOf(cell);
  });
  EXPECT_EQ(text, whole);
  EXPECT_EQ(table.ColumnsCount(), 1);
}

}  // namespace
}  // namespace tk
