// The program's side of the tkShared library: the objects it holds for the
// whole run, and the turn of an HRESULT with its error information into the
// program's Failure, so that the program's logic reads as plain C++.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "app/engine/failure.h"
#include "common/win/com_win.h"
#include "tkShared.h"

namespace app::engine {

// The library objects the program holds for the whole run: one FileOps and
// one CGlobal, each created on first use. Part of the program's services; it
// must go before the apartment ends.
class LibraryObjects final {
 public:
  LibraryObjects() = default;
  LibraryObjects(const LibraryObjects&) = delete;
  LibraryObjects& operator=(const LibraryObjects&) = delete;

  _FileOps& FileOps();
  _CGlobal& Global();

 private:
  hg::win::com_ptr<_FileOps> fileOps_;
  hg::win::com_ptr<_CGlobal> global_;
};

// The objects of the installed services; throws when they hold none.
_FileOps& SharedFileOps();
_CGlobal& SharedGlobal();

// A new, empty collection.
hg::win::com_ptr<_CCollection> NewCollection();

// The failure a failed call reported: its HRESULT as number, and the
// description of the error information the call left (the system's text for
// the HRESULT when it left none).
Failure FailureOfCall(HRESULT hr);

// Throws FailureOfCall(hr) when hr is a failure.
void Check(HRESULT hr);

// CGlobal.FormatString: "%1", "%2", ... replaced by the parameters.
std::string FormatString(const std::string& text, const std::vector<std::string>& parameters);

// The log writer every failure path writes to: one axLog, initialised with
// the main and the short log file.
class AxLogFailureLog final : public FailureLog {
 public:
  AxLogFailureLog(const std::string& logFile, const std::string& shortLogFile);
  // Writes through a writer that is already set up.
  explicit AxLogFailureLog(hg::win::com_ptr<_axLog> log) noexcept : log_(std::move(log)) {}
  const hg::win::com_ptr<_axLog>& writer() const noexcept { return log_; }
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override;

 private:
  hg::win::com_ptr<_axLog> log_;
};

}  // namespace app::engine
