#include "support/WinTestSupport.h"

#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <fstream>

#include "platform/FileHandles.h"
#include "platform/Paths.h"

namespace folianto::testing {

DialogOutcome ScriptedDialogs::Answer(std::deque<FileAnswer>& answers, CommonDialog& dialog) {
  if (whileOpen) whileOpen();
  if (answers.empty()) return {DialogResult::Cancelled, 0};
  FileAnswer answer = std::move(answers.front());
  answers.pop_front();
  if (answer.result == DialogResult::Chosen) dialog.fileName = answer.fileName;
  return {answer.result, answer.error};
}

DialogOutcome ScriptedDialogs::ShowOpen(HWND, CommonDialog& dialog) {
  openShown.push_back(dialog);
  return Answer(openAnswers, dialog);
}

DialogOutcome ScriptedDialogs::ShowSave(HWND, CommonDialog& dialog) {
  saveShown.push_back(dialog);
  return Answer(saveAnswers, dialog);
}

std::wstring ScriptedDialogs::BrowseFolder(HWND, const std::wstring& title) {
  folderTitles.push_back(title);
  if (whileOpen) whileOpen();
  if (folderAnswers.empty()) return {};
  std::wstring folder = std::move(folderAnswers.front());
  folderAnswers.pop_front();
  return folder;
}

void ScriptedDialogs::ShowMessage(HWND, const std::wstring& text) {
  messages.push_back(text);
  if (onMessage) onMessage(text);
}

int ScriptedDialogs::ShowChoice(HWND owner, const std::wstring& text,
                                std::span<const DialogButton> buttons) {
  auto& labels = choiceButtons.emplace_back();
  for (const DialogButton& button : buttons)
    labels.push_back(button.label);
  ShowMessage(owner, text);
  if (choices.empty()) return IDOK;
  const int choice = choices.front();
  choices.pop_front();
  return choice;
}

std::optional<SecretText> ScriptedDialogs::AskMasked(HWND, const MaskedQuestion& question) {
  if (whileOpen) whileOpen();
  passwordQuestions.push_back(question.subject + L": " + question.prompt);
  if (passwordAnswers.empty()) return std::nullopt;
  std::optional<std::wstring> answer = std::move(passwordAnswers.front());
  passwordAnswers.pop_front();
  if (!answer) return std::nullopt;
  return SecretText(*answer);
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return FolderOfPath(std::wstring_view(path, length));
}

namespace {

std::atomic<int> g_folderCount{0};

void MakeParents(const std::wstring& path) {
  for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1)) {
    ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  }
}

bool RunUnixHelper(const std::wstring& arguments) {
  const UniqueKernelHandle helper =
      StartProgram(L"\"" + TestProgramFolder() + L"\\unix_helper.exe\" " + arguments);
  DWORD code = 1;
  return helper && ::WaitForSingleObject(helper.Get(), 10000) == WAIT_OBJECT_0 &&
         ::GetExitCodeProcess(helper.Get(), &code) && code == 0;
}

// What the Windows side cannot remove under Wine (a link that leads nowhere, which it does not
// list) goes by the helper.
void RemoveWhole(const std::wstring& path) {
  RemoveTree(path);
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    RunUnixHelper(L"remove-tree \"" + path + L"\"");
}

}  // namespace

TempFolder::TempFolder() {
  const std::wstring root = TestProgramFolder() + L"\\test-tmp";
  ::CreateDirectoryW(root.c_str(), nullptr);
  path_ = root + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(++g_folderCount);
  RemoveWhole(path_);
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  RemoveWhole(path_);
}

std::wstring TempFolder::WriteFile(const std::wstring& relative, const std::string& content) {
  const std::wstring path = path_ + L"\\" + relative;
  MakeParents(path);
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
  }
  return path;
}

std::wstring TempFolder::MakeFolder(const std::wstring& relative) {
  const std::wstring path = path_ + L"\\" + relative;
  MakeParents(path + L"\\");
  return path;
}

std::vector<std::wstring> Listed(const std::wstring& folder) {
  // Through a handle that lets any other open be, also one that keeps the folder in place.
  const UniqueFileHandle open(::CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
  return open ? EntriesOf(open.Get()) : std::vector<std::wstring>{};
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(child);
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(child.c_str());
      } else {
        ::DeleteFileW(child.c_str());
      }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
  }
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(path.c_str());
}

TestForm::TestForm(std::wstring applicationFolder)
    : form(std::make_unique<Form1>(dialogs, std::move(applicationFolder))) {
  // Away from the window, so only the test's own messages move the pointer setting.
  ::SetCursorPos(0, 0);
  if (form->Create(::GetModuleHandleW(nullptr))) form->Show(SW_SHOWNORMAL);
  Pump();
}

void Click(const PictureButton& button) {
  ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  Pump();
}

UniqueKernelHandle StartProgram(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return {};
  }
  const UniqueKernelHandle thread(info.hThread);
  return UniqueKernelHandle(info.hProcess);
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void WriteWhole(const std::wstring& path, const std::string& bytes) {
  const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            OPEN_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  ::CloseHandle(file);
  return bytes;
}

std::string MakePdf(const std::vector<std::string>& pageTexts) {
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", "",
                                      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
  std::string kids;
  for (const std::string& text : pageTexts) {
    const std::string content = "BT /F1 24 Tf 72 720 Td (" + text + ") Tj ET";
    kids += std::to_string(objects.size() + 1) + " 0 R ";
    objects.push_back(
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font "
        "<< /F1 3 0 R >> >> /Contents " +
        std::to_string(objects.size() + 2) + " 0 R >>");
    objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                      "\nendstream");
  }
  objects[1] =
      "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pageTexts.size()) + " >>";

  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (const size_t offset : offsets) {
    char entry[32];
    std::snprintf(entry, sizeof(entry), "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

bool LinkUnix(const std::wstring& link, const std::wstring& target) {
  return RunUnixHelper(L"symlink \"" + target + L"\" \"" + link + L"\"");
}

bool GiveAway(const std::wstring& path) {
  return RunUnixHelper(L"give-away \"" + path + L"\"");
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

}  // namespace folianto::testing
