#pragma once

// A JoinHost that answers the join's questions from the test and writes down, in order,
// everything the join does.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "join/JoinCommand.h"

namespace folianto::testing {

using Log = std::vector<std::wstring>;
inline constexpr wchar_t kFolder[] = L"C:\\Tools";

class ScriptedHost final : public JoinHost {
 public:
  std::wstring saveAnswer;  // empty: the user cancels
  ToolRun toolRun{ExitedWith(0), L""};
  std::function<void()> onMessage;
  Log log;

  uint32_t saveError = 0;           // not 0: the dialog fails with this code
  std::vector<CommonDialog> shown;  // each save dialog as it was shown

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    log.push_back(L"save " + dialog.dialogTitle + L" [" + dialog.fileName + L"]");
    if (saveError != 0) return {DialogResult::Failed, saveError};
    shown.push_back(dialog);
    if (saveAnswer.empty()) return {DialogResult::Cancelled, 0};
    dialog.fileName = saveAnswer;
    return {DialogResult::Chosen, 0};
  }
  void ShowMessage(const std::wstring& text) override {
    log.push_back(L"message " + text);
    if (onMessage) onMessage();
  }
  void SetProgress(int value) override { log.push_back(L"progress " + std::to_wstring(value)); }
  void SetBusy(bool busy) override { log.push_back(busy ? L"busy" : L"not busy"); }
  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const std::function<void(const RunResult&)>&) override {
    log.push_back(L"run " + commandLine);
    return toolRun;
  }
  bool IsSameFile(const std::wstring& a, const std::wstring& b) override { return a == b; }

  // The system's names: by default every text survives the code page and every file is there.
  std::function<bool(const std::wstring&)> survives = [](const std::wstring&) { return true; };
  std::map<std::wstring, std::wstring> shortForms;
  std::set<std::wstring> missing;
  bool replaceFails = false;

  bool SurvivesCodePage(const std::wstring& text) override { return survives(text); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    const auto found = shortForms.find(path);
    if (found == shortForms.end()) return std::nullopt;
    return found->second;
  }
  bool Exists(const std::wstring& path) override { return !missing.count(path); }
  std::wstring MakeTemporaryFile(const std::wstring& folder) override {
    log.push_back(L"make temporary in " + folder);
    return folder + L"\\FOL1A.tmp";
  }
  bool RenameReplacing(const std::wstring& from, const std::wstring& to) override {
    log.push_back(L"replace " + to + L" with " + from);
    return !replaceFails;
  }
  void RemoveFile(const std::wstring& path) override { log.push_back(L"remove " + path); }

  Log Messages() const { return Matching(L"message "); }
  Log Runs() const { return Matching(L"run "); }

 private:
  Log Matching(const std::wstring& prefix) const {
    Log found;
    for (const auto& line : log) {
      if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    }
    return found;
  }
};

}  // namespace folianto::testing
