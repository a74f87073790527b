// The program's failure convention: every procedure traps its failures, logs
// them under its source name and then reports, swallows, repairs and raises,
// or passes them on.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include "app/resource.h"

namespace app::engine {

// A failure as the program sees it: the number and description of an error.
class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}
  std::int32_t number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

// The program's own failures carry this base plus the string id of their text.
constexpr std::int32_t ProgramErrorNumber(int stringId) {
  return static_cast<std::int32_t>(0x80040000u + static_cast<std::uint32_t>(stringId));
}

// String ids of the failure texts; each text ends in ". " and the failure's
// description follows it directly.
enum FailureText : int {
  kCannotApplyBlocking = IDS_CANNOT_APPLY_BLOCKING,
  kCannotAddSite = IDS_CANNOT_ADD_SITE,
  kCannotBlockSites = IDS_CANNOT_BLOCK_SITES,
  kCannotUnblockSites = IDS_CANNOT_UNBLOCK_SITES,
  kCannotBlockList = IDS_CANNOT_BLOCK_LIST,
  kCannotDeleteSites = IDS_CANNOT_DELETE_SITES,
  kCannotApplyTo = IDS_CANNOT_APPLY_TO,
};

enum class Severity : int {
  kError = 0,
  kWarning = 1,
  kInformational = 2,
  kSummary = 3,
  kInternalError = 4,
  kTrace = 5,
};

// Where failures are logged (the library's log writer, through the installed
// services); it never fails.
class FailureLog {
 public:
  virtual ~FailureLog() = default;
  virtual void LogIt(std::int32_t number, const std::string& description, Severity severity,
                     const std::string& source) noexcept = 0;
};

// The failure behind an exception in flight: a Failure as it is, anything
// else with a number and description of its own.
Failure FailureOf(std::exception_ptr error);

// Pattern R: log with sevError, then show `text` followed by the description
// in an OK message box with `icon` and the product name as title.
void ReportFailure(const Failure& failure, const std::string& source, const std::string& text,
                   int icon);

// Pattern S: log with `severity`; the caller never learns of it.
void SwallowFailure(const Failure& failure, const std::string& source,
                    Severity severity = Severity::kError);

// Pattern E: log with sevError, run `repair` ignoring its own failures, then
// raise the program's failure `textId` with `text` followed by the description.
[[noreturn]] void RepairAndRaise(const Failure& failure, const std::string& source, int textId,
                                 const std::string& text, const std::function<void()>& repair);

// Pattern M: log the program's failure `textId` with `context` as its
// description, then the failure itself, both with sevInternalError; then
// raise the failure unchanged.
[[noreturn]] void LogTwiceAndRaise(const Failure& failure, const std::string& source, int textId,
                                   const std::string& context);

// Runs body; on any failure calls onFailure with it. Nothing escapes except
// what onFailure throws.
template <typename Body, typename OnFailure>
void Trapped(Body&& body, OnFailure&& onFailure) {
  Failure failure(0, {});
  try {
    body();
    return;
  } catch (...) {
    failure = FailureOf(std::current_exception());
  }
  onFailure(failure);
}

}  // namespace app::engine

// The engine's terms (failures, severities, the dialogs) are the vocabulary of
// the whole program: its other folders use them unqualified.
namespace app {
using namespace engine;
}  // namespace app
