// Registers the tkShared.dll beside this program for the current user: the
// set-up step of the tests that create the library's classes by name.
#include <windows.h>

#include <cstdio>

#include "common/win/proc_address.h"
#include "tests/support/win_test_support.h"

int main() {
  const std::wstring path = hg::test::TkSharedPath();
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (!module) {
    std::fprintf(stderr, "cannot load tkShared.dll: error %lu\n", ::GetLastError());
    return 1;
  }
  const auto registerServer =
      hg::win::GetProc<HRESULT(__stdcall*)()>(module, "DllRegisterServer");
  const HRESULT hr = registerServer ? registerServer() : E_NOINTERFACE;
  ::FreeLibrary(module);
  if (FAILED(hr)) {
    std::fprintf(stderr, "DllRegisterServer failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    return 1;
  }
  std::printf("tkShared registered\n");
  return 0;
}
