// Writes the installer fragment of the COM server this program is linked
// with: its registration as DllRegisterServer plans it, from the same class
// table, for the server installed in the Program Files folder. The build runs
// it beside the server's DLL, whose type library it reads:
//   <server>_fragment.exe <server>.dll  ->  <server>.wxs beside it
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "installer/registry_fragment.h"
#include "shared/com/class_factory_win.h"
#include "shared/com/registration_win.h"

namespace {

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  THROW_LAST_ERROR_IF(length == 0 || length >= MAX_PATH * 4);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: <server>_fragment <server>.dll\n");
    return 2;
  }
  try {
    const std::wstring dll = argv[1];
    const std::wstring folder = OwnFolder();
    hg::win::com_ptr<ITypeLib> library;
    THROW_IF_FAILED(::LoadTypeLibEx((folder + L"\\" + dll).c_str(), REGKIND_NONE, library.put()));
    const std::string installed = "C:\\Program Files\\Hedgerow\\" + hg::win::Narrow(dll);
    const tk::ServerRegistration server = tk::DescribeServer(tk::Classes(), library.get(), installed);
    const std::wstring output = folder + L"\\" + dll.substr(0, dll.rfind(L'.')) + L".wxs";
    std::ofstream file(std::filesystem::path(output), std::ios::binary | std::ios::trunc);
    file << hg::installer::ServerFragment(tk::RegistrationValues(server), installed);
    file.close();
    if (!file) throw std::runtime_error("cannot write " + hg::win::Narrow(output));
    std::printf("%s written\n", hg::win::Narrow(output).c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fragment: %s\n", e.what());
    return 1;
  }
}
