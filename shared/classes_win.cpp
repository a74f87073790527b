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

TK_SERVER_CLASSES(TK_CLASS(CCollection, tk::CreateCollection), TK_CLASS(PropertyBag, tk::CreatePropertyBag),
                  TK_CLASS(CNode, tk::CreateNode), TK_CLASS(CNodes, tk::CreateNodes),
                  TK_CLASS(CParam, tk::CreateParam), TK_CLASS(CParams, tk::CreateParams),
                  TK_CLASS(CRegistry, tk::CreateRegistry), TK_CLASS(CGumArray, tk::CreateGumArray),
                  TK_CLASS(CreateThread, tk::CreateLauncher), TK_CLASS(FileOps, tk::CreateFileOps),
                  TK_CLASS(CGlobal, tk::CreateGlobal), TK_CLASS(axLog, tk::CreateAxLog),
                  TK_CLASS(CMsgr, tk::CreateMsgr))
