#pragma once

// A join as the window runs one, with the real workspace, tool, records and claims, but no window:
// for programs that end a join at its steps, or time it.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "join/DiskWorkspace.h"
#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "join/SystemFileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/SystemError.h"

namespace folianto::testing {

// The system's names, but no path of unreadable survives the code page, and without shortForms
// no path has a short form, as on a volume that keeps none.
class SeamedNames final : public ToolFileNames {
 public:
  SeamedNames(bool shortForms, std::vector<std::wstring> unreadable = {})
      : shortForms_(shortForms), unreadable_(std::move(unreadable)) {}
  bool SurvivesCodePage(const std::wstring& text) override {
    return std::find(unreadable_.begin(), unreadable_.end(), text) == unreadable_.end() &&
           names_.SurvivesCodePage(text);
  }
  unsigned CodePage() override { return names_.CodePage(); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    return shortForms_ ? names_.ShortForm(path) : std::nullopt;
  }
  bool Exists(const std::wstring& path) override { return names_.Exists(path); }

 private:
  SystemFileNames names_;
  bool shortForms_;
  std::vector<std::wstring> unreadable_;
};

// The person answers at once: output in the save dialog, its check box as bookmarks says, and
// password (told by asked first) for every password, or Cancel without one. What the join tells
// is gathered in told.
class HeadlessHost final : public JoinPerson, public JoinTool {
 public:
  HeadlessHost(RunningJoins& joins, ToolFileNames& names, std::wstring output, bool bookmarks,
               std::optional<std::wstring> password = {}, std::function<void()> asked = {})
      : output_(std::move(output)),
        bookmarks_(bookmarks),
        password_(std::move(password)),
        asked_(std::move(asked)),
        join_(joins),
        names_(names),
        workspace_(TemporaryFolder(),
                   [](HANDLE copy, const std::wstring&) { return WaitRunningMessages(copy); }) {
    join_.Use(workspace_);
  }
  JoinHost Host() { return {*this, *this, join_, names_, workspace_}; }
  std::wstring told;

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    dialog.fileName = output_;
    dialog.checkBoxTicked = bookmarks_;
    return {DialogResult::Chosen, 0};
  }
  void ShowMessage(const std::wstring& text) override { told += text; }
  void TellOutcome(const std::wstring&, const JoinOutcome& outcome) override {
    told += outcome.succeeded ? kJoinSuccessful + outcome.text : outcome.text;
  }
  void SetProgress(int) override {}
  std::optional<SecretText> AskPassword(const std::wstring&, const std::wstring&) override {
    if (asked_) asked_();
    if (!password_) return std::nullopt;
    std::wstring password = *password_;
    return SecretText(password);
  }
  bool CanAsk() override { return password_.has_value(); }
  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    RunOptions tool;
    tool.held = join_.ForTools();
    tool.currentFolder = ApplicationFolder();
    tool.onStarted = [this](HANDLE process) { workspace_.ToolStarted(process); };
    return RunToolHidden(commandLine, options, std::move(tool), workspace_.OwnFolder().path);
  }
  std::wstring SystemErrorText(uint32_t error) override { return folianto::SystemErrorText(error); }

 private:
  std::wstring output_;
  bool bookmarks_;
  std::optional<std::wstring> password_;
  std::function<void()> asked_;
  RunningJoins::Join join_;
  ToolFileNames& names_;
  DiskWorkspace workspace_;
};

}  // namespace folianto::testing
