// The program's failure convention.
#include "app/engine/failure.h"

#include <new>
#include <system_error>

#include "app/engine/hosts_file.h"
#include "app/engine/services.h"
#include "app/engine/user_dialogs.h"

namespace app::engine {
namespace {

// The numbers the language runtime gives these failures.
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInvalidArgument = 5;
constexpr std::int32_t kUnexpected = static_cast<std::int32_t>(0x8000FFFFu);

void Log(const Failure& failure, Severity severity, const std::string& source) {
  const Services* services = InstalledServices();
  if (services && services->log) {
    services->log->LogIt(failure.number(), failure.description(), severity, source);
  }
}

}  // namespace

Failure FailureOf(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::system_error& failed) {
    // The platform edge's errors: the number is their code's value.
    return Failure(failed.code().value(), failed.what());
  } catch (const UnsafeSiteName& unsafe) {
    return Failure(kInvalidArgument, unsafe.what());
  } catch (const std::bad_alloc&) {
    return Failure(kOutOfMemory, "Out of memory");
  } catch (const std::exception& other) {
    return Failure(kUnexpected, other.what());
  } catch (...) {
    return Failure(kUnexpected, "Unexpected failure");
  }
}

void ReportFailure(const Failure& failure, const std::string& source, const std::string& text,
                   int icon) {
  Log(failure, Severity::kError, source);
  try {
    AppMsgBox(text + failure.description(), kOkOnly + icon, "");
  } catch (...) {
    // The failure is logged; a message box that cannot be shown ends it here.
  }
}

void SwallowFailure(const Failure& failure, const std::string& source, Severity severity) {
  Log(failure, severity, source);
}

void RepairAndRaise(const Failure& failure, const std::string& source, int textId,
                    const std::string& text, const std::function<void()>& repair) {
  Log(failure, Severity::kError, source);
  try {
    repair();
  } catch (...) {
    // Repair is best effort; the raise below is what the caller relies on.
  }
  throw Failure(ProgramErrorNumber(textId), text + failure.description());
}

void LogTwiceAndRaise(const Failure& failure, const std::string& source, int textId,
                      const std::string& context) {
  Log(Failure(ProgramErrorNumber(textId), context), Severity::kInternalError, source);
  Log(failure, Severity::kInternalError, source);
  throw failure;
}

}  // namespace app::engine
