// The property bag's contents: named, typed values (persisted objects nest)
// and their versioned byte form (docs/property-bag-format.md).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace tk {

// The kinds a bag keeps. Each number is the automation type tag of the value
// it stands for, and is the tag written in the byte form.
enum class ValueKind : std::uint16_t {
  Empty = 0,
  Null = 1,
  Int16 = 2,
  Int32 = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  Text = 8,
  Object = 9,
  Boolean = 11,
  Decimal = 14,
  Int8 = 16,
  UInt8 = 17,
  UInt16 = 18,
  UInt32 = 19,
  Int64 = 20,
  UInt64 = 21,
  Int = 22,
  UInt = 23,
  VariantArray = 0x200C,
  ByteArray = 0x2011,
};

struct Decimal {
  std::uint8_t scale = 0;  // 0..28
  std::uint8_t sign = 0;   // 0 or 0x80
  std::uint32_t high = 0;
  std::uint64_t low = 0;
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

// A class identifier in the field layout of the platform's GUID.
struct ClassId {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};
  friend bool operator==(const ClassId&, const ClassId&) = default;
};

// One dimension of an array, as a script sees it: lower bound and length.
struct Bound {
  std::int32_t lower = 0;
  std::uint32_t count = 0;
  friend bool operator==(const Bound&, const Bound&) = default;
};

class Value;
class PropertyList;
struct PersistedObject;

struct ByteArray {
  std::vector<Bound> bounds;  // first dimension first; elements in storage order
  std::vector<std::uint8_t> bytes;
  friend bool operator==(const ByteArray&, const ByteArray&) = default;
};

struct VariantArray {
  std::vector<Bound> bounds;
  std::vector<Value> elements;
  friend bool operator==(const VariantArray&, const VariantArray&);
};

// A typed value. Numbers keep their own kind: an Int16 5 and an Int32 5 differ.
class Value {
 public:
  Value() = default;
  static Value Empty() { return Value(ValueKind::Empty, std::monostate{}); }
  static Value Null() { return Value(ValueKind::Null, std::monostate{}); }
  static Value Boolean(bool b) { return Value(ValueKind::Boolean, b); }
  // Int8, Int16, Int32, Int64, Int, Currency (ten-thousandths).
  static Value Signed(ValueKind kind, std::int64_t n);
  // UInt8, UInt16, UInt32, UInt64, UInt.
  static Value Unsigned(ValueKind kind, std::uint64_t n);
  // Double, Date (days since 30 December 1899).
  static Value Real(ValueKind kind, double d);
  static Value Single(float f) { return Value(ValueKind::Single, f); }
  static Value Dec(const Decimal& d) { return Value(ValueKind::Decimal, d); }
  static Value Text(std::string utf8) { return Value(ValueKind::Text, std::move(utf8)); }
  static Value Bytes(ByteArray a) { return Value(ValueKind::ByteArray, std::move(a)); }
  static Value Array(VariantArray a) { return Value(ValueKind::VariantArray, std::move(a)); }
  // No object (Nothing).
  static Value NoObject() { return Value(ValueKind::Object, std::shared_ptr<PersistedObject>()); }
  static Value Object(std::shared_ptr<PersistedObject> o);

  ValueKind kind() const noexcept { return kind_; }
  bool AsBoolean() const { return std::get<bool>(payload_); }
  std::int64_t AsSigned() const { return std::get<std::int64_t>(payload_); }
  std::uint64_t AsUnsigned() const { return std::get<std::uint64_t>(payload_); }
  double AsReal() const { return std::get<double>(payload_); }
  float AsSingle() const { return std::get<float>(payload_); }
  const Decimal& AsDecimal() const { return std::get<Decimal>(payload_); }
  const std::string& AsText() const { return std::get<std::string>(payload_); }
  const ByteArray& AsBytes() const { return std::get<ByteArray>(payload_); }
  const VariantArray& AsArray() const { return std::get<VariantArray>(payload_); }
  // Null for Nothing.
  const PersistedObject* AsObject() const {
    return std::get<std::shared_ptr<PersistedObject>>(payload_).get();
  }
  std::shared_ptr<const PersistedObject> SharedObject() const {
    return std::get<std::shared_ptr<PersistedObject>>(payload_);
  }

  // Same kind and same contents; reals compare bit for bit, objects by class
  // and properties.
  friend bool operator==(const Value& a, const Value& b);

 private:
  using Payload =
      std::variant<std::monostate, bool, std::int64_t, std::uint64_t, float, double, Decimal,
                   std::string, ByteArray, VariantArray, std::shared_ptr<PersistedObject>>;
  Value(ValueKind kind, Payload payload) : kind_(kind), payload_(std::move(payload)) {}

  ValueKind kind_ = ValueKind::Empty;
  Payload payload_;
};

struct Property {
  std::string name;
  Value value;
};

// Properties in the order they were first written. Names compare without
// regard to letter case; writing a name again replaces its value in place.
class PropertyList {
 public:
  const Value* Find(std::string_view name) const;
  void Set(std::string name, Value value);
  void Remove(std::string_view name);
  // The bag's WriteProperty: a value equal to the default is not stored (and
  // replaces what was stored, so reading gives the default back).
  void Write(std::string name, Value value, const Value* defaultValue);

  const std::vector<Property>& entries() const noexcept { return entries_; }
  std::size_t size() const noexcept { return entries_.size(); }
  friend bool operator==(const PropertyList& a, const PropertyList& b);

 private:
  std::vector<Property> entries_;
  std::unordered_map<std::string, std::size_t> byName_;  // folded name -> index
};

struct PersistedObject {
  ClassId classId;
  PropertyList properties;
  friend bool operator==(const PersistedObject&, const PersistedObject&) = default;
};

// Objects and arrays nest at most this deep, in memory and in the byte form;
// deeper data (or a cycle of objects holding each other) is refused.
inline constexpr int kMaxNesting = 64;
inline constexpr std::size_t kMaxDimensions = 60;

// Corrupt, truncated or unsupported bytes, and contents that cannot be written.
class BagFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> Serialize(const PropertyList& properties);
// Accepts exactly what Serialize writes; anything else throws BagFormatError.
PropertyList Parse(std::span<const std::uint8_t> bytes);

// Total element count of an array shape; throws BagFormatError past `limit`
// or when an upper bound leaves the 32-bit range.
std::uint64_t ElementCount(const std::vector<Bound>& bounds, std::uint64_t limit);

}  // namespace tk
