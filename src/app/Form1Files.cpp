// "Add PDF File(s)", "Move Up", "Move Down" and double-click to remove.
#include "app/Form1.h"

#include <commdlg.h>

#include "filelist/AddFiles.h"
#include "filelist/ListEditing.h"

namespace folianto {

namespace {

constexpr uint32_t kAddFilesFlags =
    OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_READONLY;
static_assert(kAddFilesFlags == 0x280201);

}  // namespace

void Form1::Check1Click() {
  if (Check1.Value() != 1) return;
  Check1.SetValue(0);

  CommonDialog1.fileName.clear();
  CommonDialog1.flags = kAddFilesFlags;
  CommonDialog1.dialogTitle = L"Add File(s) - Use Ctrl & Shift to select multiple files";
  CommonDialog1.filter = L"PDF Files (*.pdf)|*.pdf|";

  const DialogOutcome outcome = dialogs_.ShowOpen(window_, CommonDialog1);
  if (outcome.result == DialogResult::Failed) {
    ShowMessage(OpenDialogFailureMessage(outcome.error));
    return;
  }
  if (outcome.result != DialogResult::Chosen) return;
  AddPickedFiles(ListView1, history_, CommonDialog1.fileName);
}

void Form1::Check3Click() {
  if (Check3.Value() != 1) return;
  Check3.SetValue(0);
  MoveSelectedUp(ListView1, history_);
}

void Form1::Check5Click() {
  if (Check5.Value() != 1) return;
  Check5.SetValue(0);
  MoveSelectedDown(ListView1, history_);
}

void Form1::ListView1DblClick(int hitItem) {
  // A double-click on the empty area below the entries must not delete the selected one.
  if (hitItem < 0) return;
  RemoveSelected(ListView1, history_);
}

}  // namespace folianto
