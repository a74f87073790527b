// The library's start routine and the flags it sets once per thread.
#include "shared/com/startup_win.h"

#include <windows.h>

namespace tk {
namespace {

bool QueryIsVista() noexcept {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);  // the 148-byte record
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 6;
}

bool QueryIsWindows64() noexcept {
#if defined(_WIN64)
  // A 64-bit process runs only on 64-bit Windows; IsWow64Process says false here.
  return true;
#else
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

struct ThreadState {
  bool started = false;
  LibraryFlags flags;
};

thread_local ThreadState t_state;

}  // namespace

const LibraryFlags& StartLibrary() noexcept {
  if (!t_state.started) {
    t_state.flags.isVista = QueryIsVista();
    t_state.flags.isWindows64 = QueryIsWindows64();
    t_state.started = true;
  }
  return t_state.flags;
}

}  // namespace tk
