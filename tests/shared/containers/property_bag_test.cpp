#include "shared/containers/property_bag.h"

#include <gtest/gtest.h>

#include <cmath>
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

void AppendU32(Bytes& out, std::uint32_t n) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
}

// The header and a root list of one property named "a", value to follow.
Bytes OneProperty() {
  Bytes b = {'t', 'k', 'P', 'B', 1, 0};
  AppendU32(b, 1);
  AppendU32(b, 1);
  b.push_back('a');
  return b;
}

PropertyList EveryKind() {
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
  list.Set("object", Value::Object(MakeObject(42, [] {
             PropertyList p;
             p.Set("Id", Value::Text("{1}"));
             return p;
           }())));
  return list;
}

TEST(PropertyBagFormat, EveryValueKindRoundTripsWithItsKind) {
  const PropertyList original = EveryKind();
  const PropertyList restored = RoundTrip(original);
  EXPECT_EQ(restored, original);
  EXPECT_EQ(restored.Find("i2")->kind(), ValueKind::Int16);
  EXPECT_EQ(restored.Find("uint")->AsUnsigned(), 7u);
  EXPECT_TRUE(std::signbit(restored.Find("r8")->AsReal()));
  EXPECT_TRUE(std::isnan(restored.Find("nan")->AsReal()));
  EXPECT_EQ(restored.Find("text")->AsText().size(), 9u);
  EXPECT_EQ(restored.Find("bytes")->AsBytes().bounds[0].lower, -1);
  EXPECT_EQ(restored.Find("nothing")->AsObject(), nullptr);
  EXPECT_EQ(restored.Find("object")->AsObject()->classId.data1, 42u);
}

TEST(PropertyBagFormat, KindsDifferEvenWhenNumbersAgree) {
  EXPECT_FALSE(Value::Signed(ValueKind::Int16, 5) == Value::Signed(ValueKind::Int32, 5));
  EXPECT_FALSE(Value::Real(ValueKind::Double, 1) == Value::Real(ValueKind::Date, 1));
}

TEST(PropertyBagFormat, NestedObjectsThreeDeepKeepOrderAtEveryLevel) {
  PropertyList leaf;
  leaf.Set("z", Value::Text("last written first"));
  leaf.Set("a", Value::Signed(ValueKind::Int32, 3));
  PropertyList middle;
  middle.Set("V", Value::Array(VariantArray{{{0, 2}},
                                            {Value::Object(MakeObject(3, leaf)), Value::Empty()}}));
  PropertyList top;
  top.Set("N", Value::Object(MakeObject(2, middle)));
  PropertyList root;
  root.Set("root", Value::Object(MakeObject(1, top)));

  const PropertyList restored = RoundTrip(root);
  ASSERT_EQ(restored, root);
  const PersistedObject* level1 = restored.Find("root")->AsObject();
  const PersistedObject* level2 = level1->properties.Find("n")->AsObject();
  const PersistedObject* level3 = level2->properties.Find("v")->AsArray().elements[0].AsObject();
  ASSERT_NE(level3, nullptr);
  EXPECT_EQ(level3->classId.data1, 3u);
  EXPECT_EQ(level3->properties.entries()[0].name, "z");
  EXPECT_EQ(level3->properties.entries()[1].value.AsSigned(), 3);
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

TEST(PropertyBagDefaults, ValueEqualToDefaultIsNotStored) {
  PropertyList list;
  const Value zero = Value::Signed(ValueKind::Int32, 0);
  list.Write("n", zero, &zero);
  EXPECT_EQ(list.Find("n"), nullptr);
  const Value shortZero = Value::Signed(ValueKind::Int16, 0);
  list.Write("n", shortZero, &zero);
  ASSERT_NE(list.Find("n"), nullptr);
  EXPECT_EQ(list.Find("n")->kind(), ValueKind::Int16);
  list.Write("Id", Value::Text(""), nullptr);
  EXPECT_NE(list.Find("Id"), nullptr);
}

TEST(PropertyBagDefaults, WritingTheDefaultOverAStoredValueDropsIt) {
  PropertyList list;
  const Value empty = Value::Text("");
  list.Write("a", Value::Text("one"), &empty);
  list.Write("b", Value::Text("two"), &empty);
  list.Write("c", Value::Text("three"), &empty);
  list.Write("A", Value::Text(""), &empty);
  EXPECT_EQ(list.Find("a"), nullptr);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.Find("C")->AsText(), "three");
  EXPECT_EQ(list.entries()[0].name, "b");
}

