// Stands in for Hedgerow.exe when the launcher is tested: proves that it ran,
// where, and whether it was marked, in started.txt beside itself.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "common/win/text_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return 1;
  wchar_t marker[16] = L"(none)";
  ::GetEnvironmentVariableW(L"HEDGEROW_RESTARTED", marker, 16);
  std::ofstream proof(std::filesystem::path(path).replace_filename(L"started.txt"), std::ios::binary);
  const std::wstring folder = std::filesystem::current_path().wstring();
  proof << "marker=" << hg::win::Narrow(marker) << "\ncwd=" << hg::win::Narrow(folder) << "\n";
  return proof.flush() ? 0 : 1;
}
