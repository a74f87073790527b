#include "shared/containers/property_bag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace tk {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
  list.Set("nan", Value::Real(ValueKind::Double, std::nan("")));
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
  EXPECT_EQ(restored.Find("i2")->kind(), ValueKind::Int16);
  EXPECT_TRUE(std::signbit(restored.Find("r8")->AsReal()));
  EXPECT_TRUE(std::isnan(restored.Find("nan")->AsReal()));
  EXPECT_EQ(restored.Find("bytes")->AsBytes().bounds[0].lower, -1);
  const PersistedObject* top = restored.Find("object")->AsObject();
  EXPECT_EQ(top->classId.data1, 42u);
  const PersistedObject* leaf = top->properties.Find("v")->AsArray().elements[0].AsObject();
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->classId.data1, 3u);
  EXPECT_EQ(leaf->properties.entries()[0].name, "z");
  EXPECT_EQ(leaf->properties.entries()[1].value.AsSigned(), 3);
}

TEST(PropertyBagFormat, ByteFormIsLittleEndianAndVersioned) {
  PropertyList list;
  list.Set("n", Value::Signed(ValueKind::Int32, 0x01020304));
  list.Set("t", Value::Boolean(true));
  const Bytes expected = {'t', 'k', 'P', 'B', 1, 0,  // magic, version 1
                          2, 0, 0, 0,                // two properties
                          1, 0, 0, 0, 'n', 3, 0, 4, 3, 2, 1,
                          1, 0, 0, 0, 't', 11, 0, 1};
  EXPECT_EQ(Serialize(list), expected);
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

TEST(PropertyBagReader, EveryTruncationAndATrailingByteFailCleanly) {
  const Bytes whole = Serialize(EveryKind());
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_NE(ParseFailure(part), "<parsed>") << "length " << length;
  }
  Bytes longer = whole;
  longer.push_back(0);
  EXPECT_NE(ParseFailure(longer).find("after the end"), std::string::npos);
}

// Corrupt and forged input fails with its reason, and forged lengths allocate nothing.
TEST(PropertyBagReader, RefusesCorruptInput) {
  const struct {
    const char* name;
    Bytes bytes;
    const char* expected;
  } rows[] = {
      {"foreign data", {'P', 'K', 3, 4, 1, 0, 0, 0, 0, 0}, "The data is not a property bag."},
      {"another version", {'t', 'k', 'P', 'B', 2, 0, 0, 0, 0, 0}, "version 2"},
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
