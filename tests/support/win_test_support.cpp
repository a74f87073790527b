// Helpers for the tests that run under Wine.
#include "tests/support/win_test_support.h"

#include <malloc.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "common/win/com_win.h"
#include "common/win/file_win.h"
#include "common/win/proc_address.h"
#include "common/win/unique_any.h"
#include "tests/support/scratch_win.h"

namespace hg::test {

std::wstring ProgramFolder() {
  const std::wstring path = win::ModuleFileName(nullptr);
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring TkSharedPath() { return ProgramFolder() + L"\\tkShared.dll"; }

ComApartment::ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}

ComApartment::~ComApartment() {
  if (SUCCEEDED(result_)) ::CoUninitialize();
}

namespace {

// The script after its language's prelude, as a file of its own for this run.
std::wstring WithPrelude(const std::wstring& fileName) {
  const std::wstring extension = fileName.substr(fileName.find_last_of(L'.'));
  const std::wstring combined = ProgramFolder() + L"\\~" + std::to_wstring(::GetCurrentProcessId()) +
                                L"-" + fileName;
  std::ofstream out(std::filesystem::path(combined), std::ios::binary | std::ios::trunc);
  out << ReadRaw(ProgramFolder() + L"\\prelude" + extension) << "\r\n" << ReadRaw(ProgramFolder() + L"\\" + fileName);
  if (!out.flush()) throw std::runtime_error("cannot write the script with its prelude");
  return combined;
}

// The last line the script printed that is not empty.
std::string LastLine(std::string output) {
  output.erase(output.find_last_not_of("\r\n") + 1);
  return output.substr(output.find_last_of("\r\n") + 1);
}

// Standard output and standard error of the script, as printed. A script that
// waits on anything (a dialog, input) is ended with its test by the test's timeout.
std::string RunScript(const std::wstring& fileName) {
  const std::wstring script = WithPrelude(fileName), printed = script + L".out";
  const std::wstring command = L"cscript.exe //nologo //B \"" + script + L"\" > \"" + printed + L"\" 2>&1";
  if (_wsystem(command.c_str()) == -1) throw std::runtime_error("cannot start cscript.exe");
  std::string output = ReadRaw(printed);
  ::DeleteFileW(script.c_str());
  ::DeleteFileW(printed.c_str());
  return output;
}

}  // namespace

void ExpectScriptPasses(const std::wstring& fileName) {
  const std::string output = RunScript(fileName);
  EXPECT_EQ(LastLine(output), "PASS") << output;
}

void ExpectSystemMessageForm(const std::wstring& text) {
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos) << text;
  EXPECT_EQ(text.back(), L' ') << text;
  EXPECT_NE(text[text.size() - 2], L' ') << text;
}

std::wstring Environment(const wchar_t* name) {
  std::wstring value(32768, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, value.data(), 32768);
  value.resize(length < 32768 ? length : 0);
  return value;
}

ScopedEnvironment::ScopedEnvironment(std::wstring name, const std::wstring& value)
    : name_(std::move(name)), old_(Environment(name_.c_str())) {
  ::SetEnvironmentVariableW(name_.c_str(), value.empty() ? nullptr : value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
  ::SetEnvironmentVariableW(name_.c_str(), old_.empty() ? nullptr : old_.c_str());
}

namespace {

thread_local std::function<void(HWND)> t_answer;
thread_local std::wstring t_caption;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t className[16] = {};
  ::GetClassNameW(window, className, 16);
  // A dialog the user cannot see yet (its modal loop shows it when first
  // idle) is not answered: a user could not act on it either.
  if (std::wstring_view(className) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
  if (!t_caption.empty() && WindowText(window) != t_caption) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK AnswerOnTick(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;  // not shown yet: the next tick looks again
  ::KillTimer(nullptr, timer);
  auto answer = std::move(t_answer);
  answer(dialog);
}

}  // namespace

void AnswerNextDialog(std::function<void(HWND dialog)> answer, std::wstring caption) {
  t_answer = std::move(answer);
  t_caption = std::move(caption);
  if (!::SetTimer(nullptr, 0, 20, AnswerOnTick)) throw std::runtime_error("SetTimer");
}

void PressButton(HWND dialog, int button) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

ComFailure LastFailure(HRESULT hr) {
  ComFailure failure{hr, {}, {}};
  hg::win::com_ptr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.put()) == S_OK) {
    hg::win::unique_bstr description, source;
    info->GetDescription(description.put());
    info->GetSource(source.put());
    if (description) failure.description = description.get();
    if (source) failure.source = source.get();
  }
  return failure;
}

bool RunOnSmallStack(const std::function<void()>& work) {
  constexpr ULONG_PTR kSmallStack = 64 * 1024;
  constexpr DWORD kFinished = 0x600D;
  const HANDLE thread = ::CreateThread(
      nullptr, kSmallStack,
      [](void* parameter) -> DWORD {
        // Wine gives every thread at least a megabyte: what lies beyond the
        // small stack is taken up before the work starts.
        using Limits = void(WINAPI*)(PULONG_PTR, PULONG_PTR);
        const auto limits =
            win::GetProc<Limits>(::GetModuleHandleW(L"kernel32.dll"), "GetCurrentThreadStackLimits");
        ULONG_PTR low = 0;
        ULONG_PTR high = 0;
        if (limits) limits(&low, &high);
        const auto here = reinterpret_cast<ULONG_PTR>(&low);
        if (low != 0 && here - low > kSmallStack) {
          volatile char* taken = static_cast<char*>(_alloca(here - low - kSmallStack));
          taken[0] = 0;
        }
        (*static_cast<const std::function<void()>*>(parameter))();
        return kFinished;
      },
      const_cast<std::function<void()>*>(&work), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) throw std::runtime_error("CreateThread");
  ::WaitForSingleObject(thread, INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeThread(thread, &exitCode);
  ::CloseHandle(thread);
  return exitCode == kFinished;
}

}  // namespace hg::test
