// axLog: the log writer. Each entry opens, appends to and closes its files.
#include <string>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/log/log_line.h"
#include "shared/log/log_win.h"
#include "tkShared.h"

namespace tk {
namespace {

// The local date and time as the system writes them: short date, long time.
std::string TimeStamp() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date,
                   static_cast<int>(std::size(date)));
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time,
                   static_cast<int>(std::size(time)));
  return hg::win::Narrow(date) + " " + hg::win::Narrow(time);
}

// Appends the line in the system code page. Others may read, write, move or
// delete the file meanwhile; a failure loses this entry for this file only.
void Append(const std::wstring& path, const std::string& utf8Line) noexcept {
  try {
    const std::string bytes = hg::win::WideToAnsi(hg::win::Widen(utf8Line));
    hg::win::unique_file_handle file(::CreateFileW(
        path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  } catch (...) {
    // The writer never reports its own failures.
  }
}

// A text parameter the caller may leave out (empty), converted like a script's value.
std::string OptionalText(const VARIANT& value) {
  const VARIANT& given = hg::win::Deref(value);
  if (hg::win::IsMissing(given)) return {};
  hg::win::Variant text;
  THROW_IF_FAILED(::VariantChangeType(text.put(), const_cast<VARIANT*>(&given), 0, VT_BSTR));
  return hg::win::FromBstr(text.get().bstrVal);
}

std::wstring LogPath(BSTR path, std::string_view parameter) {
  return std::wstring(hg::win::WideNameFromBstr(path, parameter));
}

class AxLog final : public DispatchObject<AxLog, _axLog> {
 public:
  static constexpr wchar_t kClassName[] = L"axLog";

  STDMETHODIMP get_FileName(BSTR* fileName) override {
    return Trap([&] { *Checked(fileName) = hg::win::MakeBstr(std::wstring_view(fileName_)).release(); });
  }

  STDMETHODIMP get_ShortLogFileName(BSTR* shortLogFileName) override {
    return Trap([&] {
      *Checked(shortLogFileName) = hg::win::MakeBstr(std::wstring_view(shortLogFileName_)).release();
    });
  }

  STDMETHODIMP get_ShortLogMode(VARIANT_BOOL* shortLogMode) override {
    return Trap([&] { *Checked(shortLogMode) = hg::win::VariantBool(shortLogMode_); });
  }

  // A path the system would cut at a NUL is refused before anything changes:
  // the short log's deletion, and every entry, would hit a file never named.
  // Past that, Init2 reports no failure.
  STDMETHODIMP Init2(BSTR fileName, BSTR shortLogFileName) override {
    return Trap([&] {
      std::wstring main = LogPath(fileName, "FileName");
      std::wstring shortLog = LogPath(shortLogFileName, "ShortLogFileName");
      fileName_ = std::move(main);
      shortLogFileName_ = std::move(shortLog);
      shortLogMode_ = true;
      ::DeleteFileW(shortLogFileName_.c_str());
    });
  }

  STDMETHODIMP Init(BSTR fileName) override {
    return Trap([&] {
      fileName_ = LogPath(fileName, "FileName");
      shortLogMode_ = false;
    });
  }

  STDMETHODIMP LogIt(LONG errNumber, BSTR description, enSeverity severity,
                     VARIANT source) override {
    try {
      const std::string text = hg::win::FromBstr(description);
      const std::string stamp = TimeStamp();
      const std::string from = OptionalText(source);
      if (shortLogMode_ && !shortLogFileName_.empty()) {
        Append(shortLogFileName_, FormatLogLine(stamp, severity, errNumber, text, from));
      }
      if (!fileName_.empty()) {
        Append(fileName_,
               FormatLogLine(stamp, severity, errNumber, MainLogDescription(text), from));
      }
    } catch (...) {
      // The writer never reports its own failures.
    }
    return S_OK;
  }

 private:
  std::wstring fileName_;
  std::wstring shortLogFileName_;
  bool shortLogMode_ = false;
};

}  // namespace

HRESULT CreateAxLog(REFIID iid, void** object) noexcept {
  return CreateInstance<AxLog>(iid, object);
}

}  // namespace tk
