// The start-up sequence's system side.
#include "app/shell/startup_win.h"

#include "app/engine/program_folder_win.h"
#include "app/engine/user_dialogs.h"
#include "app/shell/vista_win.h"
#include "common/product_ids.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::shell {
namespace {

using hg::win::com_ptr;
using hg::win::MakeBstr;

std::string TakeBstr(BSTR text) {
  const hg::win::unique_bstr owned(text);
  return hg::win::FromBstr(owned.get());
}

}  // namespace

void ProgramLog::Open(const std::string& logFile, const std::string& shortLogFile) {
  if (!logFile.empty()) {
    log_ = std::make_unique<engine::AxLogFailureLog>(logFile, shortLogFile);
    return;
  }
  com_ptr<_axLog> writer;
  THROW_IF_FAILED(::CoCreateInstance(CLSID_axLog, nullptr, CLSCTX_INPROC_SERVER, IID__axLog,
                                     writer.put_void()));
  log_ = std::make_unique<engine::AxLogFailureLog>(std::move(writer));
}

void ProgramLog::LogIt(std::int32_t number, const std::string& description, Severity severity,
                       const std::string& source) noexcept {
  if (log_) log_->LogIt(number, description, severity, source);
}

void ProgramLog::OfferTo(IDispatch& component) {
  if (!log_) return;
  const hg::win::unique_bstr name = MakeBstr(std::wstring_view(L"Init"));
  LPOLESTR names[] = {name.get()};
  DISPID id = 0;
  engine::Check(component.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  hg::win::Variant held;
  VARIANT* slot = held.put();
  slot->vt = VT_DISPATCH;
  slot->pdispVal = log_->writer().get();
  slot->pdispVal->AddRef();
  VARIANT argument;
  argument.vt = VT_BYREF | VT_VARIANT;
  argument.pvarVal = slot;
  DISPPARAMS parameters{&argument, nullptr, 1, 0};
  hg::win::Variant result;
  engine::Check(component.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                  result.put(), nullptr, nullptr));
  // Only another log writer may take the place of ours.
  const VARIANT& handed = hg::win::Deref(held.get());
  IUnknown* object = handed.vt == VT_DISPATCH ? handed.pdispVal
                     : handed.vt == VT_UNKNOWN ? handed.punkVal
                                               : nullptr;
  if (!object) return;
  com_ptr<_axLog> other;
  if (SUCCEEDED(object->QueryInterface(IID__axLog, other.put_void())) && other) {
    log_ = std::make_unique<engine::AxLogFailureLog>(std::move(other));
  }
}

bool CheckComponents(std::string& falseCause) {
  const char* component = "tkShared.dll";
  try {
    engine::NewCollection();
    component = "HGRWCustom.dll";
    CLSID probe;
    THROW_IF_FAILED(::CLSIDFromString(hg::win::Widen(hg::product::kProbeClsid).c_str(), &probe));
    com_ptr<IUnknown> object;
    THROW_IF_FAILED(::CoCreateInstance(probe, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       object.put_void()));
    return true;
  } catch (...) {
    falseCause = ComponentMessage(component);
    return false;
  }
}

std::string SystemStartup::LocalApplicationDataFolder() {
  BSTR folder = nullptr;
  engine::Check(engine::SharedGlobal().LocalApplicationDataFolder(&folder));
  return TakeBstr(folder);
}

std::string SystemStartup::MergeFolderAndSubobject(const std::string& folder,
                                                   const std::string& name) {
  BSTR path = nullptr;
  engine::Check(engine::SharedFileOps().MergeFolderAndSubobject(
      MakeBstr(folder).get(), MakeBstr(name).get(), &path));
  return TakeBstr(path);
}

void SystemStartup::EnsureFolderExist(const std::string& folder) {
  // Not the library's folder, which everyone may write to: the logs are the
  // program's own.
  EnsureProgramFolder(hg::win::Widen(folder));
}

void SystemStartup::OpenLog(const std::string& logFile, const std::string& shortLogFile) {
  log_.Open(logFile, shortLogFile);
}

void SystemStartup::LogIt(std::int32_t number, const std::string& description,
                          Severity severity, const std::string& source) noexcept {
  log_.LogIt(number, description, severity, source);
}

std::string SystemStartup::WindowsVersion(std::int32_t& platformId) {
  hg::win::Variant major, minor, build, platform, servicePack;
  BSTR text = nullptr;
  engine::Check(engine::SharedGlobal().WindowsVersion(major.put(), minor.put(), build.put(),
                                                        platform.put(), servicePack.put(), &text));
  std::string description = TakeBstr(text);
  hg::win::Variant number;
  if (SUCCEEDED(::VariantChangeType(number.put(), const_cast<VARIANT*>(&platform.get()), 0, VT_I4))) {
    platformId = number.get().lVal;
  }
  return description;
}

bool SystemStartup::CheckElevation() {
  shell::SystemElevation elevation(
      [this](const std::string& text) {
        log_.LogIt(0, text, Severity::kTrace, shell::kSource);
      },
      [] {
        // A plain box, not AppMsgBox: its title is the program's name whatever
        // the string table says.
        AppMsgBox(shell::kNoAdminWarning, kOkOnly + kIconExclamation, "Hedgerow");
      });
  return shell::CheckElevation(elevation);
}

void SystemStartup::OfferLogToCustomComponent() {
  CLSID custom;
  THROW_IF_FAILED(::CLSIDFromProgID(hg::win::Widen(hg::product::kCustomProgId).c_str(), &custom));
  com_ptr<IDispatch> component;
  THROW_IF_FAILED(::CoCreateInstance(custom, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     component.put_void()));
  log_.OfferTo(*component.get());
}

std::string SystemStartup::ExpandWindowsFolder() {
  BSTR folder = nullptr;
  engine::Check(engine::SharedGlobal().ExpandEnvironmentStrings(
      MakeBstr(std::wstring_view(L"%windir%")).get(), &folder));
  std::string expanded = TakeBstr(folder);
  // A variable the system does not know stays as it was written.
  return expanded == "%windir%" ? std::string() : expanded;
}

void SystemStartup::RewriteAttributes(const std::string& path) {
  const std::wstring wide = hg::win::Widen(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  THROW_LAST_ERROR_IF(attributes == INVALID_FILE_ATTRIBUTES);
  THROW_IF_WIN32_BOOL_FALSE(::SetFileAttributesW(wide.c_str(), attributes));
}

void SystemStartup::ShowStop(const std::string& message) {
  AppMsgBox(message, kOkOnly + kIconStop, "");
}

}  // namespace app::shell
