// The global class's text and array transformations.
#include "shared/global/text_encoders.h"

#include <cstdio>

namespace tk {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789ABCDEF";

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0;;) {
    const std::size_t found = text.find(from, pos);
    if (found == std::string_view::npos) {
      out.append(text.substr(pos));
      return out;
    }
    out.append(text.substr(pos, found - pos));
    out.append(to);
    pos = found + from.size();
  }
}

void AppendPercent(std::string& out, unsigned byte) {
  out += '%';
  out += kHex[(byte >> 4) & 0xF];
  out += kHex[byte & 0xF];
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Codes below 256 that URLEncode escapes although they are printable.
bool IsEscapedLatin(unsigned c) {
  switch (c) {
    case 34: case 35: case 37: case 38: case 43: case 47: case 60: case 62: case 63:
    case 91: case 92: case 93: case 94: case 96: case 123: case 124: case 125: case 127:
    case 152: case 160: case 164: case 166: case 167: case 169: case 171: case 172:
    case 173: case 174: case 176: case 177: case 181: case 182: case 183: case 187:
      return true;
    default:
      return c <= 32;
  }
}

// Position in the alphabet, or -1.
int ValueOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// The alphabet values of a group; `valid` says which characters were in it.
struct GroupValues {
  explicit GroupValues(const char* group, int count) {
    for (int i = 0; i < count; ++i) {
      const int value = ValueOf(group[i]);
      valid[i] = value >= 0;
      v[i] = valid[i] ? static_cast<unsigned>(value) : 0;
    }
  }
  unsigned v[4] = {};
  bool valid[4] = {};
};

// A byte that depends on characters outside the alphabet, or whose value does
// not fit, is left 0.
std::uint8_t ByteOf(bool inputsValid, unsigned long value) {
  return inputsValid && value <= 255 ? static_cast<std::uint8_t>(value) : 0;
}

void DecodeWholeGroup(const char* group, std::vector<std::uint8_t>& out) {
  const GroupValues g(group, 4);
  out.push_back(ByteOf(g.valid[0] && g.valid[1], ((g.v[0] << 2) | (g.v[1] >> 4)) & 0xFF));
  out.push_back(ByteOf(g.valid[1] && g.valid[2], (((g.v[1] & 0xF) << 4) | (g.v[2] >> 2)) & 0xFF));
  out.push_back(ByteOf(g.valid[2] && g.valid[3], (((g.v[2] & 0x3) << 6) | g.v[3]) & 0xFF));
}

// The right-aligned forms of a final group that carries one or two bytes.
void DecodeOneByte(const char* group, std::vector<std::uint8_t>& out) {
  const GroupValues g(group, 2);
  out.push_back(ByteOf(g.valid[0] && g.valid[1], g.v[0] * 64UL + g.v[1]));
}

void DecodeTwoBytes(const char* group, std::vector<std::uint8_t>& out) {
  const GroupValues g(group, 3);
  const bool valid = g.valid[0] && g.valid[1] && g.valid[2];
  const unsigned long v = (g.v[0] * 64UL + g.v[1]) * 64UL + g.v[2];
  out.push_back(ByteOf(valid, v / 256));
  out.push_back(ByteOf(valid, v % 256));
}

}  // namespace

std::string SQLEncode(std::string_view text) { return ReplaceAll(text, "'", "''"); }

std::string SQLDecode(std::string_view text) { return ReplaceAll(text, "''", "'"); }

std::string XMLEncode(std::string_view text) {
  std::string out = ReplaceAll(text, "&", "&amp;");
  out = ReplaceAll(out, "\"", "&quot;");
  out = ReplaceAll(out, "<", "&lt;");
  out = ReplaceAll(out, ">", "&gt;");
  return ReplaceAll(out, "'", "&apos;");
}

std::string XMLDecode(std::string_view text) {
  std::string out = ReplaceAll(text, "&amp;", "&");
  out = ReplaceAll(out, "&quot;", "\"");
  out = ReplaceAll(out, "&lt;", "<");
  out = ReplaceAll(out, "&gt;", ">");
  return ReplaceAll(out, "&apos;", "'");
}

