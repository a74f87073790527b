// The property bag's contents and their byte form.
#include "shared/containers/property_bag.h"

#include <cstring>
#include <limits>

#include "common/text/utf.h"

namespace tk {

namespace {

constexpr std::uint8_t kMagic[4] = {'t', 'k', 'P', 'B'};
constexpr std::uint16_t kVersion = 1;

bool IsSignedKind(ValueKind kind) {
  switch (kind) {
    case ValueKind::Int8:
    case ValueKind::Int16:
    case ValueKind::Int32:
    case ValueKind::Int64:
    case ValueKind::Int:
    case ValueKind::Currency:
      return true;
    default:
      return false;
  }
}

bool IsUnsignedKind(ValueKind kind) {
  switch (kind) {
    case ValueKind::UInt8:
    case ValueKind::UInt16:
    case ValueKind::UInt32:
    case ValueKind::UInt64:
    case ValueKind::UInt:
      return true;
    default:
      return false;
  }
}

// Width in bytes of an integer kind in the byte form.
std::size_t WidthOf(ValueKind kind) {
  switch (kind) {
    case ValueKind::Int8:
    case ValueKind::UInt8:
      return 1;
    case ValueKind::Int16:
    case ValueKind::UInt16:
      return 2;
    case ValueKind::Int32:
    case ValueKind::UInt32:
    case ValueKind::Int:
    case ValueKind::UInt:
      return 4;
    default:
      return 8;
  }
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000)) return false;
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    i += length;
  }
  return true;
}

