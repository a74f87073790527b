// The program's side of the tkShared library.
#include "app/engine/library_win.h"

#include <oleauto.h>

#include <stdexcept>

#include "app/engine/services.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"

namespace app::engine {
namespace {

using hg::win::com_ptr;
using hg::win::MakeBstr;

template <typename Interface>
Interface& Shared(com_ptr<Interface>& held, REFCLSID clsid, REFIID iid) {
  if (!held) {
    THROW_IF_FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, held.put_void()));
  }
  return *held.get();
}

std::int32_t NumberOf(HRESULT hr) { return static_cast<std::int32_t>(hr); }

LibraryObjects& InstalledObjects() {
  LibraryObjects* objects = CurrentServices().library;
  if (!objects) throw std::logic_error("The services hold no library objects.");
  return *objects;
}

}  // namespace

_FileOps& LibraryObjects::FileOps() { return Shared(fileOps_, CLSID_FileOps, IID__FileOps); }

_CGlobal& LibraryObjects::Global() { return Shared(global_, CLSID_CGlobal, IID__CGlobal); }

_FileOps& SharedFileOps() { return InstalledObjects().FileOps(); }

_CGlobal& SharedGlobal() { return InstalledObjects().Global(); }

com_ptr<_CCollection> NewCollection() {
  com_ptr<_CCollection> collection;
  THROW_IF_FAILED(::CoCreateInstance(CLSID_CCollection, nullptr, CLSCTX_INPROC_SERVER,
                                     IID__CCollection, collection.put_void()));
  return collection;
}

Failure FailureOfCall(HRESULT hr) {
  std::string description;
  com_ptr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.put()) == S_OK && info) {
    BSTR text = nullptr;
    if (SUCCEEDED(info->GetDescription(&text))) {
      const hg::win::unique_bstr owned(text);
      description = hg::win::FromBstr(owned.get());
    }
  }
  if (description.empty()) description = hg::win::HResultCategory().message(hr);
  return Failure(NumberOf(hr), std::move(description));
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw FailureOfCall(hr);
}

std::string FormatString(const std::string& text, const std::vector<std::string>& parameters) {
  std::vector<hg::win::Variant> values;
  for (const std::string& parameter : parameters) values.push_back(hg::win::TextVariant(parameter));
  const hg::win::unique_safearray array = hg::win::VariantArray(values, 0);
  const hg::win::unique_bstr source = MakeBstr(text);
  BSTR result = nullptr;
  Check(SharedGlobal().FormatString(source.get(), hg::win::BorrowedArray(array.get()), &result));
  const hg::win::unique_bstr owned(result);
  return hg::win::FromBstr(owned.get());
}

AxLogFailureLog::AxLogFailureLog(const std::string& logFile, const std::string& shortLogFile) {
  THROW_IF_FAILED(::CoCreateInstance(CLSID_axLog, nullptr, CLSCTX_INPROC_SERVER, IID__axLog,
                                     log_.put_void()));
  Check(log_->Init2(MakeBstr(logFile).get(), MakeBstr(shortLogFile).get()));
}

void AxLogFailureLog::LogIt(std::int32_t number, const std::string& description,
                            Severity severity, const std::string& source) noexcept {
  try {
    log_->LogIt(number, MakeBstr(description).get(), static_cast<enSeverity>(severity),
                hg::win::TextVariant(source).get());
  } catch (...) {
    // A log entry that cannot even be built is lost; failure paths must not fail.
  }
}

}  // namespace app::engine
