// Stands in for Hedgerow.exe when the launcher is tested: proves that it ran,
// where, and whether it was marked, in started.txt beside itself.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return 1;
  std::wstring proof(path, length);
  proof = proof.substr(0, proof.find_last_of(L'\\')) + L"\\started.txt";

  wchar_t marker[16] = L"(none)";
  ::GetEnvironmentVariableW(L"HEDGEROW_RESTARTED", marker, 16);
  wchar_t folder[MAX_PATH * 4] = L"";
  ::GetCurrentDirectoryW(MAX_PATH * 4, folder);

  const std::wstring text = L"marker=" + std::wstring(marker) + L"\ncwd=" + folder + L"\n";
  char bytes[MAX_PATH * 16];
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         bytes, sizeof(bytes), nullptr, nullptr);
  const HANDLE file = ::CreateFileW(proof.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const bool wrote = ::WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  ::CloseHandle(file);
  return wrote && size > 0 ? 0 : 1;
}
