// HGRWCustom's creatable classes: the table behind its class factory and its
// registration.
#include "HGRWCustom.h"
#include "components/custom/custom_win.h"
#include "shared/com/class_factory_win.h"

namespace tk {
namespace {

constexpr ClassEntry kClasses[] = {
    {&CLSID_CCustom2, L"CCustom2", hgrw::CreateCustom2},
    {&CLSID_CProbe, L"CProbe", hgrw::CreateProbe},
};

}  // namespace

std::span<const ClassEntry> Classes() noexcept { return kClasses; }

}  // namespace tk
