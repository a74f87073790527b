// The global class's text and array transformations, byte for byte as stored
// data and callers expect them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

// Quoting for SQL text literals: "'" doubles, "''" halves; nothing else changes.
std::string SQLEncode(std::string_view text);
std::string SQLDecode(std::string_view text);

// The five predefined XML entities, each replaced over the whole text in a
// fixed order; "&amp;" is resolved first, so "&amp;lt;" decodes to "<".
std::string XMLEncode(std::string_view text);
std::string XMLDecode(std::string_view text);

// Replaces "%1", "%2", ... by params[0], params[1], ... from the highest
// number down, so "%1" never eats the start of "%10"; placeholders without a
// parameter stay.
std::string FormatString(std::string_view text, const std::vector<std::string>& params);

// The registry form of a GUID: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string GuidText(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                     const std::array<std::uint8_t, 8>& data4);

// Percent-encoding by UTF-16 code unit: the table keeps ASCII punctuation and
// most Latin-1 codes as they are and writes codes from 256 up as UTF-8. A
// surrogate pair becomes the 4-byte UTF-8 of its code point, a lone surrogate
// that of U+FFFD.
std::string URLEncode(std::u16string_view text);

// The library's Base64 variant: RFC 4648 for whole groups of three bytes, a
// trailing one or two bytes packed right-aligned ("a" gives "Bh==").
std::string Base64(std::string_view bytes);

// Base64 of the text's bytes with CR LF after every 57 input bytes, also at
// the very end.
std::string Base64Encode(std::string_view bytes);

// Base64 of the bytes cut into lines of 76 characters; never ends in CR LF.
std::string Base64EncodeB(std::string_view bytes);

// Reads the variant back. CR, LF and blanks are skipped; characters outside the
// alphabet (and padding in the middle) give 0 for the bytes they feed; a
// trailing partial group yields the bytes it can carry, as if padded.
std::vector<std::uint8_t> Base64DecodeB(std::string_view text);

// Little-endian 32-bit values of every whole group of four bytes.
std::vector<std::int32_t> ByteArrayToLongArray(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> LongArrayToByteArray(const std::vector<std::int32_t>& values);

}  // namespace tk
