// The protected settings store.
#include "app/protection/settings_store.h"

#include <limits>

#include "app/engine/failure.h"
#include "shared/global/text_encoders.h"

namespace app::protection {
namespace {

// The number the library gives bytes that are not a property bag.
constexpr std::int32_t kInvalidData = static_cast<std::int32_t>(0x8007000Du);
// The language runtime's "Type mismatch".
constexpr std::int32_t kTypeMismatch = 13;

[[noreturn]] void Corrupt(const std::string& why) {
  throw Failure(kInvalidData, "The stored settings are not readable: " + why);
}

std::string Numbered(char letter, std::int64_t i) { return letter + std::to_string(i); }

bool IsSigned(tk::ValueKind kind) {
  return kind == tk::ValueKind::Int8 || kind == tk::ValueKind::Int16 ||
         kind == tk::ValueKind::Int32 || kind == tk::ValueKind::Int64 || kind == tk::ValueKind::Int;
}

bool IsUnsigned(tk::ValueKind kind) {
  return kind == tk::ValueKind::UInt8 || kind == tk::ValueKind::UInt16 ||
         kind == tk::ValueKind::UInt32 || kind == tk::ValueKind::UInt64 ||
         kind == tk::ValueKind::UInt;
}

// The count "c" of a bag: any signed integer that fits a 32-bit count.
std::int64_t CountOf(const tk::PropertyList& bag) {
  const Setting* count = bag.Find("c");
  if (!count) return 0;
  if (IsSigned(count->kind()) && count->AsSigned() >= 0 &&
      count->AsSigned() <= std::numeric_limits<std::int32_t>::max()) {
    return count->AsSigned();
  }
  Corrupt("the count \"c\" is not a number of entries.");
}

template <typename Body>
void LoggedAs(const char* source, Body&& body) {
  Trapped(body, [&](const Failure& failure) {
    SwallowFailure(failure, source, Severity::kInternalError);
  });
}

}  // namespace

std::vector<std::uint8_t> CMyPropertyBag::Contents() const {
  tk::PropertyList bag;
  const auto& all = entries_.entries();
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto number = static_cast<std::int64_t>(i + 1);
    bag.Set(Numbered('n', number), Setting::Text(all[i].name));
    bag.Set(Numbered('v', number), all[i].value);
  }
  bag.Set("c", Setting::Signed(tk::ValueKind::Int32, static_cast<std::int64_t>(all.size())));
  return tk::Serialize(bag);
}

void CMyPropertyBag::SetContents(std::span<const std::uint8_t> bytes) {
  LoggedAs("CMyPropertyBag.Let_Contents", [&] {
    tk::PropertyList bag;
    try {
      bag = tk::Parse(bytes);
    } catch (const tk::BagFormatError& error) {
      Corrupt(error.what());
    }
    // Everything is checked before the first entry is added, so a bag that is
    // not whole leaves this one as it was.
    tk::PropertyList added;
    const std::int64_t count = CountOf(bag);
    for (std::int64_t i = 1; i <= count; ++i) {
      const Setting* name = bag.Find(Numbered('n', i));
      const Setting* value = bag.Find(Numbered('v', i));
      if (!name || !value) Corrupt("entry " + std::to_string(i) + " is missing.");
      if (name->kind() != tk::ValueKind::Text) {
        Corrupt("the name of entry " + std::to_string(i) + " is not text.");
      }
      if (added.Find(name->AsText()) || entries_.Find(name->AsText())) {
        Corrupt("the name \"" + name->AsText() + "\" is there twice.");
      }
      added.Set(name->AsText(), *value);
    }
    for (const auto& entry : added.entries()) entries_.Set(entry.name, entry.value);
  });
}

bool CMyPropertyBag::WriteProperty(const std::string& name, Setting value) {
  bool written = false;
  LoggedAs("CMyPropertyBag.WriteProperty", [&] {
    entries_.Remove(name);
    entries_.Set(name, std::move(value));
    written = true;
  });
  return written;
}

Setting CMyPropertyBag::ReadProperty(const std::string& name, const Setting& defaultValue) const {
  const Setting* found = entries_.Find(name);
  return found ? *found : defaultValue;
}

bool CRData::WriteProperties(const std::vector<std::pair<std::string, Setting>>& values) {
  bool written = false;
  LoggedAs("CRData.WriteProperty", [&] {
    CMyPropertyBag bag = ReadCurrentContainer().value_or(CMyPropertyBag{});
    for (const auto& [name, value] : values) {
      if (!bag.WriteProperty(name, value)) return;
    }
    written = WriteCurrentContainer(bag);
  });
  return written;
}

bool CRData::WriteProperty(const std::string& name, Setting value) {
  return WriteProperties({{name, std::move(value)}});
}

Setting CRData::ReadProperty(const std::string& name, const Setting& defaultValue) {
  Setting value;
  LoggedAs("CRData.ReadProperty", [&] {
    if (const auto bag = ReadCurrentContainer()) value = bag->ReadProperty(name, defaultValue);
  });
  return value;
}

std::optional<CMyPropertyBag> CRData::ReadCurrentContainer() {
  // A store that cannot be read is not written over either: its failure
  // reaches the caller's trap.
  const std::string text = text_.Read();
  if (text.empty()) return std::nullopt;
  CMyPropertyBag bag;
  const std::vector<std::uint8_t> bytes = tk::Base64DecodeB(text);
  bag.SetContents(bytes);
  return bag;
}

bool CRData::WriteCurrentContainer(const CMyPropertyBag& bag) {
  bool written = false;
  LoggedAs("CRData.WriteCurrentContainer", [&] {
    const std::vector<std::uint8_t> bytes = bag.Contents();
    text_.Write(tk::Base64EncodeB(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    written = true;
  });
  return written;
}

bool AsBoolean(const Setting& value) {
  const tk::ValueKind kind = value.kind();
  if (kind == tk::ValueKind::Empty) return false;
  if (kind == tk::ValueKind::Boolean) return value.AsBoolean();
  if (IsSigned(kind)) return value.AsSigned() != 0;
  if (IsUnsigned(kind)) return value.AsUnsigned() != 0;
  throw Failure(kTypeMismatch, "Type mismatch");
}

std::string AsText(const Setting& value) {
  if (value.kind() == tk::ValueKind::Empty) return {};
  if (value.kind() == tk::ValueKind::Text) return value.AsText();
  throw Failure(kTypeMismatch, "Type mismatch");
}

}  // namespace app::protection