template <typename T>
bool SameBits(T a, T b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

class Writer {
 public:
  std::vector<std::uint8_t> Finish(const PropertyList& root) {
    out_.insert(out_.end(), std::begin(kMagic), std::end(kMagic));
    Unsigned(kVersion, 2);
    List(root, 0);
    return std::move(out_);
  }

 private:
  void Unsigned(std::uint64_t n, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out_.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
  }
  template <typename T>
  void Bits(T real) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &real, sizeof(T));
    Unsigned(bits, sizeof(T));
  }
  void Length(std::size_t n) {
    if (n > std::numeric_limits<std::uint32_t>::max()) {
      throw BagFormatError("A value is too large for a property bag.");
    }
    Unsigned(n, 4);
  }
  void Text(const std::string& text) {
    if (!IsValidUtf8(text)) throw BagFormatError("A text to be written is not valid UTF-8.");
    Length(text.size());
    out_.insert(out_.end(), text.begin(), text.end());
  }
  void Bounds(const std::vector<Bound>& bounds) {
    Unsigned(bounds.size(), 1);
    for (const Bound& b : bounds) {
      Unsigned(static_cast<std::uint32_t>(b.lower), 4);
      Unsigned(b.count, 4);
    }
  }
  static void CheckNesting(int depth) {
    if (depth > kMaxNesting) {
      throw BagFormatError("Objects and arrays nest more than " + std::to_string(kMaxNesting) +
                           " levels deep.");
    }
  }
  static void CheckShape(const std::vector<Bound>& bounds, std::size_t elements) {
    if (bounds.empty() || bounds.size() > kMaxDimensions ||
        ElementCount(bounds, elements) != elements) {
      throw BagFormatError("An array's bounds do not match its elements.");
    }
  }

  void List(const PropertyList& list, int depth) {
    CheckNesting(depth);
    Length(list.size());
    for (const Property& p : list.entries()) {
      Text(p.name);
      Item(p.value, depth);
    }
  }

  void Item(const Value& value, int depth) {
    const ValueKind kind = value.kind();
    Unsigned(static_cast<std::uint16_t>(kind), 2);
    if (IsSignedKind(kind)) {
      return Unsigned(static_cast<std::uint64_t>(value.AsSigned()), WidthOf(kind));
    }
    if (IsUnsignedKind(kind)) return Unsigned(value.AsUnsigned(), WidthOf(kind));
    switch (kind) {
      case ValueKind::Empty:
      case ValueKind::Null:
        return;
      case ValueKind::Boolean:
        return Unsigned(value.AsBoolean() ? 1 : 0, 1);
      case ValueKind::Single:
        return Bits(value.AsSingle());
      case ValueKind::Double:
      case ValueKind::Date:
        return Bits(value.AsReal());
      case ValueKind::Decimal: {
        const Decimal& d = value.AsDecimal();
        Unsigned(d.scale, 1);
        Unsigned(d.sign, 1);
        Unsigned(d.high, 4);
        return Unsigned(d.low, 8);
      }
      case ValueKind::Text:
        return Text(value.AsText());
      case ValueKind::ByteArray: {
        const ByteArray& a = value.AsBytes();
        CheckShape(a.bounds, a.bytes.size());
        Bounds(a.bounds);
        out_.insert(out_.end(), a.bytes.begin(), a.bytes.end());
        return;
      }
      case ValueKind::VariantArray: {
        const VariantArray& a = value.AsArray();
        CheckNesting(depth + 1);
        CheckShape(a.bounds, a.elements.size());
        Bounds(a.bounds);
        for (const Value& element : a.elements) Item(element, depth + 1);
        return;
      }
      case ValueKind::Object: {
        const PersistedObject* object = value.AsObject();
        Unsigned(object ? 1 : 0, 1);
        if (!object) return;
        Unsigned(object->classId.data1, 4);
        Unsigned(object->classId.data2, 2);
        Unsigned(object->classId.data3, 2);
        out_.insert(out_.end(), object->classId.data4.begin(), object->classId.data4.end());
        return List(object->properties, depth + 1);
      }
      default:
        throw BagFormatError("A value of an unknown kind cannot be written.");
    }
  }

  std::vector<std::uint8_t> out_;
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  PropertyList Whole() {
    if (bytes_.size() < sizeof(kMagic) ||
        std::memcmp(bytes_.data(), kMagic, sizeof(kMagic)) != 0) {
      throw BagFormatError("The data is not a property bag.");
    }
    pos_ = sizeof(kMagic);
    const auto version = static_cast<std::uint16_t>(Unsigned(2));
    if (version != kVersion) {
      throw BagFormatError("The property bag was written in format version " +
                           std::to_string(version) + ", which this version cannot read.");
    }
    PropertyList root = List(0);
    if (pos_ != bytes_.size()) Fail("unexpected bytes after the end");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw BagFormatError("The property bag data is corrupt: " + what + " at offset " +
                         std::to_string(pos_) + ".");
  }
  void Need(std::size_t n) const {
    if (bytes_.size() - pos_ < n) Fail("it ends too soon");
  }
  std::uint64_t Unsigned(std::size_t width) {
    Need(width);
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < width; ++i) n |= std::uint64_t{bytes_[pos_ + i]} << (8 * i);
    pos_ += width;
    return n;
  }
  std::int64_t Signed(std::size_t width) {
    const std::uint64_t raw = Unsigned(width);
    const unsigned shift = static_cast<unsigned>(64 - 8 * width);
    // Sign-extends the low `width` bytes.
    return static_cast<std::int64_t>(raw << shift) >> shift;
  }
  template <typename T>
  T Bits() {
    const std::uint64_t raw = Unsigned(sizeof(T));
    T real;
    std::memcpy(&real, &raw, sizeof(T));
    return real;
  }
  std::string Text(const char* what) {
    const std::uint64_t length = Unsigned(4);
    Need(length);
    std::string text(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
    if (!IsValidUtf8(text)) Fail(std::string(what) + " is not valid UTF-8");
    pos_ += length;
    return text;
  }
  std::vector<Bound> Bounds(std::uint64_t minimumElementSize, std::uint64_t& count) {
    const std::uint64_t dimensions = Unsigned(1);
    if (dimensions == 0 || dimensions > kMaxDimensions) {
      Fail("an array has no valid dimension count");
    }
    std::vector<Bound> bounds;
    for (std::uint64_t i = 0; i < dimensions; ++i) {
      Bound b;
      b.lower = static_cast<std::int32_t>(Signed(4));
      b.count = static_cast<std::uint32_t>(Unsigned(4));
      bounds.push_back(b);
    }
    try {
      count = ElementCount(bounds, (bytes_.size() - pos_) / minimumElementSize);
    } catch (const BagFormatError&) {
      Fail("an array's bounds leave the 32-bit range or the data holding it");
    }
    return bounds;
  }

  PropertyList List(int depth) {
    if (depth > kMaxNesting) Fail("objects and arrays nest too deep");
    const std::uint64_t count = Unsigned(4);
    PropertyList list;
    // No reservation: a forged count ends at the end of the data.
    for (std::uint64_t i = 0; i < count; ++i) {
      std::string name = Text("a property name");
      if (list.Find(name)) Fail("the property \"" + name + "\" appears twice");
      Value value = Item(depth);
      list.Set(std::move(name), std::move(value));
    }
    return list;
  }

  Value Item(int depth) {
    const auto kind = static_cast<ValueKind>(Unsigned(2));
    if (IsSignedKind(kind)) return Value::Signed(kind, Signed(WidthOf(kind)));
    if (IsUnsignedKind(kind)) return Value::Unsigned(kind, Unsigned(WidthOf(kind)));
    switch (kind) {
      case ValueKind::Empty:
        return Value::Empty();
      case ValueKind::Null:
        return Value::Null();
      case ValueKind::Boolean: {
        const std::uint64_t b = Unsigned(1);
        if (b > 1) Fail("a Boolean is neither 0 nor 1");
        return Value::Boolean(b == 1);
      }
      case ValueKind::Single:
        return Value::Single(Bits<float>());
      case ValueKind::Double:
      case ValueKind::Date:
        return Value::Real(kind, Bits<double>());
      case ValueKind::Decimal: {
        Decimal d;
        d.scale = static_cast<std::uint8_t>(Unsigned(1));
        d.sign = static_cast<std::uint8_t>(Unsigned(1));
        d.high = static_cast<std::uint32_t>(Unsigned(4));
        d.low = Unsigned(8);
        if (d.scale > 28 || (d.sign != 0 && d.sign != 0x80)) Fail("a decimal is malformed");
        return Value::Dec(d);
      }
      case ValueKind::Text:
        return Value::Text(Text("a text"));
      case ValueKind::ByteArray: {
        std::uint64_t count = 0;
        ByteArray a;
        a.bounds = Bounds(1, count);
        a.bytes.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                       bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + count));
        pos_ += count;
        return Value::Bytes(std::move(a));
      }
      case ValueKind::VariantArray: {
        if (depth + 1 > kMaxNesting) Fail("objects and arrays nest too deep");
        std::uint64_t count = 0;
        VariantArray a;
        a.bounds = Bounds(2, count);  // the smallest element is a bare kind tag
        // An element in memory is far bigger than its smallest encoding: a
        // forged count must not reserve more than the input can fill.
        a.elements.reserve(std::min<std::uint64_t>(count, 1024));
        for (std::uint64_t i = 0; i < count; ++i) a.elements.push_back(Item(depth + 1));
        return Value::Array(std::move(a));
      }
      case ValueKind::Object: {
        const std::uint64_t present = Unsigned(1);
        if (present > 1) Fail("an object marker is neither 0 nor 1");
        if (present == 0) return Value::NoObject();
        auto object = std::make_shared<PersistedObject>();
        object->classId.data1 = static_cast<std::uint32_t>(Unsigned(4));
        object->classId.data2 = static_cast<std::uint16_t>(Unsigned(2));
        object->classId.data3 = static_cast<std::uint16_t>(Unsigned(2));
        for (auto& b : object->classId.data4) b = static_cast<std::uint8_t>(Unsigned(1));
        object->properties = List(depth + 1);
        return Value::Object(std::move(object));
      }
      default:
        pos_ -= 2;
        Fail("unknown value kind " + std::to_string(static_cast<unsigned>(kind)));
    }
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace

