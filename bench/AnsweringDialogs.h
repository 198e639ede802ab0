#pragma once

// Dialogs that the benchmarks answer themselves, so only the work behind them is measured: the
// save dialog with outputPath, the folder picker with folder, and every message kept, not shown.
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace folianto::bench {

class AnsweringDialogs final : public DialogHost {
 public:
  std::wstring outputPath;
  bool bookmarkEachFile = false;
  std::wstring folder;
  std::vector<std::wstring> messages;

  DialogOutcome ShowOpen(HWND, CommonDialog&) override { return {DialogResult::Cancelled, 0}; }
  DialogOutcome ShowSave(HWND, CommonDialog& dialog) override {
    if (outputPath.empty()) return {DialogResult::Cancelled, 0};
    dialog.fileName = outputPath;
    dialog.checkBoxTicked = bookmarkEachFile;
    return {DialogResult::Chosen, 0};
  }
  std::wstring BrowseFolder(HWND, const std::wstring&) override { return folder; }
  void ShowMessage(HWND, const std::wstring& text) override { messages.push_back(text); }
  int ShowChoice(HWND, const std::wstring& text, std::span<const DialogButton>) override {
    messages.push_back(text);
    return IDOK;
  }
  std::optional<SecretText> AskMasked(HWND, const MaskedQuestion&) override { return {}; }
};

}  // namespace folianto::bench
