#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "filelist/FileList.h"
#include "join/JoinHost.h"
#include "platform/CommonDialog.h"

namespace folianto {

// The longest password a PDF file holds: 127 bytes.
inline constexpr int kMaxPasswordLength = 127;

// The longest command line the system starts; the count holds the closing NUL.
inline constexpr size_t kMaxCommandLineLength = 32767;

// "Join!" after its button's value/click protocol: asks for the output file in `dialog`, checks
// the list, has pdftk.exe in applicationFolder join the entries and tells the user the outcome.
void RunJoinCommand(const JoinHost& host, const FileList& list, CommonDialog& dialog,
                    const std::wstring& applicationFolder);

// What the user is told when the save dialog fails with its extended error code.
std::wstring SaveDialogFailureMessage(uint32_t error);

inline constexpr wchar_t kJoinSuccessful[] = L"Join successful.";
// The save dialog's check box.
inline constexpr wchar_t kBookmarkEachFile[] = L"Add a bookmark for each file";

// The message that tells the user how the tool's run ended; systemErrorText gives the system's
// words for the run's system error.
std::wstring JoinOutcomeMessage(const ToolRun& run, const std::wstring& applicationFolder,
                                const std::wstring& systemErrorText);
// The same as the outcome of a join, with the system's words from tool.
JoinOutcome OutcomeOfRun(const ToolRun& run, const std::wstring& applicationFolder, JoinTool& tool);

}  // namespace folianto
