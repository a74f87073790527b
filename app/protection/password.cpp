// The stored form of the password.
#include "app/protection/password.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "common/text/utf.h"

namespace app::protection {
namespace {

// Characters are code points: a UTF-16 pair is one character, so that the
// stored form stays valid text.
std::u32string CodePoints(std::string_view utf8) {
  const std::u16string units = hg::text::Utf8ToUtf16(utf8);
  std::u32string points;
  points.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000) {
      points.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      points.push_back(unit);
    }
  }
  return points;
}

std::string Utf8Of(const std::u32string& points) {
  std::u16string units;
  units.reserve(points.size());
  for (const char32_t point : points) {
    if (point >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(point));
    }
  }
  return hg::text::Utf16ToUtf8(units);
}

char32_t FillerDigit() {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto digit = static_cast<int>(std::lround(unit(generator) * 15));
  return static_cast<char32_t>("0123456789ABCDEF"[digit]);
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string EncodePassword(std::string_view text) {
  std::u32string points = CodePoints(TrimBlanks(text));
  std::reverse(points.begin(), points.end());
  std::u32string stored;
  stored.reserve(points.size() * 2);
  for (const char32_t point : points) {
    stored.push_back(point);
    stored.push_back(FillerDigit());
  }
  return Utf8Of(stored);
}

std::string DecodePassword(std::string_view stored) {
  const std::u32string points = CodePoints(TrimBlanks(stored));
  std::u32string password;
  password.reserve(points.size() / 2 + 1);
  for (std::size_t i = 0; i < points.size(); i += 2) password.push_back(points[i]);
  std::reverse(password.begin(), password.end());
  return Utf8Of(password);
}

std::string MaskedText(std::string_view text) { return std::string(CodePoints(text).size(), '*'); }

}  // namespace app::protection
