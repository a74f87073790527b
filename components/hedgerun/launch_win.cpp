// Starts the program from the folder rundll32 hands over.
#include "components/hedgerun/launch_win.h"

#include <windows.h>

#include <vector>

#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "components/hedgerun/launch.h"

namespace hg::hedgerun {
namespace {

using hg::win::Narrow;
using hg::win::Widen;

struct EnvironmentStringsTraits {
  using type = wchar_t*;
  static wchar_t* Invalid() noexcept { return nullptr; }
  static void Close(wchar_t* block) noexcept { ::FreeEnvironmentStringsW(block); }
};

std::vector<std::string> CurrentEnvironment() {
  const hg::win::unique_any<EnvironmentStringsTraits> block(::GetEnvironmentStringsW());
  if (!block) hg::win::ThrowLastError();
  std::vector<std::string> entries;
  for (const wchar_t* entry = block.get(); *entry; entry += ::wcslen(entry) + 1) {
    entries.push_back(Narrow(entry));
  }
  return entries;
}

// The block CreateProcessW takes: entries ended by a null, the block by one more.
std::wstring EnvironmentBlock(const std::vector<std::string>& entries) {
  std::wstring block;
  for (const std::string& entry : entries) {
    block += Widen(entry);
    block += L'\0';
  }
  block += L'\0';
  return block;
}

// The program is handed its folder in the short form; it runs from the long
// one, so that its own path, its working folder and its window show the names
// the user knows.
std::wstring LongPath(const std::wstring& path) {
  std::wstring result(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetLongPathNameW(path.c_str(), result.data(), static_cast<DWORD>(result.size()));
    if (length == 0) return path;  // no such folder: the missing program is told below
    if (length < result.size()) {
      result.resize(length);
      return result;
    }
    result.resize(length);
  }
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void ShowMessageBox(const std::wstring& text) {
  ::MessageBoxW(nullptr, text.c_str(), L"Hedgerow", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

bool StartProgram(std::wstring_view commandLine, int show, const MessageSeam& showMessage) noexcept {
  try {
    const std::string given = FolderArgument(Narrow(commandLine));
    if (given.empty()) {
      showMessage(Widen(NoFolderMessage()));
      return false;
    }
    const std::string folder = Narrow(LongPath(Widen(given)));
    const std::string program = ProgramIn(folder);
    const std::wstring programPath = Widen(program);
    if (!IsFile(programPath)) {
      showMessage(Widen(MissingProgramMessage(program)));
      return false;
    }
    std::wstring childCommandLine = L"\"" + programPath + L"\"";
    std::wstring environment = EnvironmentBlock(MarkedEnvironment(CurrentEnvironment()));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(programPath.c_str(), childCommandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, environment.data(), Widen(folder).c_str(),
                          &startup, &process)) {
      const HRESULT hr = hg::win::HResultFromLastError();
      showMessage(Widen(StartFailedMessage(program, hg::win::HResultCategory().message(hr))));
      return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
  } catch (const std::exception& e) {
    try {
      showMessage(Widen(StartFailedMessage("Hedgerow.exe", e.what())));
    } catch (...) {
      // Nothing is left to tell the user with.
    }
    return false;
  }
}

}  // namespace hg::hedgerun
