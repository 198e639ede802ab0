#include "platform/Dialogs.h"

#include <string_view>
#include <vector>

#include "platform/WindowObject.h"

namespace folianto {

namespace {

constexpr WORD kSubjectId = 100, kPromptId = 101, kBoxId = 102;

// The system's atoms of the predefined control classes, as a dialog template names them.
constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

// A dialog template in memory, so the dialog needs no resource of the program's.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short width, short height, std::wstring_view title) {
    Add(style | DS_SETFONT);
    Add(0);               // extended style
    words_.push_back(0);  // the number of items, which AddItem counts
    for (const short value : {short{0}, short{0}, width, height})
      words_.push_back(static_cast<WORD>(value));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    Add(title);
    words_.push_back(8);
    Add(L"MS Shell Dlg");
  }

  void AddItem(WORD atom, WORD id, DWORD style, short x, short y, short width, short height,
               std::wstring_view text) {
    ++words_[kItemCountWord];
    if (words_.size() % 2) words_.push_back(0);  // each item starts on a DWORD
    Add(style | WS_CHILD | WS_VISIBLE);
    Add(0);
    for (const short value : {x, y, width, height})
      words_.push_back(static_cast<WORD>(value));
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(atom);
    Add(text);
    words_.push_back(0);  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  static constexpr size_t kItemCountWord = 4;

  void Add(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Add(std::wstring_view text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  // WORDs keep the template's alignment; the vector's storage is aligned for a DWORD.
  std::vector<WORD> words_;
};

void MoveDown(HWND control, int by) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  ::SetWindowPos(control, nullptr, r.left, r.top + by, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Gives the prompt the lines its words take, the controls below it and the dialog growing with it.
void FitPrompt(HWND dialog, const std::wstring& prompt) {
  const HWND label = ::GetDlgItem(dialog, kPromptId);
  RECT line{};
  ::GetClientRect(label, &line);
  RECT needed = line;
  if (const HDC dc = ::GetDC(label)) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
    const HGDIOBJ before = ::SelectObject(dc, font);
    ::DrawTextW(dc, prompt.c_str(), static_cast<int>(prompt.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, before);
    ::ReleaseDC(label, dc);
  }
  const int grow = needed.bottom - line.bottom;
  if (grow <= 0) return;
  ::SetWindowPos(label, nullptr, 0, 0, line.right, needed.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const int id : {int{kBoxId}, IDOK, IDCANCEL})
    MoveDown(::GetDlgItem(dialog, id), grow);
  RECT frame{};
  ::GetWindowRect(dialog, &frame);
  ::SetWindowPos(dialog, nullptr, frame.left, frame.top - grow / 2, frame.right - frame.left,
                 frame.bottom - frame.top + grow, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Reads the masked box and empties it, overwriting its text first, so that the control's buffer
// keeps no copy.
SecretText TakeText(HWND box) {
  const auto length = static_cast<size_t>(::GetWindowTextLengthW(box));
  std::wstring text(length + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
  ::SetWindowTextW(box, std::wstring(length, L' ').c_str());
  ::SetWindowTextW(box, L"");
  return SecretText(text);
}

struct MaskedDialog {
  const MaskedQuestion& question;
  std::optional<SecretText> answer;

  INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
      ::SetDlgItemTextW(dialog, kSubjectId, question.subject.c_str());
      ::SetDlgItemTextW(dialog, kPromptId, question.prompt.c_str());
      FitPrompt(dialog, question.prompt);
      ::SendDlgItemMessageW(dialog, kBoxId, EM_LIMITTEXT, question.maxLength, 0);
      // Each box, not only the first: one that comes up behind another window, or with the focus
      // elsewhere, would let what is typed go where it was never meant to.
      ::SetForegroundWindow(dialog);
      ::SetFocus(::GetDlgItem(dialog, kBoxId));
      return FALSE;  // the focus is set
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL))
      return FALSE;
    SecretText text = TakeText(::GetDlgItem(dialog, kBoxId));
    if (LOWORD(wParam) == IDOK) answer = std::move(text);
    ::EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
};

}  // namespace

std::optional<SecretText> ShowMaskedInput(HWND owner, const MaskedQuestion& question) {
  constexpr DWORD kStyle =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND;
  DialogTemplate dialog(kStyle, 262, 76, question.title);
  // A path keeps its name and drive in sight when it is too long for the line.
  dialog.AddItem(kStatic, kSubjectId, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 7, 7, 248, 9, L"");
  dialog.AddItem(kStatic, kPromptId, SS_LEFT | SS_NOPREFIX, 7, 20, 248, 9, L"");
  dialog.AddItem(kEdit, kBoxId, ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 32, 248,
                 13, L"");
  dialog.AddItem(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 151, 54, 50, 15, question.ok);
  dialog.AddItem(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 205, 54, 50, 15, question.cancel);
  MaskedDialog asked{question, std::nullopt};
  ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.Get(), owner,
                            ObjectDialogProcedure<MaskedDialog>, reinterpret_cast<LPARAM>(&asked));
  return std::move(asked.answer);
}

}  // namespace folianto
