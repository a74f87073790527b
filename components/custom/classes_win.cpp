// HGRWCustom's creatable classes: the table behind its class factory and its
// registration.
#include "HGRWCustom.h"
#include "components/custom/custom_win.h"
#include "shared/com/class_factory_win.h"

TK_SERVER_CLASSES(TK_CLASS(CCustom2, hgrw::CreateCustom2), TK_CLASS(CProbe, hgrw::CreateProbe))
