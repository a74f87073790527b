// The protected settings store: named values kept in order in one registry
// text value, as the Base64 text of a property bag's byte form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "shared/containers/property_bag.h"

namespace app::protection {

using Setting = tk::Value;

// The names of the two settings of the password protection.
inline constexpr char kProtectionEnabled[] = "PPEnabled";
inline constexpr char kStoredPassword[] = "PP";

// Named values in the order they were last written. Names compare without
// regard to letter case.
class CMyPropertyBag {
 public:
  // The byte form: "n1", "v1", "n2", "v2", ... and the count "c".
  std::vector<std::uint8_t> Contents() const;
  // Adds the entries the bytes hold. Bytes that are not such a bag, or a bag
  // that is not whole, add nothing: the failure is logged.
  void SetContents(std::span<const std::uint8_t> bytes);
  // Writing a name again moves it to the end. False (and logged) when the
  // value could not be kept.
  bool WriteProperty(const std::string& name, Setting value);
  // The value, or `defaultValue` when the bag has none of that name.
  Setting ReadProperty(const std::string& name, const Setting& defaultValue = {}) const;

  const std::vector<tk::Property>& entries() const noexcept { return entries_.entries(); }

 private:
  tk::PropertyList entries_;
};

// Where the store's text lives: one registry string value.
class SettingsText {
 public:
  virtual ~SettingsText() = default;
  // Empty when the value or its key does not exist. Throws Failure.
  virtual std::string Read() = 0;
  // Creates the key when it is missing. Throws Failure.
  virtual void Write(const std::string& text) = 0;
};

// The persisted record. Every call reads the whole store; every write stores
// it whole again. Failures are logged here and never reach the caller.
class CRData {
 public:
  explicit CRData(SettingsText& text) noexcept : text_(text) {}

  // Sets the values, in order, and stores them in one write. False (and
  // logged) when the store was left as it was.
  bool WriteProperties(const std::vector<std::pair<std::string, Setting>>& values);
  bool WriteProperty(const std::string& name, Setting value);
  // Empty when nothing is stored at all; otherwise the value, or the default
  // when the store lacks it.
  Setting ReadProperty(const std::string& name, const Setting& defaultValue = {});

 private:
  // None when nothing is stored; a store that is not readable gives an empty bag.
  std::optional<CMyPropertyBag> ReadCurrentContainer();
  bool WriteCurrentContainer(const CMyPropertyBag& bag);

  SettingsText& text_;
};

// A stored value as a Boolean, the way the program reads "PPEnabled":
// Empty is false, a number is true when not zero. Throws Failure for any
// other kind.
bool AsBoolean(const Setting& value);

// A stored value as text: Empty is empty text. Throws Failure for any other
// kind.
std::string AsText(const Setting& value);

}  // namespace app::protection
