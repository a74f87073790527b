// axLog and CMsgr: the log writer and the message relay as COM classes.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateAxLog(REFIID iid, void** object) noexcept;
HRESULT CreateMsgr(REFIID iid, void** object) noexcept;

}  // namespace tk
