// Registers the COM server DLLs named on the command line, found beside this
// program, for the current user: the set-up step of the tests that create
// their classes by name.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/win/proc_address.h"
#include "tests/support/win_test_support.h"

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring path = hg::test::ProgramFolder() + L"\\" + argv[i];
    HMODULE module = ::LoadLibraryW(path.c_str());
    if (!module) {
      std::fprintf(stderr, "cannot load %ls: error %lu\n", argv[i], ::GetLastError());
      return 1;
    }
    const auto registerServer =
        hg::win::GetProc<HRESULT(__stdcall*)()>(module, "DllRegisterServer");
    const HRESULT hr = registerServer ? registerServer() : E_NOINTERFACE;
    ::FreeLibrary(module);
    if (FAILED(hr)) {
      std::fprintf(stderr, "%ls: DllRegisterServer failed: 0x%08lX\n", argv[i],
                   static_cast<unsigned long>(hr));
      return 1;
    }
    std::printf("%ls registered\n", argv[i]);
  }
  return 0;
}
