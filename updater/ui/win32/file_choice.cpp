// The file rows of the main dialog: choosing, dropping and showing the operations' files.
#include "ui/win32/file_choice.h"

#include <commdlg.h>
#include <shlobj.h>

#include <filesystem>
#include <vector>

#include "ui/common/dialog_resources.h"
#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

static_assert(kIdImageName == IDC_IMAGE_NAME && kIdChooseImage == IDC_CHOOSE_IMAGE &&
              kIdReadbackName == IDC_READBACK_NAME && kIdChooseReadback == IDC_CHOOSE_READBACK);

// File names cross between the dialogs' wide texts and the narrow names the file functions take,
// in the process's code page.
std::wstring toWide(const std::string& text) {
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0), 0);
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
  return wide;
}

std::string toNarrow(const std::wstring& wide) {
  std::string text(
      WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr),
      0);
  WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), text.data(), int(text.size()),
                      nullptr, nullptr);
  return text;
}

// The user's documents folder, or "" when the system can't tell.
std::string documentsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  return toNarrow(path);
}

// One question for a file: an existing image to open, or a file to save the unit's image into.
struct FileQuestion {
  bool save;
  const wchar_t* title;
  const wchar_t* filter;
};

constexpr FileQuestion kImageQuestion = {
    false, L"Choose the image to program",
    L"Image files (*.hex, *.bin)\0*.hex;*.bin\0All files (*.*)\0*.*\0"};
constexpr FileQuestion kReadbackQuestion = {
    true, L"Read the unit into",
    L"Intel HEX (*.hex)\0*.hex\0Raw binary (*.bin)\0*.bin\0All files (*.*)\0*.*\0"};

// Asks `question` with the standard dialog over `owner`, starting at `start` (its folder, and
// its name in the name field); the chosen path, or "" when cancelled.
std::string askForFile(HWND owner, const FileQuestion& question, const std::string& start) {
  const std::filesystem::path startPath(toWide(start));
  const std::wstring folder = startPath.parent_path().wstring();
  std::vector<wchar_t> name(32768, L'\0');
  startPath.filename().wstring().copy(name.data(), name.size() - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = question.filter;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = DWORD(name.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = question.title;
  dialog.lpstrDefExt = L"hex";
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 (question.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = question.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  return chosen ? toNarrow(name.data()) : std::string();
}

}  // namespace

void FileChoiceControls::attach(HWND dialog, const std::string& folder) {
  dialog_ = dialog;
  choice_ = boot::FileChoice(folder);
  DragAcceptFiles(dialog_, TRUE);
  showNames();
}

bool FileChoiceControls::command(int id) {
  switch (id) {
    case IDC_CHOOSE_IMAGE:
      chooseImage();
      return true;
    case IDC_CHOOSE_READBACK:
      chooseReadback();
      return true;
    default:
      return false;
  }
}

void FileChoiceControls::drop(HDROP files) {
  if (DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0) == 1) {
    std::wstring name(DragQueryFileW(files, 0, nullptr, 0), L'\0');
    DragQueryFileW(files, 0, name.data(), UINT(name.size() + 1));
    const std::string path = toNarrow(name);
    if (boot::isImageFileName(path)) {
      choice_.chooseImage(path);
      showNames();
    }
  }
  DragFinish(files);
}

std::optional<boot::OperationFiles> FileChoiceControls::filesFor(boot::Operation operation) {
  if (operation == boot::Operation::Read && choice_.readbackNeedsChoice() && !chooseReadback())
    return std::nullopt;
  return choice_.files();
}

void FileChoiceControls::chooseImage() {
  const std::string path = askForFile(dialog_, kImageQuestion, choice_.image().path);
  if (path.empty())
    return;
  choice_.chooseImage(path);
  showNames();
}

bool FileChoiceControls::chooseReadback() {
  const std::string path =
      askForFile(dialog_, kReadbackQuestion, choice_.readbackDialogStart(documentsFolder()));
  if (path.empty())
    return false;
  choice_.chooseReadback(path);
  showNames();
  return true;
}

// The whole paths: the controls shorten them in the middle to fit.
void FileChoiceControls::showNames() {
  SetDlgItemTextW(dialog_, IDC_IMAGE_NAME, toWide(choice_.image().path).c_str());
  SetDlgItemTextW(dialog_, IDC_READBACK_NAME, toWide(choice_.readback().path).c_str());
}

}  // namespace quillmar::ui
