#pragma once

// A JoinHost that answers the join's questions from the test and writes down, in order,
// everything the join does.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "join/JoinCommand.h"
#include "join/MemoryClaims.h"

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
  void ShowJoinSuccessful(const std::wstring&) override { ShowMessage(kJoinSuccessful); }
  void SetProgress(int value) override { log.push_back(L"progress " + std::to_wstring(value)); }
  // Runs once while the next tool runs, as a nested join does.
  std::function<void()> whileRunning;
  // When set, answers each run, given its standard input, in place of toolRun.
  std::function<ToolRun(const std::wstring& commandLine, const std::wstring& input)> tool;
  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    log.push_back(L"run " + commandLine);
    if (options.input) log.push_back(L"input " + options.input->Text());
    if (whileRunning) std::exchange(whileRunning, nullptr)();
    if (!tool) return toolRun;
    return tool(commandLine, options.input ? options.input->Text() : std::wstring());
  }
  std::wstring SystemErrorText(uint32_t error) override {
    return L"The words for " + std::to_wstring(error) + L".";
  }
  // Each question takes the next answer; none: Cancel.
  std::vector<std::optional<std::wstring>> passwords;
  bool canAsk = true;
  std::optional<SecretText> AskPassword(const std::wstring& file, bool again) override {
    log.push_back((again ? L"ask again " : L"ask ") + file);
    if (asked >= passwords.size() || !passwords[asked]) return std::nullopt;
    std::wstring answer = *passwords[asked++];
    return SecretText(answer);
  }
  bool CanAsk() override { return canAsk; }
  // The same file: the same text, or a pair of names given here (a short name, a hard link).
  std::set<std::pair<std::wstring, std::wstring>> sameFiles;
  std::optional<size_t> SameFileAmong(const std::wstring& path,
                                      const std::vector<std::wstring>& others) override {
    for (size_t i = 0; i < others.size(); ++i) {
      if (path == others[i] || sameFiles.count({path, others[i]}) ||
          sameFiles.count({others[i], path}))
        return i;
    }
    return std::nullopt;
  }
  // The record of running joins: the host's own, or that of the join this one runs nested in.
  // Each host is one join, from its first claim to the host's end.
  MemoryClaims claims{[this](const std::wstring& a, const std::wstring& b) {
    return SameFileAmong(a, {b}).has_value();
  }};
  RunningJoins ownRecord{claims};
  RunningJoins* record = &ownRecord;
  std::optional<RunningJoins::Join> join;
  std::optional<std::wstring> ClaimFiles(JoinFiles files) override {
    if (!join) join.emplace(*record);
    return join->Claim(std::move(files));
  }

  // The system's names: by default every text survives the code page and every file is there.
  std::function<bool(const std::wstring&)> survives = [](const std::wstring&) { return true; };
  std::map<std::wstring, std::wstring> shortForms;
  std::set<std::wstring> missing;
  bool replaceFails = false;
  // A volume without hard links, a temporary folder without room.
  bool linksFail = false;
  bool copiesFail = false;
  std::wstring temporaryFolder = L"C:\\Temp";

  bool SurvivesCodePage(const std::wstring& text) override { return survives(text); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    const auto found = shortForms.find(path);
    if (found == shortForms.end()) return std::nullopt;
    return found->second;
  }
  bool Exists(const std::wstring& path) override { return !missing.count(path); }
  std::wstring TemporaryFolder() override { return temporaryFolder; }
  std::wstring MakeTemporaryFile(const std::wstring& folder) override {
    log.push_back(L"make temporary in " + folder);
    return folder + L"\\FOL" + std::to_wstring(++temporaries) + L"A.tmp";
  }
  std::wstring MakeTemporaryFolder(const std::wstring& folder) override {
    log.push_back(L"make folder in " + folder);
    return folder + (folder.ends_with(L'\\') ? L"fol1b" : L"\\fol1b");
  }
  bool MakeHardLink(const std::wstring& link, const std::wstring& target) override {
    log.push_back(L"link " + link + L" to " + target);
    return !linksFail;
  }
  bool MakeCopy(const std::wstring& from, const std::wstring& to) override {
    log.push_back(L"copy " + from + L" to " + to);
    return !copiesFail;
  }
  bool MoveReplacing(const std::wstring& from, const std::wstring& to) override {
    log.push_back(L"replace " + to + L" with " + from);
    return !replaceFails;
  }
  bool WriteFileContent(const std::wstring& path, const std::string& bytes) override {
    log.push_back(L"write " + path + L": " + std::wstring(bytes.begin(), bytes.end()));
    return true;
  }
  std::set<std::wstring> stuck;  // names whose removal fails
  bool RemoveFile(const std::wstring& path) override {
    log.push_back(L"remove " + path);
    return !stuck.count(path);
  }
  bool RemoveFolder(const std::wstring& path) override {
    log.push_back(L"remove folder " + path);
    return !stuck.count(path);
  }

  Log Messages() const { return Matching(L"message "); }
  Log Runs() const { return Matching(L"run "); }

 private:
  size_t asked = 0;
  int temporaries = 0;
  Log Matching(const std::wstring& prefix) const {
    Log found;
    for (const auto& line : log) {
      if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    }
    return found;
  }
};

}  // namespace folianto::testing
