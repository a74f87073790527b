// The containers' portable cores: the keyed list behind the collections, the
// table behind CGumArray and the property bag's stored form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "shared/containers/gum_array.h"
#include "shared/containers/keyed_list.h"
#include "shared/containers/property_bag.h"

namespace tk {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The fault of the Error the action threw; a failed check when it threw none.
template <typename Error>
auto FaultOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.fault();
  }
  ADD_FAILURE() << "no error";
  return decltype(std::declval<const Error&>().fault()){};
}

// A value whose destruction runs code, as an object's last release does.
struct Calls {
  std::function<void()> onDestroy;
  ~Calls() {
    if (onDestroy) onDestroy();
  }
};

std::vector<int> Values(const KeyedList<int>& list) {
  std::vector<int> values;
  list.ForEach([&](int v) { values.push_back(v); });
  return values;
}

// Keys compare without letter case; Before and After place by number or by
// key; each fault is distinct and leaves the list alone; Remove frees the key.
TEST(KeyedList, AddsWhereAskedFindsByNumberOrKeyRefusesFaultsAndRemoveFreesTheKey) {
  KeyedList<int> list;
  const std::string b = "Site", a = "a", otherCase = "A";
  list.Add(1);
  list.Add(3, &b);
  const Position beforeB{std::string("SITE")}, afterThird{std::int64_t{3}}, beforeFirst{std::int64_t{1}};
  list.Add(2, nullptr, &beforeB);
  list.Add(4, &a, nullptr, &afterThird);
  list.Add(0, nullptr, &beforeFirst);

  const Position missing{std::string("none")};
  const struct {
    const char* name;
    std::function<void()> call;
    CollectionFault expected;
  } rows[] = {
      {"a key again in another case", [&] { list.Add(2, &otherCase); }, CollectionFault::DuplicateKey},
      {"both before and after", [&] { list.Add(2, nullptr, &beforeFirst, &beforeFirst); },
       CollectionFault::BeforeAndAfter},
      {"index 0", [&] { list.Item(Position{std::int64_t{0}}); }, CollectionFault::IndexOutOfRange},
      {"index past the last", [&] { list.Item(Position{std::int64_t{6}}); }, CollectionFault::IndexOutOfRange},
      {"remove a missing key", [&] { list.Remove(missing); }, CollectionFault::KeyNotFound},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FaultOf<CollectionError>(row.call), row.expected) << row.name;
    EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4})) << row.name;
  }

  list.Remove(Position{std::string("A")});
  list.Add(5, &a);  // a key still taken would throw
  list.Remove(Position{std::int64_t{4}});
  EXPECT_FALSE(list.Contains("site"));
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 5}));
}

TEST(KeyedList, AValueGoingAwayFindsTheListWhole) {
  KeyedList<std::unique_ptr<Calls>> list;
  std::vector<std::string> seen;
  const auto look = [&] {
    std::string state = std::to_string(list.Count());
    if (list.Count() > 0) state += list.Item(Position{std::int64_t{1}}) ? " first" : " null";
    if (list.Contains("k")) state += list.Item(Position{std::string("k")}) ? " k" : " k null";
    seen.push_back(state);
  };
  const auto add = [&](const char* key) {
    const std::string text = key;
    auto value = std::make_unique<Calls>();
    value->onDestroy = look;
    list.Add(std::move(value), *key ? &text : nullptr);
  };

  add("");
  add("k");
  list.Remove(Position{std::int64_t{1}});
  list.Clear();
  add("k");
  add("");
  list = KeyedList<std::unique_ptr<Calls>>();
  EXPECT_EQ(seen, (std::vector<std::string>{"1 first k", "0", "0", "0"}));
}

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

