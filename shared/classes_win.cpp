// tkShared's creatable classes: the table behind its class factory and its
// registration.
#include "shared/com/class_factory_win.h"
#include "shared/containers/collection_win.h"
#include "shared/containers/gum_array_win.h"
#include "shared/containers/nodes_win.h"
#include "shared/containers/property_bag_win.h"
#include "shared/files/file_ops_win.h"
#include "shared/global/global_win.h"
#include "shared/launcher/launcher_win.h"
#include "shared/log/log_win.h"
#include "shared/registry/registry_win.h"
#include "tkShared.h"

namespace tk {
namespace {

constexpr ClassEntry kClasses[] = {
    {&CLSID_CCollection, L"CCollection", CreateCollection},
    {&CLSID_PropertyBag, L"PropertyBag", CreatePropertyBag},
    {&CLSID_CNode, L"CNode", CreateNode},
    {&CLSID_CNodes, L"CNodes", CreateNodes},
    {&CLSID_CParam, L"CParam", CreateParam},
    {&CLSID_CParams, L"CParams", CreateParams},
    {&CLSID_CRegistry, L"CRegistry", CreateRegistry},
    {&CLSID_CGumArray, L"CGumArray", CreateGumArray},
    {&CLSID_CreateThread, L"CreateThread", CreateLauncher},
    {&CLSID_FileOps, L"FileOps", CreateFileOps},
    {&CLSID_CGlobal, L"CGlobal", CreateGlobal},
    {&CLSID_axLog, L"axLog", CreateAxLog},
    {&CLSID_CMsgr, L"CMsgr", CreateMsgr},
};

}  // namespace

std::span<const ClassEntry> Classes() noexcept { return kClasses; }

}  // namespace tk
