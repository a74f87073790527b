// HGRWCustom's classes.
#include "components/custom/custom_win.h"

#include "HGRWCustom.h"
#include "shared/com/dispatch_win.h"

namespace hgrw {
namespace {

class Custom2 final : public tk::DispatchObject<Custom2, _CCustom2> {
 public:
  static constexpr wchar_t kClassName[] = L"CCustom2";

  // This build has nothing to add to the program's start-up: the caller keeps
  // its own log writer.
  STDMETHODIMP Init(VARIANT* logWriter) override {
    return Trap([&] { tk::Checked(logWriter); });
  }
};

class Probe final : public tk::DispatchObject<Probe, _CProbe> {
 public:
  static constexpr wchar_t kClassName[] = L"CProbe";
};

}  // namespace

HRESULT CreateCustom2(REFIID iid, void** object) noexcept {
  return tk::CreateInstance<Custom2>(iid, object);
}

HRESULT CreateProbe(REFIID iid, void** object) noexcept {
  return tk::CreateInstance<Probe>(iid, object);
}

}  // namespace hgrw
