// The program's string table.
#include "app/engine/strings_win.h"

#include <windows.h>

#include "common/win/text_win.h"

namespace app::engine {

std::wstring ProgramWideString(unsigned id) {
  return hg::win::LoadResourceString(::GetModuleHandleW(nullptr), id);
}

std::string ProgramString(unsigned id) { return hg::win::Narrow(ProgramWideString(id)); }

}  // namespace app::engine
