// Registry-file text (format version 5): key lines and value lines.
#include "shared/registry/registry_export.h"

#include <cctype>

#include "common/text/utf.h"

namespace tk {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Text in double quotes, a backslash before each backslash and quote: value
// names and string data alike, so that the file reads back as written.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// The UTF-16 text of string data, without the terminating zero unit.
std::string StringData(std::span<const std::uint8_t> data) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  if (!units.empty() && units.back() == u'\0') units.pop_back();
  return Quoted(hg::text::Utf16ToUtf8(units));
}

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Bytes before the last end in a comma; a line break goes before byte 21 and
// before every 25th byte after it (counting from 1).
std::string ByteList(std::string prefix, std::span<const std::uint8_t> data) {
  if (data.empty()) return prefix;
  for (std::size_t i = 1; i < data.size(); ++i) {
    if (i >= 21 && (i - 21) % 25 == 0) prefix += "\\\r\n  ";
    prefix += ByteToHex(data[i - 1]) + ",";
  }
  prefix += ByteToHex(data.back());
  return Lowercase(std::move(prefix));
}

std::string DwordData(std::span<const std::uint8_t> data) {
  std::string text = "dword:";
  for (std::size_t i = 4; i > 0; --i) text += ByteToHex(i <= data.size() ? data[i - 1] : 0);
  return Lowercase(std::move(text));
}

std::string TypeInHex(std::uint32_t type) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[type % 16]);
    type /= 16;
  } while (type != 0);
  return digits;
}

}  // namespace

std::string ByteToHex(std::uint8_t byte) { return {kDigits[byte >> 4], kDigits[byte & 0xF]}; }

std::string KeySection(std::string_view rootName, std::string_view subKey) {
  return "\r\n[" + std::string(rootName) + "\\" + std::string(subKey) + "]\r\n";
}

std::string ValueLine(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  std::string line = name.empty() ? "@" : Quoted(name);
  line += '=';
  switch (type) {
    case kTypeString: line += StringData(data); break;
    case kTypeDword: line += DwordData(data); break;
    case kTypeBinary: line += ByteList("hex:", data); break;
    default: line += ByteList("hex(" + TypeInHex(type) + "):", data); break;
  }
  return line + "\r\n";
}

}  // namespace tk
