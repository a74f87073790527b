// UTF-8 <-> UTF-16 at the Win32 and COM edge.
#include "common/win/text_win.h"

#include "common/text/utf.h"
#include "common/win/result.h"

namespace hg::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

std::wstring Widen(std::string_view utf8) {
  const std::u16string wide = text::Utf8ToUtf16(utf8);
  return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size());
}

std::string Narrow(std::wstring_view utf16) {
  return text::Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

std::string FromBstr(BSTR text) {
  return text ? Narrow(std::wstring_view(text, ::SysStringLen(text))) : std::string();
}

namespace {

[[noreturn]] void RefuseName(std::string_view parameter) {
  throw RefusedText(std::string(parameter) +
                    " holds a NUL character, where the system would cut the name.");
}

}  // namespace

std::wstring_view WideNameFromBstr(BSTR name, std::string_view parameter) {
  const std::wstring_view text = name ? std::wstring_view(name, ::SysStringLen(name)) : L"";
  if (text.find(L'\0') != std::wstring_view::npos) RefuseName(parameter);
  return text;
}

std::string NameFromBstr(BSTR name, std::string_view parameter) {
  return Narrow(WideNameFromBstr(name, parameter));
}

std::string NameFromText(std::string text, std::string_view parameter) {
  if (text.find('\0') != std::string::npos) RefuseName(parameter);
  return text;
}

unique_bstr MakeBstr(std::wstring_view utf16) {
  unique_bstr result(::SysAllocStringLen(utf16.data(), static_cast<UINT>(utf16.size())));
  if (!result) ThrowHResult(E_OUTOFMEMORY);
  return result;
}

unique_bstr MakeBstr(std::string_view utf8) { return MakeBstr(Widen(utf8)); }

std::wstring AnsiToWide(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  THROW_LAST_ERROR_IF(length == 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  THROW_LAST_ERROR_IF(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length) == 0);
  return wide;
}

std::string WideToAnsi(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int size = static_cast<int>(utf16.size());
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  THROW_LAST_ERROR_IF(length == 0);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  THROW_LAST_ERROR_IF(::WideCharToMultiByte(CP_ACP, 0, utf16.data(), size, ansi.data(), length,
                                            nullptr, nullptr) == 0);
  return ansi;
}

std::optional<std::string> WideToAnsiExact(std::wstring_view utf16) {
  if (utf16.empty()) return std::string();
  const int size = static_cast<int>(utf16.size());
  // UTF-8 has a form for every character; only a lone surrogate fails, and
  // the default-character report is refused for it.
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const reportDefault = utf8 ? nullptr : &usedDefault;
  const int length =
      ::WideCharToMultiByte(CP_ACP, flags, utf16.data(), size, nullptr, 0, nullptr, reportDefault);
  if (length == 0) {
    if (::GetLastError() == ERROR_NO_UNICODE_TRANSLATION) return std::nullopt;
    ThrowLastError();
  }
  if (usedDefault) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  THROW_LAST_ERROR_IF(::WideCharToMultiByte(CP_ACP, flags, utf16.data(), size, ansi.data(), length,
                                            nullptr, reportDefault) == 0);
  return ansi;
}

std::wstring LoadResourceString(HMODULE module, UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length LoadStringW hands out a pointer into the resource.
  const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace hg::win
