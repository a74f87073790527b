// The system's open-file dialog.
#include "app/ui/open_file_dialog_win.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <vector>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::ui {
namespace {

using hg::win::com_ptr;
using hg::win::Widen;

std::optional<std::string> ShowItemDialog(IFileOpenDialog& dialog, HWND owner,
                                          const OpenFileRequest& request) {
  THROW_IF_FAILED(dialog.SetTitle(Widen(request.title).c_str()));
  std::vector<std::wstring> texts;
  for (const auto& [description, patterns] : request.filters) {
    texts.push_back(Widen(description));
    texts.push_back(Widen(patterns));
  }
  std::vector<COMDLG_FILTERSPEC> specs;
  for (std::size_t i = 0; i < texts.size(); i += 2) {
    specs.push_back({texts[i].c_str(), texts[i + 1].c_str()});
  }
  if (!specs.empty()) {
    THROW_IF_FAILED(dialog.SetFileTypes(static_cast<UINT>(specs.size()), specs.data()));
    THROW_IF_FAILED(dialog.SetFileTypeIndex(1));
  }
  FILEOPENDIALOGOPTIONS options = 0;
  THROW_IF_FAILED(dialog.GetOptions(&options));
  THROW_IF_FAILED(dialog.SetOptions(options | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST |
                                    FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR));
  // A folder that is not there yet leaves the dialog where it would open anyway.
  com_ptr<IShellItem> folder;
  if (!request.initialFolder.empty() &&
      SUCCEEDED(::SHCreateItemFromParsingName(Widen(request.initialFolder).c_str(), nullptr,
                                              IID_IShellItem, folder.put_void()))) {
    THROW_IF_FAILED(dialog.SetFolder(folder.get()));
  }
  const HRESULT shown = dialog.Show(owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  THROW_IF_FAILED(shown);
  com_ptr<IShellItem> chosen;
  THROW_IF_FAILED(dialog.GetResult(chosen.put()));
  wchar_t* path = nullptr;
  THROW_IF_FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path));
  const hg::win::unique_cotaskmem_string owned(path);
  return hg::win::Narrow(owned.get());
}

}  // namespace

std::optional<std::string> ShowOpenFileDialog(HWND owner, const OpenFileRequest& request) {
  com_ptr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, dialog.put_void()))) {
    return ShowClassicOpenFileDialog(owner, request);
  }
  return ShowItemDialog(*dialog.get(), owner, request);
}

std::optional<std::string> ShowClassicOpenFileDialog(HWND owner, const OpenFileRequest& request) {
  // Pairs of texts, each ended by a NUL, and one more NUL at the end.
  std::wstring filter;
  for (const auto& [description, patterns] : request.filters) {
    filter += Widen(description) + L'\0' + Widen(patterns) + L'\0';
  }
  filter += L'\0';
  const std::wstring title = Widen(request.title);
  const std::wstring folder = Widen(request.initialFolder);
  // Room for a long path.
  std::wstring path(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&dialog)) {
    const DWORD error = ::CommDlgExtendedError();
    if (error == 0) return std::nullopt;
    hg::win::ThrowHResult(E_FAIL, "The file dialog failed with error " + std::to_string(error) + ".");
  }
  return hg::win::Narrow(path.c_str());
}

}  // namespace app::ui