// Rows grow the table by half again (a half to the even neighbour; the sorts
// below read every cell of grown tables); each refusal fails with its fault
// and changes nothing; Clear keeps the columns.
TEST(TableRows, GrowByHalfRefuseWhatDoesNotFitAndStartAnew) {
  Table<Cell> table = Column(std::vector<Cell>(10, T("x")));
  EXPECT_EQ(table.Capacity(), 14u);
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
    EXPECT_EQ(FaultOf<TableError>(row.call), row.expected) << row.name;
    EXPECT_EQ(table.RowsCount(), 10) << row.name;
    EXPECT_EQ(table.ColumnsCount(), 2) << row.name;
  }
  Column({I(1)}).Sort(3, true, KeyOf);  // one row: nothing to compare, no column checked

  table.Clear();
  EXPECT_EQ(table.ColumnsCount(), 2);
  table.AddRow({I(7)});
  EXPECT_EQ(*table.Item(1, 2), Cell{});  // a short row's last cells are empty
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
      {CellKey::Number(big + 1), CellKey::Number(big), Ordering::Greater},
      {CellKey::Number(2.0), CellKey::Number(std::int64_t{2}), Ordering::Equal},
      // Texts by character code, letter case significant.
      {CellKey::Text("B"), CellKey::Text("a"), Ordering::Less},
      {CellKey::Text("z"), CellKey::Text("\xC3\xA9"), Ordering::Less},  // é
      // Every number before every text.
      {CellKey::Number(1e300), CellKey::Text(""), Ordering::Less},
      {CellKey::Text("1"), CellKey::Number(std::int64_t{2}), Ordering::Greater},
      // Empty is zero against a number and the empty text otherwise.
      {empty, CellKey::Number(std::int64_t{0}), Ordering::Equal},
      {one, empty, Ordering::Greater},
      {empty, CellKey::Text(""), Ordering::Equal},
      {CellKey::Text("a"), empty, Ordering::Greater},
      {empty, empty, Ordering::Equal},
      // Anything against null is unordered.
      {null, one, Ordering::Unordered},
      {CellKey::Text("a"), null, Ordering::Unordered},
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
  table.AddRow({I(1), T("x")});
  table.AddRow({I(2), T("%1")});
  table.AddRow({I(3), T("x")});
  const std::string whole = "Rows: 3, Columns: 2\r\n1 (1, x)\r\n2 (2, %1)\r\n3 (3, x)\r\n";
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

PropertyList RoundTrip(const PropertyList& list) { return Parse(Serialize(list)); }

