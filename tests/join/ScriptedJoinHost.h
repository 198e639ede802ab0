#pragma once

// A JoinHost that answers the join's questions from the test and writes down, in order,
// everything the join does.
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "join/JoinCommand.h"
#include "join/MemoryClaims.h"
#include "platform/Paths.h"

namespace folianto::testing {

using Log = std::vector<std::wstring>;
inline constexpr wchar_t kFolder[] = L"C:\\Tools";

class ScriptedHost final : public JoinPerson, public JoinTool, public ToolFileNames {
 public:
  // Answers every concern of a join itself.
  operator JoinHost() { return {*this, *this, Join(), *this, workspace}; }

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
  // Logged as the message the user reads; a failure that offers a folder names it too.
  void TellOutcome(const std::wstring&, const JoinOutcome& outcome) override {
    if (!outcome.folderToShow.empty()) log.push_back(L"offers " + outcome.folderToShow);
    ShowMessage(outcome.succeeded ? kJoinSuccessful + outcome.text : outcome.text);
  }
  void SetProgress(int value) override { log.push_back(L"progress " + std::to_wstring(value)); }
  // Runs once while the next tool runs, as a nested join does.
  std::function<void()> whileRunning;
  // When set, answers each run, given its standard input, in place of toolRun.
  std::function<ToolRun(const std::wstring& commandLine, const std::wstring& input)> tool;
  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    log.push_back(L"run " + commandLine);
    // Taken, as the tool's input takes it.
    const SecretText input = options.input ? std::move(*options.input) : SecretText();
    if (options.input) log.push_back(L"input " + input.Text());
    if (whileRunning) std::exchange(whileRunning, nullptr)();
    if (!tool) return toolRun;
    return tool(commandLine, input.Text());
  }
  std::wstring SystemErrorText(uint32_t error) override {
    // As the system words it, with the program it is about as "%1".
    if (error == 193) return L"%1 is not a valid Win32 application.";
    return L"The words for " + std::to_wstring(error) + L".";
  }
  // Each question takes the next answer; none: Cancel.
  std::vector<std::optional<std::wstring>> passwords;
  bool canAsk = true;
  std::optional<SecretText> AskPassword(const std::wstring& file,
                                        const std::wstring& prompt) override {
    log.push_back(L"ask " + file + L": " + prompt);
    if (asked >= passwords.size() || !passwords[asked]) return std::nullopt;
    std::wstring answer = *passwords[asked++];
    return SecretText(answer);
  }
  bool CanAsk() override { return canAsk; }
  unsigned codePage = 1252;
  unsigned CodePage() override { return codePage; }
  // The same file: the same text, or a pair of names given here (a short name, a hard link).
  std::set<std::pair<std::wstring, std::wstring>> sameFiles;
  std::optional<size_t> SameFileAmong(const std::wstring& path,
                                      const std::vector<std::wstring>& others) {
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
  RunningJoins::Join& Join() {
    if (!join) join.emplace(*record);
    return *join;
  }

  // The system's names: by default every text survives the code page and every file is there.
  std::function<bool(const std::wstring&)> survives = [](const std::wstring&) { return true; };
  std::map<std::wstring, std::wstring> shortForms;
  std::set<std::wstring> missing;

  bool SurvivesCodePage(const std::wstring& text) override { return survives(text); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    const auto found = shortForms.find(path);
    if (found == shortForms.end()) return std::nullopt;
    return found->second;
  }
  bool Exists(const std::wstring& path) override { return !missing.count(path); }

  // What the join puts on disk, made under predictable names and logged: the own folder
  // "fol1b", a file "FOL1A.tmp", "FOL2A.tmp", ..., a stand-in "1.pdf", "2.pdf", ...
  bool replaceFails = false;
  bool standInsFail = false;        // neither a link nor a copy can be made
  bool privateFolderFails = false;  // no own folder at all
  bool folderReadableByOthers = false;
  std::wstring temporaryFolder = L"C:\\Temp";
  std::set<std::wstring> stuck;  // names whose removal fails

  class ScriptedWorkspace final : public JoinWorkspace {
   public:
    explicit ScriptedWorkspace(ScriptedHost& host) : host_(host) {}
    Folder OwnFolder() override {
      if (host_.privateFolderFails) return {};
      if (own_.empty()) {
        host_.log.push_back(L"make folder in " + host_.temporaryFolder);
        own_ = Made(host_.temporaryFolder + L"\\fol1b", true);
      }
      return {own_, !host_.folderReadableByOthers};
    }
    std::wstring MakeBeside(const std::wstring& target) override {
      const std::wstring folder = FolderOfPath(target);
      host_.log.push_back(L"make temporary in " + folder);
      return Made(folder + (folder.ends_with(L'\\') ? L"" : L"\\") + NextFile());
    }
    // What lies in the own folder goes with it.
    std::wstring MakeFile(std::string_view content) override {
      const Folder own = OwnFolder();
      if (!own.isPrivate) return {};
      const std::wstring path = own.path + L"\\" + NextFile();
      host_.log.push_back(L"file " + path);
      if (!content.empty())
        host_.log.push_back(L"write " + path + L": " +
                            std::wstring(content.begin(), content.end()));
      return path;
    }
    std::wstring MakeStandIn(const std::wstring& input) override {
      const Folder own = OwnFolder();
      if (own.path.empty()) return {};
      const std::wstring path = own.path + L"\\" + std::to_wstring(++standIns_) + L".pdf";
      host_.log.push_back(L"stand-in " + path + L" for " + input);
      return host_.standInsFail ? L"" : path;
    }
    Naming GiveName(const std::wstring& path, const std::wstring& target) override {
      host_.log.push_back(L"replace " + target + L" with " + path);
      std::erase_if(made_, [&](const auto& made) { return made.first == path; });
      if (host_.replaceFails) return {false, path, 5};
      return {true};
    }
    std::vector<std::wstring> RemoveAll() override {
      std::vector<std::wstring> left;
      for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
        host_.log.push_back((made->second ? L"remove folder " : L"remove ") + made->first);
        if (host_.stuck.count(made->first)) left.push_back(made->first);
      }
      made_.clear();
      return left;
    }
    std::vector<std::wstring> Left() const override {
      std::vector<std::wstring> left;
      for (const auto& made : made_)
        left.push_back(made.first);
      return left;
    }

   private:
    std::wstring Made(std::wstring path, bool folder = false) {
      made_.emplace_back(path, folder);
      return path;
    }
    std::wstring NextFile() { return L"FOL" + std::to_wstring(++files_) + L"A.tmp"; }
    ScriptedHost& host_;
    std::vector<std::pair<std::wstring, bool>> made_;  // a path, and whether a folder
    std::wstring own_;
    int files_ = 0;
    int standIns_ = 0;
  };
  ScriptedWorkspace workspace{*this};

  Log Messages() const { return Matching(L"message "); }
  Log Runs() const { return Matching(L"run "); }

 private:
  size_t asked = 0;
  Log Matching(const std::wstring& prefix) const {
    Log found;
    for (const auto& line : log) {
      if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    }
    return found;
  }
};

}  // namespace folianto::testing
