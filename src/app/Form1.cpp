#include "app/Form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/CenterForm.h"
#include "platform/MessagePump.h"

namespace folianto {

namespace {

constexpr wchar_t kWindowClass[] = L"FoliantoForm1";

bool RegisterForm1Class(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  if (::GetClassInfoExW(instance, kWindowClass, &windowClass)) return true;
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_FOLIANTO));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&windowClass) != 0;
}

// The click handlers' protocol: a click acts only when it set the button's value to 1, which it
// puts back to 0 first; that reset raises the click once more, which does nothing.
bool TakePress(PictureButton& button) {
  if (button.Value() != 1) return false;
  button.SetValue(0);
  return true;
}

// The control of window that has the keyboard focus, as the dialog manager remembers it; saved
// when none has.
HWND FocusedControl(HWND window, HWND saved) {
  const HWND focus = ::GetFocus();
  return focus && ::IsChild(window, focus) ? focus : saved;
}

}  // namespace

int ShowCommandWithoutMaximize(int showCommand) {
  if (showCommand == SW_SHOWDEFAULT) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
  }
  return showCommand == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : showCommand;
}

Form1::Form1(DialogHost& dialogs, std::wstring applicationFolder)
    : look_([this](int id) { return ButtonById(id); }),
      pointer_(applicationFolder),
      list_(ListView1, dialogs),
      joins_(dialogs, std::move(applicationFolder)) {
  Check1.OnClick([this] { Check1Click(); });
  Check2.OnClick([this] { Check2Click(); });
  Check3.OnClick([this] { Check3Click(); });
  Check4.OnClick([this] { Check4Click(); });
  Check5.OnClick([this] { Check5Click(); });
  drag_.onDrop = [this](int from, int to) { list_.Move(from, to); };
  drag_.dpi = [this] { return look_.Dpi(); };
  drag_.showDragPointer = [this](bool canLand) { pointer_.ShowDragging(canLand); };
  drag_.showPointer = [this] { pointer_.Show(); };
  joins_.onRunningChanged = [this](bool running) {
    pointer_.Set(running ? PointerSetting::Busy : PointerSetting::Arrow);
  };
  joins_.showBusy = [this] { pointer_.ShowBusy(); };
}