Value Value::Signed(ValueKind kind, std::int64_t n) {
  if (!IsSignedKind(kind)) throw std::invalid_argument("not a signed kind");
  return Value(kind, n);
}

Value Value::Unsigned(ValueKind kind, std::uint64_t n) {
  if (!IsUnsignedKind(kind)) throw std::invalid_argument("not an unsigned kind");
  return Value(kind, n);
}

Value Value::Real(ValueKind kind, double d) {
  if (kind != ValueKind::Double && kind != ValueKind::Date) {
    throw std::invalid_argument("not a real kind");
  }
  return Value(kind, d);
}

Value Value::Object(std::shared_ptr<PersistedObject> o) {
  return Value(ValueKind::Object, std::move(o));
}

bool operator==(const VariantArray& a, const VariantArray& b) {
  return a.bounds == b.bounds && a.elements == b.elements;
}

bool operator==(const Value& a, const Value& b) {
  if (a.kind_ != b.kind_) return false;
  if (const auto* x = std::get_if<float>(&a.payload_)) return SameBits(*x, b.AsSingle());
  if (const auto* x = std::get_if<double>(&a.payload_)) return SameBits(*x, b.AsReal());
  if (a.kind_ == ValueKind::Object) {
    const PersistedObject* x = a.AsObject();
    const PersistedObject* y = b.AsObject();
    return x == y || (x && y && *x == *y);
  }
  return a.payload_ == b.payload_;
}