std::string FormatString(std::string_view text, const std::vector<std::string>& params) {
  std::string out(text);
  for (std::size_t i = params.size(); i-- > 0;) {
    out = ReplaceAll(out, "%" + std::to_string(i + 1), params[i]);
  }
  return out;
}

std::string GuidText(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                     const std::array<std::uint8_t, 8>& data4) {
  char text[39];
  std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(data1), static_cast<unsigned>(data2),
                static_cast<unsigned>(data3), data4[0], data4[1], data4[2], data4[3], data4[4],
                data4[5], data4[6], data4[7]);
  return text;
}

std::string URLEncode(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 256) {
      if (IsEscapedLatin(c)) {
        AppendPercent(out, c);
      } else {
        AppendUtf8(out, c);
      }
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    std::string utf8;
    AppendUtf8(utf8, c);
    for (char byte : utf8) AppendPercent(out, static_cast<unsigned char>(byte));
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned long v = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (bytes.size() - i == 1) {
    out += kAlphabet[at(i) / 64];
    out += kAlphabet[at(i) % 64];
    out += "==";
  } else if (bytes.size() - i == 2) {
    const unsigned v = at(i) * 256u + at(i + 1);
    out += kAlphabet[v / 4096];
    out += kAlphabet[v / 64 % 64];
    out += kAlphabet[v % 64];
    out += '=';
  }
  return out;
}

std::string Base64Encode(std::string_view bytes) {
  constexpr std::size_t kBytesPerLine = 57;
  std::string out;
  for (std::size_t pos = 0; pos < bytes.size(); pos += kBytesPerLine) {
    const std::string_view line = bytes.substr(pos, kBytesPerLine);
    out += Base64(line);
    if (line.size() == kBytesPerLine) out += "\r\n";
  }
  return out;
}

std::string Base64EncodeB(std::string_view bytes) {
  constexpr std::size_t kLineLength = 76;
  const std::string text = Base64(bytes);
  std::string out;
  out.reserve(text.size() + text.size() / kLineLength * 2);
  for (std::size_t pos = 0; pos < text.size(); pos += kLineLength) {
    if (pos > 0) out += "\r\n";
    out.append(text, pos, kLineLength);
  }
  return out;
}

std::vector<std::uint8_t> Base64DecodeB(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n' && c != ' ') clean += c;
  }
  std::vector<std::uint8_t> out;
  out.reserve(clean.size() / 4 * 3 + 2);
  const std::size_t whole = clean.size() / 4;
  const std::size_t partial = clean.size() % 4;
  // With no partial group the last whole group may carry padding.
  const std::size_t plain = partial == 0 && whole > 0 ? whole - 1 : whole;
  for (std::size_t g = 0; g < plain; ++g) DecodeWholeGroup(&clean[g * 4], out);
  if (plain < whole) {
    const char* last = &clean[plain * 4];
    if (last[2] == '=' && last[3] == '=') {
      DecodeOneByte(last, out);
    } else if (last[3] == '=') {
      DecodeTwoBytes(last, out);
    } else {
      DecodeWholeGroup(last, out);
    }
  } else if (partial == 2) {
    DecodeOneByte(&clean[whole * 4], out);
  } else if (partial == 3) {
    DecodeTwoBytes(&clean[whole * 4], out);
  }
  return out;
}

std::vector<std::int32_t> ByteArrayToLongArray(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::int32_t> out(bytes.size() / 4);
  for (std::size_t k = 0; k < out.size(); ++k) {
    const std::uint32_t v = bytes[4 * k] | (bytes[4 * k + 1] << 8) | (bytes[4 * k + 2] << 16) |
                            (static_cast<std::uint32_t>(bytes[4 * k + 3]) << 24);
    out[k] = static_cast<std::int32_t>(v);
  }
  return out;
}

std::vector<std::uint8_t> LongArrayToByteArray(const std::vector<std::int32_t>& values) {
  std::vector<std::uint8_t> out;
  out.reserve(values.size() * 4);
  for (std::int32_t value : values) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  return out;
}

}  // namespace tk
