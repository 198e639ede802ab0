#include "join/JoinCommand.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <utility>
#include <vector>

#include "filelist/AddFiles.h"
#include "filelist/PdfTest.h"
#include "join/JoinCommandLine.h"
#include "join/JoinSteps.h"
#include "join/ToolPaths.h"
#include "platform/Hex.h"

namespace folianto {

namespace {

constexpr wchar_t kNoPdfFiles[] = L"No PDF files added.";
// The tail of the tool's own text that a message box still shows whole.
constexpr size_t kMaxToolTextShown = 2000;

// The end of what the tool wrote, without the trailing line breaks.
std::wstring ToolTextTail(const std::wstring& output) {
  size_t end = output.size();
  while (end > 0 && std::iswspace(output[end - 1]))
    --end;
  size_t begin = end > kMaxToolTextShown ? end - kMaxToolTextShown : 0;
  // Never start on the second half of a surrogate pair.
  if (begin > 0 && output[begin] >= 0xDC00 && output[begin] <= 0xDFFF) ++begin;
  return output.substr(begin, end - begin);
}

// The Windows status codes a program ends with when it cannot be loaded or crashes.
struct StatusMeaning {
  uint32_t code;
  bool atStart;  // the loader's: the program never ran
  const wchar_t* words;
};
constexpr StatusMeaning kStatusMeanings[] = {
    {0xC0000135, true, L"a DLL it needs was not found"},
    {0xC0000139, true, L"a DLL it loads lacks a function it needs (another version of that DLL)"},
    {0xC000007B, true, L"it or a DLL it loads is damaged or made for another Windows"},
    {0xC0000142, true, L"a DLL it loads failed to initialise"},
    {0xC0000005, false, L"access violation"},
    {0xC00000FD, false, L"stack overflow"},
    {0xC0000409, false, L"it stopped itself on a fatal error"},
    {0xC0000374, false, L"heap corruption"},
    {0xC000001D, false, L"illegal instruction"},
};

// An error status as Windows defines them, known by its hex form: severity "error", defined by
// Microsoft rather than a customer, the reserved bit clear, and a facility below 0x100, where all
// of Windows' facilities lie. A tool's exit(-1) fits none of it.
bool IsWindowsErrorStatus(uint32_t code) {
  return (code & 0xFF000000) == 0xC0000000;
}

// A status as Windows writes it: 0xC0000005.
std::wstring StatusText(uint32_t code) {
  return L"0x" + Hex(code, 8);
}

// The rest of the sentence "pdftk.exe ...": its exit code, or in words what its status means.
std::wstring HowTheToolEnded(uint32_t code, const std::wstring& applicationFolder) {
  for (const StatusMeaning& status : kStatusMeanings) {
    if (status.code != code) continue;
    if (!status.atStart)
      return L"crashed (" + std::wstring(status.words) + L", " + StatusText(code) + L").";
    return L"could not start: " + std::wstring(status.words) + L" (" + StatusText(code) +
           L"). The DLL files that come with pdftk.exe must stand beside it in " +
           applicationFolder + L".";
  }
  if (IsWindowsErrorStatus(code))
    return L"ended with the Windows status " + StatusText(code) + L".";
  // Said as the number the tool gave: exit(-1) is -1, not 4294967295.
  return L"ended with exit code " + std::to_wstring(static_cast<int32_t>(code)) + L".";
}

// "system error 6: The handle is invalid.", or the number alone when the system has no words. The
// words of some errors hold "%1" for the program they are about, which here is the tool.
std::wstring SystemErrorWords(uint32_t error, std::wstring text) {
  for (size_t at; (at = text.find(L"%1")) != std::wstring::npos;)
    text.replace(at, 2, L"pdftk.exe");
  std::wstring words = L"system error " + std::to_wstring(error);
  return text.empty() ? words : words + L": " + text;
}

// After the tool's last run: the joined file takes its name when every step succeeded, and what
// the join made goes either way, unless a tool may still be using it. Where the joined file
// cannot take its name, the user learns why in the system's words, where it is, and where the
// file that had the name is, should the system have moved it aside on the way.
JoinOutcome FinishJoin(JoinWorkspace& workspace, JoinTool& tool, const ToolPaths& paths,
                       const std::wstring& output, const RunResult& last, JoinOutcome outcome) {
  if (last.MayStillRun()) {
    std::wstring note =
        L"\n\nWhat Folianto made for pdftk.exe stays until Folianto next starts "
        L"after pdftk.exe has ended, which removes it:";
    for (const std::wstring& path : workspace.Left())
      note += L"\n" + path;
    outcome.text += note;
    return outcome;
  }
  if (outcome.succeeded) {
    const JoinWorkspace::Naming naming = workspace.GiveName(paths.temporary, output);
    if (!naming.named) {
      const std::wstring why =
          naming.error
              ? L" (" + SystemErrorWords(naming.error, tool.SystemErrorText(naming.error)) + L")"
              : L"";
      outcome = JoinOutcome::Failed(
          L"The files were joined, but the joined file could not be named " + output + why + L"." +
          (naming.kept.empty() ? L"" : L" It is kept as " + naming.kept + L".") +
          (naming.replacedKept.empty()
               ? L""
               : L" The file that had that name is now " + naming.replacedKept + L"."));
    } else if (!naming.replacedKept.empty()) {
      outcome.text +=
          L"\n\nThe file it replaced is kept as " + naming.replacedKept + L". You can delete it.";
    }
  }
  outcome.text += LeftOverNote(workspace.RemoveAll());
  return outcome;
}

// Runs the tool on the checked entries; returns how the join ended, or none when the user
// cancelled it.
std::optional<JoinOutcome> RunTool(const JoinHost& host, const std::vector<std::wstring>& entries,
                                   const std::wstring& outputPath,
                                   const std::wstring& applicationFolder, bool bookmarkEachFile) {
  // The list keeps every entry as the user sees it; only the command line gives the paths in the
  // form the tool reads whole, its own path too.
  const std::optional<std::wstring> toolFolder = ReadableForm(host.names, applicationFolder);
  if (!toolFolder) {
    return JoinOutcome::Failed(
        L"pdftk.exe cannot be run from Folianto's folder " + applicationFolder +
        L": pdftk.exe cannot read its name on this system, and it has no short name. Move "
        L"Folianto and pdftk.exe to a folder whose name has only characters of the system's code "
        L"page. Nothing was joined.");
  }
  JoinWorkspace& workspace = host.workspace;
  std::wstring refusal;
  const std::optional<ToolPaths> tool =
      PathsForTool(host.names, workspace, entries, outputPath, refusal);
  if (!tool) return JoinOutcome::Failed(refusal);
  const JoinStepsOutcome steps =
      RunJoinSteps(host, {*toolFolder, entries, *tool, bookmarkEachFile});
  if (steps.message && steps.message->empty()) {
    const std::wstring left = LeftOverNote(workspace.RemoveAll());
    if (!left.empty()) host.person.ShowMessage(L"Nothing was joined." + left);
    return std::nullopt;
  }
  JoinOutcome outcome = steps.message ? JoinOutcome::Failed(*steps.message)
                                      : OutcomeOfRun(steps.run, applicationFolder, host.tool);
  return FinishJoin(workspace, host.tool, *tool, outputPath, steps.run.result, std::move(outcome));
}

void Join(const JoinHost& host, const std::vector<std::wstring>& entries,
          const std::wstring& outputPath, const std::wstring& applicationFolder,
          bool bookmarkEachFile) {
  if (entries.size() > kMaxJoinEntries) {
    host.person.ShowMessage(L"You can only join " + std::to_wstring(kMaxJoinEntries) +
                            L" files at a time.");
    return;
  }
  // The tool may neither write over an input, nor where a join still running reads or writes, nor
  // read what that one writes.
  JoinFiles files{{}, outputPath};
  std::copy_if(entries.begin(), entries.end(), std::back_inserter(files.inputs), PassesPdfTest);
  if (const auto refusal = host.join.ClaimFiles(std::move(files))) {
    host.person.ShowMessage(*refusal);
    return;
  }

  const int count = static_cast<int>(entries.size());
  bool anyPdf = false;
  for (int i = 1; i <= count; ++i) {
    host.person.SetProgress(JoinProgress(i, count));
    const std::wstring& path = entries[static_cast<size_t>(i - 1)];
    if (PassesPdfTest(path)) {
      anyPdf = true;
    } else {
      host.person.ShowMessage(L"This file " + path + L" does not appear to be PDF.");
    }
  }
  if (!anyPdf) {
    host.person.TellOutcome(outputPath, JoinOutcome::Failed(kNoPdfFiles));
    return;
  }
  if (const auto outcome = RunTool(host, entries, outputPath, applicationFolder, bookmarkEachFile))
    host.person.TellOutcome(outputPath, *outcome);
}

}  // namespace

void RunJoinCommand(const JoinHost& host, const FileList& list, CommonDialog& dialog,
                    const std::wstring& applicationFolder) {
  dialog.dialogTitle = L"Save Join File As";
  dialog.fileName.clear();
  // The save dialog asks before an existing file is replaced and adds ".pdf" to a name typed
  // without an ending; the shared dialog keeps neither, so "Add PDF File(s)" never meets them.
  CommonDialog shown = dialog;
  shown.flags |= kAskBeforeReplacing;
  shown.defaultExt = L"pdf";
  // The check box keeps its state in the window's dialog while the program runs.
  shown.checkBoxLabel = kBookmarkEachFile;
  const DialogOutcome outcome = host.person.ShowSaveDialog(shown);
  dialog.fileName = shown.fileName;
  dialog.checkBoxTicked = shown.checkBoxTicked;
  if (outcome.result == DialogResult::Failed) {
    host.person.ShowMessage(SaveDialogFailureMessage(outcome.error));
    return;
  }
  const std::wstring outputPath = dialog.fileName;

  // Read once: the messages shown below let other handlers run, and they may change the list.
  const std::vector<std::wstring> entries = AllEntries(list);
  if (!outputPath.empty() && !entries.empty())
    Join(host, entries, outputPath, applicationFolder, shown.checkBoxTicked);
  if (entries.empty()) host.person.ShowMessage(kNoPdfFiles);
}

std::wstring SaveDialogFailureMessage(uint32_t error) {
  return L"The save dialog failed (" + DialogErrorText(error) + L"). Nothing was joined.";
}

JoinOutcome OutcomeOfRun(const ToolRun& run, const std::wstring& applicationFolder,
                         JoinTool& tool) {
  if (run.result.Succeeded()) return {true, L"", L""};
  const uint32_t systemError = run.result.systemError;
  JoinOutcome outcome = JoinOutcome::Failed(JoinOutcomeMessage(
      run, applicationFolder, systemError ? tool.SystemErrorText(systemError) : L""));
  const int number = run.result.started ? 0 : run.result.StartErrorNumber();
  if (number == 53 || number == 76) {
    outcome.text += L"\n\nPut pdftk.exe, and the files that came with it, into that folder.";
    outcome.folderToShow = applicationFolder;
  }
  return outcome;
}

std::wstring JoinOutcomeMessage(const ToolRun& run, const std::wstring& applicationFolder,
                                const std::wstring& systemErrorText) {
  const RunResult& result = run.result;
  if (!result.started) {
    const int number = result.StartErrorNumber();
    if (number == 53 || number == 76) {
      return L"pdftk.exe was not found in " + applicationFolder + L".";
    }
    std::wstring error = L"error " + std::to_wstring(number);
    if (result.systemError) error += L", " + SystemErrorWords(result.systemError, systemErrorText);
    return L"pdftk.exe could not be started (" + error + L").";
  }
  // Not the tool's failure but this program's: the tool may have done its work, or still be at it.
  if (!result.ended) {
    return L"Folianto could not learn how pdftk.exe ended (" +
           SystemErrorWords(result.systemError, systemErrorText) +
           L"). pdftk.exe may still be running.";
  }
  if (result.Succeeded()) return kJoinSuccessful;
  std::wstring message = L"The join failed: pdftk.exe " +
                         HowTheToolEnded(static_cast<uint32_t>(result.code), applicationFolder);
  // Its messages tell why; what it wrote on its output only where it said nothing else.
  std::wstring text = ToolTextTail(run.errors);
  if (text.empty()) text = ToolTextTail(run.output);
  if (!text.empty()) message += L"\n\n" + text;
  return message;
}

}  // namespace folianto