std::shared_ptr<PersistedObject> MakeObject(std::uint32_t id, PropertyList properties) {
  auto object = std::make_shared<PersistedObject>();
  object->classId = {id, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  object->properties = std::move(properties);
  return object;
}

std::string ParseFailure(const Bytes& bytes) {
  try {
    Parse(bytes);
  } catch (const BagFormatError& e) {
    return e.what();
  }
  return "<parsed>";
}

// The header and a root list of one property named "a", then the value's bytes.
Bytes OneProperty(std::initializer_list<std::uint8_t> value = {}) {
  Bytes b = {'t', 'k', 'P', 'B', 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 'a'};
  b.insert(b.end(), value);
  return b;
}

// Every kind, and objects nested three deep (an object in an array in an object).
PropertyList EveryKind() {
  PropertyList leaf;
  leaf.Set("z", Value::Text("last written first"));
  leaf.Set("a", Value::Signed(ValueKind::Int32, 3));
  PropertyList middle;
  middle.Set("V", Value::Array(VariantArray{{{0, 2}}, {Value::Object(MakeObject(3, leaf)), Value::Empty()}}));
  PropertyList list;
  list.Set("empty", Value::Empty());
  list.Set("null", Value::Null());
  list.Set("true", Value::Boolean(true));
  list.Set("false", Value::Boolean(false));
  list.Set("i1", Value::Signed(ValueKind::Int8, -128));
  list.Set("i2", Value::Signed(ValueKind::Int16, -32768));
  list.Set("i4", Value::Signed(ValueKind::Int32, std::numeric_limits<std::int32_t>::min()));
  list.Set("i8", Value::Signed(ValueKind::Int64, std::numeric_limits<std::int64_t>::min()));
  list.Set("int", Value::Signed(ValueKind::Int, -7));
  list.Set("ui1", Value::Unsigned(ValueKind::UInt8, 255));
  list.Set("ui2", Value::Unsigned(ValueKind::UInt16, 65535));
  list.Set("ui4", Value::Unsigned(ValueKind::UInt32, 0xFFFFFFFFu));
  list.Set("ui8", Value::Unsigned(ValueKind::UInt64, std::numeric_limits<std::uint64_t>::max()));
  list.Set("uint", Value::Unsigned(ValueKind::UInt, 7));
  list.Set("r4", Value::Single(-1.5f));
  list.Set("r8", Value::Real(ValueKind::Double, -0.0));
  list.Set("currency", Value::Signed(ValueKind::Currency, -12345678));
  list.Set("date", Value::Real(ValueKind::Date, 45000.25));
  list.Set("decimal", Value::Dec(Decimal{28, 0x80, 0xFFFFFFFFu, 0x0123456789ABCDEFull}));
  list.Set("text", Value::Text(std::string("Gr\xC3\xBC\xC3\x9F" "e\0!", 9)));
  list.Set("bytes", Value::Bytes(ByteArray{{{-1, 2}, {5, 3}}, {1, 2, 3, 4, 5, 6}}));
  list.Set("no bytes", Value::Bytes(ByteArray{{{0, 0}}, {}}));
  list.Set("array", Value::Array(VariantArray{
                        {{1, 3}},
                        {Value::Text("x"), Value::Null(), Value::Signed(ValueKind::Int32, 9)}}));
  list.Set("nothing", Value::NoObject());
  list.Set("object", Value::Object(MakeObject(42, middle)));
  return list;
}

TEST(PropertyBagFormat, EveryValueKindAndNestedObjectRoundTripsWithItsKindAndOrder) {
  const PropertyList original = EveryKind();
  const PropertyList restored = RoundTrip(original);
  EXPECT_EQ(restored, original);
  // The comparison is code under test too: a few values checked by hand.
  EXPECT_EQ(restored.Find("i2")->kind(), ValueKind::Int16);
  EXPECT_TRUE(std::signbit(restored.Find("r8")->AsReal()));
  EXPECT_EQ(restored.Find("bytes")->AsBytes().bounds[0].lower, -1);
  const PersistedObject* top = restored.Find("object")->AsObject();
  EXPECT_EQ(top->properties.Find("v")->AsArray().elements[0].AsObject()->classId.data1, 3u);
}

TEST(PropertyBagList, NamesIgnoreCaseAndAValueEqualToItsDefaultIsNotStoredOrDropsTheStoredOne) {
  PropertyList list;
  list.Set("Alpha", Value::Text("1"));
  list.Set("Beta", Value::Text("2"));
  list.Set("ALPHA", Value::Text("3"));  // rewritten in place, first spelling kept
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.entries()[0].name, "Alpha");
  EXPECT_EQ(list.Find("alpha")->AsText(), "3");

  const Value zero = Value::Signed(ValueKind::Int32, 0), empty = Value::Text("");
  list.Write("n", zero, &zero);
  EXPECT_EQ(list.Find("n"), nullptr);
  list.Write("n", Value::Signed(ValueKind::Int16, 0), &zero);  // kinds differ though the numbers agree
  EXPECT_EQ(list.Find("n")->kind(), ValueKind::Int16);
  list.Write("Id", empty, nullptr);
  EXPECT_NE(list.Find("Id"), nullptr);
  list.Write("ALPHA", empty, &empty);
  EXPECT_EQ(list.Find("alpha"), nullptr);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.entries()[0].name, "Beta");
  EXPECT_EQ(list.Find("N")->kind(), ValueKind::Int16);
}

