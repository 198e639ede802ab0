#pragma once

// Helpers for tests that drive the real window and controls under Wine (or Windows).
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "platform/Dialogs.h"

namespace folianto::testing {

// Dialogs answered by the test: each Show takes the next scripted answer, and every message box
// text is recorded. A hook runs while a dialog is "open", to look at the window at that moment.
class ScriptedDialogs final : public DialogHost {
 public:
  struct FileAnswer {
    DialogResult result = DialogResult::Chosen;
    std::wstring fileName;
    uint32_t error = 0;
  };

  void AnswerOpen(FileAnswer answer) { openAnswers.push_back(std::move(answer)); }
  void AnswerSave(FileAnswer answer) { saveAnswers.push_back(std::move(answer)); }
  void AnswerFolder(std::wstring folder) { folderAnswers.push_back(std::move(folder)); }

  DialogOutcome ShowOpen(HWND owner, CommonDialog& dialog) override;
  DialogOutcome ShowSave(HWND owner, CommonDialog& dialog) override;
  std::wstring BrowseFolder(HWND owner, const std::wstring& title) override;
  void ShowMessage(HWND owner, const std::wstring& text) override;
  // Recorded among the messages as its text; answered with the next of choices, else IDOK.
  int ShowChoice(HWND owner, const std::wstring& text,
                 std::span<const DialogButton> buttons) override;
  // Each takes the next of passwordAnswers (none: Cancel), "subject: prompt" recorded.
  std::optional<SecretText> AskMasked(HWND owner, const MaskedQuestion& question) override;

  std::deque<FileAnswer> openAnswers;
  std::deque<FileAnswer> saveAnswers;
  std::deque<std::wstring> folderAnswers;
  std::vector<CommonDialog> openShown;  // the dialog's settings each time it was shown
  std::vector<CommonDialog> saveShown;
  std::vector<std::wstring> folderTitles;
  std::vector<std::wstring> messages;
  std::function<void()> whileOpen;  // runs inside every Show and question, before it answers
  std::function<void(const std::wstring&)> onMessage;
  std::deque<int> choices;
  // The labels of the buttons beside OK of each choice, in order.
  std::vector<std::vector<std::wstring>> choiceButtons;
  std::deque<std::optional<std::wstring>> passwordAnswers;
  std::vector<std::wstring> passwordQuestions;

 private:
  DialogOutcome Answer(std::deque<FileAnswer>& answers, CommonDialog& dialog);
};

// The folder of the running test program, without a closing backslash.
std::wstring TestProgramFolder();

// A fresh folder for one test outside the Wine prefix (which Wine hides from listings), removed
// with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  // Makes the folders on the way; returns the full path.
  std::wstring WriteFile(const std::wstring& relative, const std::string& content = "%PDF-1.4\n");
  std::wstring MakeFolder(const std::wstring& relative);

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
// The names in folder, "." and ".." left out.
std::vector<std::wstring> Listed(const std::wstring& folder);

// A created, shown Form1 with scripted dialogs.
struct TestForm {
  explicit TestForm(std::wstring applicationFolder = TestProgramFolder());
  ScriptedDialogs dialogs;
  std::unique_ptr<Form1> form;
};

// Presses a picture button with a real click message.
void Click(const PictureButton& button);

// Lets every pending message run.
void Pump();

// Starts the program of commandLine (program first); its process, empty when it did not start.
UniqueKernelHandle StartProgram(std::wstring commandLine);

// What only the Linux side can do under Wine, by the tests' Winelib helper: link is made a Unix
// symbolic link to target (as a junction would be on Windows); path is given to another account.
bool LinkUnix(const std::wstring& link, const std::wstring& target);
bool GiveAway(const std::wstring& path);

// A small valid PDF file with one page per text, each page showing its text.
std::string MakePdf(const std::vector<std::string>& pageTexts);

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Writes bytes into the file at path, made where there is none, from its start.
void WriteWhole(const std::wstring& path, const std::string& bytes);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

}  // namespace folianto::testing