TEST(PropertyBagNames, CompareWithoutCaseAndRewriteInPlace) {
  PropertyList list;
  list.Set("Alpha", Value::Text("1"));
  list.Set("Beta", Value::Text("2"));
  list.Set("ALPHA", Value::Text("3"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.entries()[0].name, "Alpha");
  EXPECT_EQ(list.Find("alpha")->AsText(), "3");
}

TEST(PropertyBagReader, EveryTruncationFailsCleanly) {
  const Bytes whole = Serialize(EveryKind());
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_NE(ParseFailure(part), "<parsed>") << "length " << length;
  }
  Bytes longer = whole;
  longer.push_back(0);
  EXPECT_NE(ParseFailure(longer).find("after the end"), std::string::npos);
}

TEST(PropertyBagReader, RejectsForeignDataAndOtherVersions) {
  EXPECT_EQ(ParseFailure({'P', 'K', 3, 4, 1, 0, 0, 0, 0, 0}), "The data is not a property bag.");
  EXPECT_NE(ParseFailure({'t', 'k', 'P', 'B', 2, 0, 0, 0, 0, 0}).find("version 2"),
            std::string::npos);
}

TEST(PropertyBagReader, RejectsMalformedValues) {
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {{11, 0, 2}, "Boolean"},
      {{8, 0, 2, 0, 0, 0, 0xC0, 0x80}, "UTF-8"},        // overlong NUL
      {{8, 0, 3, 0, 0, 0, 0xED, 0xA0, 0x80}, "UTF-8"},  // a surrogate
      {{14, 0, 29, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "decimal"},
      {{9, 0, 2}, "object marker"},
      {{0x34, 0x12}, "unknown value kind 4660"},
      {{0x11, 0x20, 0}, "dimension"},
      {{0x11, 0x20, 61}, "dimension"},
  };
  for (const auto& [tail, expected] : cases) {
    Bytes data = OneProperty();
    data.insert(data.end(), tail.begin(), tail.end());
    EXPECT_NE(ParseFailure(data).find(expected), std::string::npos)
        << expected << ": " << ParseFailure(data);
  }
}

TEST(PropertyBagReader, ForgedLengthsAllocateNothing) {
  Bytes manyProperties = {'t', 'k', 'P', 'B', 1, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_NE(ParseFailure(manyProperties).find("ends too soon"), std::string::npos);

  Bytes longText = OneProperty();
  longText.insert(longText.end(), {8, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'x'});
  EXPECT_NE(ParseFailure(longText).find("ends too soon"), std::string::npos);

  // Two dimensions of 65536 elements each: four gigabytes the data cannot hold.
  Bytes bigArray = OneProperty();
  bigArray.insert(bigArray.end(), {0x0C, 0x20, 2});
  for (int i = 0; i < 2; ++i) {
    AppendU32(bigArray, 0);
    AppendU32(bigArray, 0x10000);
  }
  EXPECT_NE(ParseFailure(bigArray).find("array's bounds"), std::string::npos);

  Bytes pastInt32 = OneProperty();
  pastInt32.insert(pastInt32.end(), {0x11, 0x20, 1});
  AppendU32(pastInt32, 0x7FFFFFFF);
  AppendU32(pastInt32, 2);
  pastInt32.insert(pastInt32.end(), {1, 2});
  EXPECT_NE(ParseFailure(pastInt32).find("array's bounds"), std::string::npos);

  // Empty, from the lowest bound: its upper bound would lie below every 32-bit one.
  Bytes belowInt32 = OneProperty();
  belowInt32.insert(belowInt32.end(), {0x11, 0x20, 1});
  AppendU32(belowInt32, 0x80000000u);
  AppendU32(belowInt32, 0);
  EXPECT_NE(ParseFailure(belowInt32).find("array's bounds"), std::string::npos);
}

TEST(PropertyBagReader, RejectsDuplicateNamesInAnyLetterCase) {
  Bytes data = {'t', 'k', 'P', 'B', 1, 0, 2, 0, 0, 0};
  data.insert(data.end(), {1, 0, 0, 0, 'k', 0, 0, 1, 0, 0, 0, 'K', 0, 0});
  EXPECT_NE(ParseFailure(data).find("appears twice"), std::string::npos);
}

TEST(PropertyBagNesting, DeepestAcceptedLevelRoundTripsAndOneMoreIsRefused) {
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
  for (int i = 0; i <= kMaxNesting; ++i) {
    data.insert(data.end(), {0x0C, 0x20, 1});
    AppendU32(data, 0);
    AppendU32(data, 1);
  }
  data.insert(data.end(), {0, 0});
  EXPECT_NE(ParseFailure(data).find("nest too deep"), std::string::npos);
}

TEST(PropertyBagWriter, RefusesArraysWhoseBoundsDisagreeWithTheirElements) {
  PropertyList list;
  list.Set("a", Value::Bytes(ByteArray{{{0, 3}}, {1, 2}}));
  EXPECT_THROW(Serialize(list), BagFormatError);
}

}  // namespace
}  // namespace tk