// Truncated, corrupt and forged input fails with its reason, and forged lengths allocate nothing.
TEST(PropertyBagReader, RefusesCorruptInput) {
  const Bytes whole = Serialize(EveryKind());
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_NE(ParseFailure(part), "<parsed>") << "length " << length;
  }
  const struct {
    const char* name;
    Bytes bytes;
    const char* expected;
  } rows[] = {
      {"foreign data", {'P', 'K', 3, 4, 1, 0, 0, 0, 0, 0}, "The data is not a property bag."},
      {"another version", {'t', 'k', 'P', 'B', 2, 0, 0, 0, 0, 0}, "version 2"},
      {"a trailing byte", OneProperty({0, 0, 0}), "after the end"},
      {"Boolean of 2", OneProperty({11, 0, 2}), "Boolean"},
      {"overlong NUL", OneProperty({8, 0, 2, 0, 0, 0, 0xC0, 0x80}), "UTF-8"},
      {"encoded surrogate", OneProperty({8, 0, 3, 0, 0, 0, 0xED, 0xA0, 0x80}), "UTF-8"},
      {"decimal scale 29", OneProperty({14, 0, 29, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "decimal"},
      {"object marker", OneProperty({9, 0, 2}), "object marker"},
      {"unknown kind", OneProperty({0x34, 0x12}), "unknown value kind 4660"},
      {"no dimension", OneProperty({0x11, 0x20, 0}), "dimension"},
      {"61 dimensions", OneProperty({0x11, 0x20, 61}), "dimension"},
      {"duplicate name", {'t', 'k', 'P', 'B', 1, 0, 2, 0, 0, 0, 1, 0, 0, 0, 'k', 0, 0, 1, 0, 0, 0, 'K', 0, 0},
       "appears twice"},
      {"forged property count", {'t', 'k', 'P', 'B', 1, 0, 0xFF, 0xFF, 0xFF, 0xFF}, "ends too soon"},
      {"forged text length", OneProperty({8, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'x'}), "ends too soon"},
      // Two dimensions of 65536 elements each: four gigabytes the data cannot hold.
      {"forged array bounds", OneProperty({0x0C, 0x20, 2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0}),
       "array's bounds"},
      {"upper bound past 32 bits", OneProperty({0x11, 0x20, 1, 0xFF, 0xFF, 0xFF, 0x7F, 2, 0, 0, 0, 1, 2}),
       "array's bounds"},
      // Empty, from the lowest bound: its upper bound would lie below every 32-bit one.
      {"upper bound below 32 bits", OneProperty({0x11, 0x20, 1, 0, 0, 0, 0x80, 0, 0, 0, 0}), "array's bounds"},
  };
  for (const auto& row : rows) {
    EXPECT_NE(ParseFailure(row.bytes).find(row.expected), std::string::npos)
        << row.name << ": " << ParseFailure(row.bytes);
  }
}

TEST(PropertyBagNesting, DeepestAcceptedLevelRoundTripsAndOneMoreIsRefusedBothWays) {
  auto nestedArrays = [](int levels) {
    Value value = Value::Empty();
    for (int i = 0; i < levels; ++i) value = Value::Array(VariantArray{{{0, 1}}, {value}});
    PropertyList list;
    list.Set("deep", value);
    return list;
  };
  const PropertyList deepest = nestedArrays(kMaxNesting);
  EXPECT_EQ(RoundTrip(deepest), deepest);
  EXPECT_THROW(Serialize(nestedArrays(kMaxNesting + 1)), BagFormatError);

  // The same refusal in the reader, for bytes made by hand.
  Bytes data = OneProperty();
  for (int i = 0; i <= kMaxNesting; ++i) data.insert(data.end(), {0x0C, 0x20, 1, 0, 0, 0, 0, 1, 0, 0, 0});
  data.insert(data.end(), {0, 0});
  EXPECT_NE(ParseFailure(data).find("nest too deep"), std::string::npos);

  // The writer refuses an array whose bounds disagree with its elements.
  PropertyList disagreeing;
  disagreeing.Set("a", Value::Bytes(ByteArray{{{0, 3}}, {1, 2}}));
  EXPECT_THROW(Serialize(disagreeing), BagFormatError);
}

#ifdef HG_PROPERTY_BAG_CORPUS
// Replays the fuzzer's corpus through the reader under the sanitizers.
TEST(PropertyBagCorpus, EveryInputParsesAndWritesBackOrFailsCleanly) {
  std::size_t inputs = 0, parsed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HG_PROPERTY_BAG_CORPUS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ++inputs;
    try {
      EXPECT_EQ(Serialize(Parse(bytes)), bytes) << entry.path();
      ++parsed;
    } catch (const BagFormatError&) {
    }
  }
  EXPECT_GT(inputs, 10u);
  EXPECT_GT(parsed, 0u);
}
#endif

}  // namespace
}  // namespace tk