Form1::~Form1() {
  if (window_) {
    screenReaders_.Clear();
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

bool Form1::Create(HINSTANCE instance) {
  if (!RegisterForm1Class(instance, ObjectWindowProcedure<Form1>)) return false;
  // Made in its designed size at the dpi of the screen it opens on, and the controls in their
  // places, so that nothing is moved before the window is first shown.
  const SIZE outer = look_.OuterSizeOnScreen();
  window_ = ::CreateWindowExW(WindowLook::kWindowExStyle, kWindowClass, L"",
                              WindowLook::kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                              outer.cy, nullptr, nullptr, instance, this);
  if (!window_) return false;
  look_.Attach(window_);
  pointer_.Attach(window_);
  drag_.Attach(window_);
  CreateControls(instance);
  look_.Dress();
  joins_.Attach(window_, ProgressBar1);
  screenReaders_.Attach(Command1, ListView1.Handle());

  // Load steps, before the window is first shown.
  CenterForm(window_);
  pointer_.LoadHand(look_.Dpi());
  ::SetWindowTextW(window_, kProgramTitle);
  SetUpFileListColumns();
  list_.Attach(window_);
  // Screen readers learn the controls' names as soon as one runs or anything asks the window.
  if (ScreenReaderRunning()) screenReaders_.Name();
  return true;
}

void Form1::Show(int showCommand) {
  ::ShowWindow(window_, ShowCommandWithoutMaximize(showCommand));
  // Where the system itself applies a maximising start-up command, the window still opens in its
  // designed size.
  if (::IsZoomed(window_)) ::ShowWindow(window_, SW_RESTORE);
  ::UpdateWindow(window_);
  ::SetFocus(Command1);
}

void Form1::SetUpFileListColumns() {
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_WIDTH;
    header.pszText = const_cast<wchar_t*>(L"PDF File(s)");
    header.cx = look_.FileListColumnWidth(column);
    ::SendMessageW(ListView1.Handle(), LVM_INSERTCOLUMNW, column,
                   reinterpret_cast<LPARAM>(&header));
  }
}

PictureButton* Form1::ButtonById(int id) {
  switch (id) {
    case kCheck1:
      return &Check1;
    case kCheck2:
      return &Check2;
    case kCheck3:
      return &Check3;
    case kCheck4:
      return &Check4;
    case kCheck5:
      return &Check5;
    default:
      return nullptr;
  }
}

int Form1::Progress() const {
  return static_cast<int>(::SendMessageW(ProgressBar1, PBM_GETPOS, 0, 0));
}

void Form1::Check1Click() {
  if (TakePress(Check1)) list_.AddPdfFiles(CommonDialog1);
}

void Form1::Check2Click() {
  if (TakePress(Check2)) joins_.Join(ListView1, CommonDialog1);
}

void Form1::Check3Click() {
  if (TakePress(Check3)) list_.Run(kMoveEntryUp);
}

void Form1::Check4Click() {
  if (TakePress(Check4)) list_.AddFolder();
}

void Form1::Check5Click() {
  if (TakePress(Check5)) list_.Run(kMoveEntryDown);
}

bool Form1::OnCommand(int id, int code) {
  if (id >= kFirstListCommand && id <= kLastListCommand) {
    list_.Run(id);
    return true;
  }
  if (id == IDCANCEL) {
    // The dialog manager turns Escape into IDCANCEL; it stops a drag where it began.
    drag_.End(false);
    return true;
  }
  if (id == IDOK) {
    // The dialog manager turns Enter into IDOK; it presses the focused picture button.
    if (PictureButton* button = ButtonById(::GetDlgCtrlID(::GetFocus()));
        button && ::GetFocus() == button->Handle()) {
      button->Press();
    }
    return true;
  }
  PictureButton* button = ButtonById(id);
  if (!button) return false;
  // A quick second click arrives as a double-click; it is a press like any other.
  if (code == BN_CLICKED || code == BN_DOUBLECLICKED) button->Press();
  return true;
}

void Form1::GiveFocusBack() {
  if (const HWND control = savedFocus_ ? savedFocus_ : Command1) ::SetFocus(control);
}

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
      break;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (PictureButton* button = ButtonById(static_cast<int>(item.CtlID))) {
        button->Draw(item, look_.FaceBrush());
        return TRUE;
      }
      break;
    }
    case WM_SETCURSOR:
      // The hit-test code is signed: HTERROR is -2.
      if (pointer_.OnSetCursor(reinterpret_cast<HWND>(wParam), static_cast<short>(LOWORD(lParam)),
                               HIWORD(lParam))) {
        return TRUE;
      }
      break;
    case WM_SYSCOMMAND:
      // The layout is fixed: the window can be minimised and restored, never maximised.
      if ((wParam & 0xFFF0) == SC_MAXIMIZE) return 0;
      // Minimising can take the focus away before WA_INACTIVE arrives.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) savedFocus_ = FocusedControl(window_, savedFocus_);
      break;
    case WM_ACTIVATE:
      // As the dialog manager does: a keyboard user goes on where they were after every dialog,
      // message box or other program. The first activation puts the focus on Command1.
      if (LOWORD(wParam) == WA_INACTIVE) {
        savedFocus_ = FocusedControl(window_, savedFocus_);
      } else if (HIWORD(wParam) == 0) {
        GiveFocusBack();
      }
      return 0;
    case WM_SETFOCUS:
      // The window itself got the focus (restored from the task bar, for one): it goes on to the
      // control that had it, as in a dialog.
      if (!::IsIconic(window_)) GiveFocusBack();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Label1) {
        return reinterpret_cast<LRESULT>(look_.ColourLabel(reinterpret_cast<HDC>(wParam)));
      }
      break;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(window_, &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, look_.BackgroundBrush());
      return TRUE;
    }
    case WM_SYSCOLORCHANGE:
      // The common controls learn of new colours only from their parent.
      for (HWND control : {ListView1.Handle(), ProgressBar1}) {
        ::SendMessageW(control, message, wParam, lParam);
      }
      look_.OnColoursChanged();
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) look_.OnColoursChanged();
      if (wParam == SPI_SETSCREENREADER && ScreenReaderRunning()) screenReaders_.Name();
      break;
    case WM_GETOBJECT:
      // An accessibility client reads the window: its controls are named before it reaches them.
      // The message goes on to the default handling either way.
      screenReaders_.Name();
      break;
    case WM_DPICHANGED:
      look_.OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      pointer_.LoadHand(look_.Dpi());
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.hwndFrom != ListView1.Handle()) break;
      switch (header.code) {
        case NM_DBLCLK:
          ListView1DblClick(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
          return 0;
        case LVN_KEYDOWN:
          list_.OnKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey);
          return 0;
        case LVN_BEGINDRAG:
          drag_.Begin(reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem);
          return 0;
        case NM_CUSTOMDRAW:
          return drag_.OnCustomDraw(*reinterpret_cast<const NMLVCUSTOMDRAW*>(lParam));
        case LVN_INSERTITEM:
        case LVN_DELETEITEM:
        case LVN_DELETEALLITEMS:
          // Whatever changes the list (a key, a button pressed by Enter, a drop from Explorer)
          // ends a drag where it began: the dragged entry may no longer be at its place.
          drag_.End(false);
          break;
        default:
          break;
      }
      break;
    }
    case WM_CONTEXTMENU: {
      // A right-click opens the list's menu over the list; the context-menu key, whose point is
      // (-1, -1), wherever the focus is in the window, as Shift+F10 does.
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (reinterpret_cast<HWND>(wParam) == ListView1.Handle() || (at.x == -1 && at.y == -1)) {
        list_.ShowMenu(at);
        return 0;
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (drag_.Dragging()) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(window_, &at);
        drag_.To(at);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      drag_.End(true);
      break;
    case WM_RBUTTONDOWN:
      drag_.End(false);
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window_) drag_.End(false);
      break;
    case WM_TIMER:
      if (wParam == DragToReorder::kScrollTimer) drag_.Scroll();
      if (wParam == CloseDuringJoins::kLimitTimer) joins_.OnCloseWaitLimit();
      return 0;
    case FileListCommands::kAddArgumentsMessage:
      list_.AddArguments();
      return 0;
    case WM_DROPFILES:
      list_.Drop(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CLOSE:
      if (joins_.OnClose()) return 0;
      break;
    case WM_DESTROY:
      // The annotation service would keep the controls' annotations after them.
      screenReaders_.Clear();
      // Nothing is asked and nothing saved.
      ::PostQuitMessage(joins_.ExitCode());
      return 0;
    case WM_NCDESTROY: {
      // The list's keys go with the window.
      UseAccelerators(nullptr, nullptr);
      const HWND window = window_;
      window_ = nullptr;
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace folianto