const Value* PropertyList::Find(std::string_view name) const {
  const auto found = byName_.find(hg::text::FoldCase(name));
  return found == byName_.end() ? nullptr : &entries_[found->second].value;
}

void PropertyList::Set(std::string name, Value value) {
  const auto [found, added] = byName_.emplace(hg::text::FoldCase(name), entries_.size());
  if (!added) {
    entries_[found->second].value = std::move(value);
    return;
  }
  try {
    entries_.push_back(Property{std::move(name), std::move(value)});
  } catch (...) {
    byName_.erase(found);
    throw;
  }
}

void PropertyList::Remove(std::string_view name) {
  const auto found = byName_.find(hg::text::FoldCase(name));
  if (found == byName_.end()) return;
  const std::size_t index = found->second;
  byName_.erase(found);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  for (auto& [folded, at] : byName_) {
    if (at > index) --at;
  }
}

void PropertyList::Write(std::string name, Value value, const Value* defaultValue) {
  if (defaultValue && value == *defaultValue) {
    Remove(name);
  } else {
    Set(std::move(name), std::move(value));
  }
}

bool operator==(const PropertyList& a, const PropertyList& b) {
  if (a.entries_.size() != b.entries_.size()) return false;
  for (std::size_t i = 0; i < a.entries_.size(); ++i) {
    if (a.entries_[i].name != b.entries_[i].name || !(a.entries_[i].value == b.entries_[i].value)) {
      return false;
    }
  }
  return true;
}

std::uint64_t ElementCount(const std::vector<Bound>& bounds, std::uint64_t limit) {
  bool empty = false;
  for (const Bound& b : bounds) {
    const std::int64_t upper = std::int64_t{b.lower} + std::int64_t{b.count} - 1;
    if (upper > std::numeric_limits<std::int32_t>::max() ||
        upper < std::numeric_limits<std::int32_t>::min()) {
      throw BagFormatError("An array bound is out of range.");
    }
    empty = empty || b.count == 0;
  }
  if (empty) return 0;
  std::uint64_t total = 1;
  for (const Bound& b : bounds) {
    if (total > limit / b.count) throw BagFormatError("An array is too large.");
    total *= b.count;
  }
  return total;
}

std::vector<std::uint8_t> Serialize(const PropertyList& properties) {
  return Writer().Finish(properties);
}

PropertyList Parse(std::span<const std::uint8_t> bytes) { return Reader(bytes).Whole(); }

}  // namespace tk
