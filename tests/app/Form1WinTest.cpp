#include "app/Form1.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/Layout.h"
#include "platform/ControlHook.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::ClassName;
using testing::TestForm;
using testing::WindowText;

RECT ClientRectOf(HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  ::GetObjectW(handle, sizeof(font), &font);
  return font;
}

class Form1Test : public ::testing::Test {
 protected:
  TestForm app;
  Form1& form = *app.form;
  HWND window = form.Handle();
};

TEST_F(Form1Test, IsAFixedWhiteWindowCaptionedFoliantoWithTheDesignedClientArea) {
  ASSERT_TRUE(window);
  EXPECT_EQ(WindowText(window), L"Folianto");
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 513);
  EXPECT_EQ(client.bottom, 242);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND)),
            ::GetStockObject(WHITE_BRUSH));
}

TEST_F(Form1Test, PlacesEveryControlAtItsDesignedPixelsInTabOrder) {
  const struct {
    HWND control;
    const wchar_t* className;
    const wchar_t* text;
    RECT pixels;
    int fontHeight;  // 0: not Arial
  } expected[] = {
      {form.Command1, L"Button", L"Command1", {-48, 176, -7, 209}, 0},
      {form.Check1.Handle(), L"Button", L"Add PDF File(s)", {8, 136, 169, 209}, -15},
      {form.Check2.Handle(), L"Button", L"Join!", {344, 136, 505, 209}, -15},
      {form.ListView1.Handle(), L"SysListView32", L"", {8, 8, 441, 129}, -12},
      {form.Check4.Handle(),
       L"Button",
       L"Add All PDF File(s) In Folder",
       {176, 136, 337, 209},
       -15},
      {form.Label1, L"Static", L"Progress:", {8, 216, 68, 233}, -13},
      {form.ProgressBar1, L"msctls_progress32", L"", {80, 216, 505, 233}, 0},
      {form.Check3.Handle(), L"Button", L"Move Up", {448, 8, 505, 65}, -15},
      {form.Check5.Handle(), L"Button", L"Move Down", {448, 72, 505, 129}, -15},
  };
  HWND child = ::GetWindow(window, GW_CHILD);
  for (const auto& e : expected) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(e.text)));
    ASSERT_TRUE(e.control);
    EXPECT_EQ(child, e.control) << "out of creation order";
    child = ::GetWindow(child, GW_HWNDNEXT);
    EXPECT_EQ(ClassName(e.control), e.className);
    EXPECT_EQ(WindowText(e.control), e.text);
    const RECT r = ClientRectOf(e.control);
    EXPECT_EQ(r.left, e.pixels.left);
    EXPECT_EQ(r.top, e.pixels.top);
    EXPECT_EQ(r.right, e.pixels.right);
    EXPECT_EQ(r.bottom, e.pixels.bottom);
    EXPECT_TRUE(::IsWindowVisible(e.control));
    EXPECT_TRUE(::IsWindowEnabled(e.control));
    if (e.fontHeight != 0) {
      const LOGFONTW font = FontOf(e.control);
      EXPECT_STREQ(font.lfFaceName, L"Arial");
      EXPECT_EQ(font.lfHeight, e.fontHeight);
      EXPECT_EQ(font.lfWeight, FW_BOLD);
      EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
      EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    }
  }
}

TEST_F(Form1Test, TabVisitsTheControlsInOrderAndSkipsLabelAndProgressBar) {
  const HWND order[] = {form.Command1,           form.Check1.Handle(), form.Check2.Handle(),
                        form.ListView1.Handle(), form.Check4.Handle(), form.Check3.Handle(),
                        form.Check5.Handle(),    form.Command1};
  EXPECT_EQ(::GetFocus(), form.Command1);
  for (size_t i = 1; i < std::size(order); ++i) {
    EXPECT_EQ(::GetNextDlgTabItem(window, order[i - 1], FALSE), order[i]) << "step " << i;
  }
  // The same through real Tab key presses and the dialog manager.
  for (size_t i = 1; i < std::size(order); ++i) {
    MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    ::IsDialogMessageW(window, &tab);
    EXPECT_EQ(::GetFocus(), order[i]) << "Tab " << i;
  }
}

TEST_F(Form1Test, PictureButtonsAreOwnerDrawnTwoStateButtonsThatStartOff) {
  for (const PictureButton* button :
       {&form.Check1, &form.Check2, &form.Check3, &form.Check4, &form.Check5}) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(button->Handle(), GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_EQ(button->Value(), 0);
  }
  for (HWND control : {form.ProgressBar1, form.Label1}) {
    EXPECT_FALSE(::GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP);
  }
}

TEST_F(Form1Test, EnterAndSpaceOnCommand1DoNothingButPressAFocusedPictureButton) {
  auto press = [&](UINT key) {
    MSG down{::GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    if (!::IsDialogMessageW(window, &down)) ::DispatchMessageW(&down);
    MSG up{::GetFocus(), WM_KEYUP, key, 0xC0000000, 0, {}};
    if (!::IsDialogMessageW(window, &up)) ::DispatchMessageW(&up);
    testing::Pump();
  };
  ASSERT_EQ(::GetFocus(), form.Command1);
  press(VK_RETURN);
  press(VK_SPACE);
  EXPECT_TRUE(app.dialogs.openShown.empty());
  EXPECT_TRUE(app.dialogs.messages.empty());

  ::SetFocus(form.Check1.Handle());
  press(VK_RETURN);
  EXPECT_EQ(app.dialogs.openShown.size(), 1u);
  press(VK_SPACE);
  EXPECT_EQ(app.dialogs.openShown.size(), 2u);
  EXPECT_EQ(form.Check1.Value(), 0);
}

TEST_F(Form1Test, AClickRaisesTheHandlerOnceAndLeavesTheButtonOff) {
  std::vector<int> valuesSeen;
  app.dialogs.whileOpen = [&] { valuesSeen.push_back(form.Check1.Value()); };
  testing::Click(form.Check1);
  EXPECT_EQ(valuesSeen, std::vector<int>{0});
  EXPECT_EQ(form.Check1.Value(), 0);
  // A value set to 1 by code is a click as well; back to 0 is not.
  form.Check1.SetValue(1);
  EXPECT_EQ(app.dialogs.openShown.size(), 2u);
  form.Check1.SetValue(0);
  EXPECT_EQ(app.dialogs.openShown.size(), 2u);
}

TEST_F(Form1Test, FileListIsAReportViewWithTwoPdfFileColumnsAndATooltip) {
  const HWND list = form.ListView1.Handle();
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(list, GWL_STYLE));
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & LVS_EDITLABELS);
  EXPECT_TRUE(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
  EXPECT_EQ(form.ListView1.Count(), 0);

  const int widths[] = {400, 0};
  for (int column = 0; column < 2; ++column) {
    wchar_t text[64] = {};
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.pszText = text;
    header.cchTextMax = static_cast<int>(std::size(text));
    ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&header)));
    EXPECT_STREQ(text, L"PDF File(s)");
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0), widths[column]);
  }
  LVCOLUMNW third{};
  third.mask = LVCF_WIDTH;
  EXPECT_FALSE(::SendMessageW(list, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&third)));

  // The tip is made when the mouse first comes over the list. The header's own slot of data is
  // its maker's, whatever comctl32 puts there.
  EXPECT_EQ(TooltipOver(list), nullptr);
  const HWND header = ListView_GetHeader(list);
  ::SetWindowLongPtrW(header, GWLP_USERDATA, 0x5EED);
  ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  ::SendMessageW(header, WM_MOUSEMOVE, 0, MAKELPARAM(20, 5));
  ASSERT_NE(TooltipOver(list), nullptr);
  EXPECT_EQ(TooltipOver(header), TooltipOver(list));
  EXPECT_EQ(::GetWindowLongPtrW(header, GWLP_USERDATA), 0x5EED);
  wchar_t tip[128] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText = tip;
  ::SendMessageW(TooltipOver(list), TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(tip, L"Double-click item to remove it.");
}

bool askedWhileCreating = false;

// Asks the main window for its accessible object from inside CreateWindowEx, before its controls
// exist, as some screen readers do.
LRESULT CALLBACK AskWhileCreating(int code, WPARAM wParam, LPARAM lParam) {
  const auto& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call.message == WM_CREATE && ClassName(call.hwnd) == L"FoliantoForm1") {
    askedWhileCreating = true;
    ::SendMessageW(call.hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Form1Accessibility, OpensWithoutTheAccessibilityComponentAndLoadsItWhenAClientAsks) {
  // No screen reader runs here: only an accessibility client's question brings oleacc in, and one
  // asked before the controls exist waits for them.
  const HHOOK hook =
      ::SetWindowsHookExW(WH_CALLWNDPROCRET, AskWhileCreating, nullptr, ::GetCurrentThreadId());
  TestForm app;
  ::UnhookWindowsHookEx(hook);
  ASSERT_TRUE(askedWhileCreating);
  EXPECT_EQ(::GetModuleHandleW(L"oleacc.dll"), nullptr);
  EXPECT_EQ(app.form->ScreenReaderAnnotation(), std::nullopt);
  ::SendMessageW(app.form->Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  EXPECT_NE(::GetModuleHandleW(L"oleacc.dll"), nullptr);
  // Done on Windows; Wine's annotation service answers E_NOTIMPL, and asking again cannot help.
  EXPECT_NE(app.form->ScreenReaderAnnotation(), std::nullopt);
  EXPECT_NE(app.form->ScreenReaderAnnotation(), Annotation::Failed);
  for (const wchar_t* library : {L"comdlg32.dll", L"shell32.dll"}) {
    EXPECT_EQ(::GetModuleHandleW(library), nullptr) << library;
  }
}

TEST_F(Form1Test, ProgressBarAndLabelStartAsDesigned) {
  PBRANGE range{};
  ::SendMessageW(form.ProgressBar1, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  EXPECT_EQ(form.Progress(), 0);
  EXPECT_EQ(::GetWindowLongPtrW(form.Label1, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);

  const HDC dc = ::GetDC(form.Label1);
  const auto brush = reinterpret_cast<HGDIOBJ>(
      ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(form.Label1)));
  EXPECT_EQ(brush, ::GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_BTNTEXT));
  ::ReleaseDC(form.Label1, dc);
}

TEST_F(Form1Test, TheWindowIconIsFullyTransparent) {
  const auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON));
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = 32;
  format.bmiHeader.biHeight = -32;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<DWORD> pixels(32 * 32, 0xFFFFFFFF);
  const HDC dc = ::GetDC(nullptr);
  ASSERT_EQ(::GetDIBits(dc, info.hbmColor, 0, 32, pixels.data(), &format, DIB_RGB_COLORS), 32);
  ::ReleaseDC(nullptr, dc);
  for (DWORD pixel : pixels)
    ASSERT_EQ(pixel >> 24, 0u);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
}

// Draws a button the way the window does and reads pixels back.
COLORREF PixelOfButton(Form1& form, const PictureButton& button, UINT state, POINT at) {
  RECT bounds;
  ::GetClientRect(button.Handle(), &bounds);
  const HDC screen = ::GetDC(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, bounds.right, bounds.bottom);
  ::ReleaseDC(nullptr, screen);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.Handle()));
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = state;
  item.hwndItem = button.Handle();
  item.hDC = dc;
  item.rcItem = bounds;
  ::SendMessageW(form.Handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  const COLORREF pixel = ::GetPixel(dc, at.x, at.y);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return pixel;
}

TEST_F(Form1Test, PictureButtonsDrawRaisedWhenOffAndSunkenWhenPressedOnTheSchemesFace) {
  constexpr COLORREF kWhite = RGB(255, 255, 255);
  constexpr COLORREF kBlack = RGB(0, 0, 0);
  // Changed while the window runs, as the control panel changes them, and put back at the end.
  const int elements[] = {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_WINDOW, COLOR_WINDOWTEXT};
  COLORREF saved[std::size(elements)];
  for (size_t i = 0; i < std::size(elements); ++i)
    saved[i] = ::GetSysColor(elements[i]);
  const COLORREF dark[] = {kWhite, kBlack, kBlack, kWhite};
  const struct {
    const char* name;
    const COLORREF* scheme;
    COLORREF face;
  } cases[] = {
      {"the designed white faces", saved, kWhite},
      {"a dark scheme", dark, kBlack},
      {"back to the first scheme", saved, kWhite},
  };
  const PictureButton& button = form.Check2;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::SetSysColors(static_cast<int>(std::size(elements)), elements, c.scheme);
    testing::Pump();
    EXPECT_EQ(PixelOfButton(form, button, 0, {6, 40}), c.face);
    const COLORREF raisedCorner = PixelOfButton(form, button, 0, {0, 0});
    const COLORREF sunkenCorner = PixelOfButton(form, button, ODS_SELECTED, {0, 0});
    EXPECT_NE(raisedCorner, sunkenCorner);
    EXPECT_EQ(sunkenCorner, ::GetSysColor(COLOR_BTNSHADOW));
    // The picture stands in the middle above the caption.
    EXPECT_NE(PixelOfButton(form, button, 0, {80, 20}), c.face);
    // The focus mark is a dotted frame just inside the edge.
    EXPECT_EQ(PixelOfButton(form, button, 0, {4, 10}), c.face);
    EXPECT_NE(PixelOfButton(form, button, ODS_FOCUS, {4, 10}), c.face);
  }
}

// What the screen shows of a window: a screenshot's pixels, row by row.
std::vector<uint32_t> ScreenPixels(HWND window, int& width, int& height) {
  RECT r;
  ::GetWindowRect(window, &r);
  width = r.right - r.left;
  height = r.bottom - r.top;
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(format.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HDC screen = ::GetDC(nullptr);
  void* bits = nullptr;
  const HBITMAP shot = ::CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HGDIOBJ old = ::SelectObject(dc, shot);
  ::BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                               static_cast<const uint32_t*>(bits) + width * height);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(shot);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

// At every dpi and in a dark scheme, as high contrast gives it, the lowest line a button's caption
// shows on the screen is whole: as tall as a capital at least, with the face between it and the
// button's lower edge. Under it the top of a cut line would touch the edge.
TEST_F(Form1Test, PictureButtonsShowWholeLinesOfTheirCaptionsAtEveryDpiAndInADarkScheme) {
  const int elements[] = {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_WINDOW, COLOR_WINDOWTEXT};
  COLORREF saved[std::size(elements)];
  for (size_t i = 0; i < std::size(elements); ++i)
    saved[i] = ::GetSysColor(elements[i]);
  const COLORREF dark[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255)};
  for (const COLORREF* scheme : {static_cast<const COLORREF*>(saved), dark}) {
    ::SetSysColors(static_cast<int>(std::size(elements)), elements, scheme);
    for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
      RECT suggested;
      ::GetWindowRect(window, &suggested);
      ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
      ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      ::UpdateWindow(window);
      testing::Pump();
      const int capital = -FontHeightForDpi(1125, dpi) * 6 / 10;
      for (const PictureButton* button :
           {&form.Check1, &form.Check2, &form.Check3, &form.Check4, &form.Check5}) {
        SCOPED_TRACE(::testing::PrintToString(WindowText(button->Handle())) + " at " +
                     std::to_string(dpi) + (scheme == dark ? " dark" : ""));
        // At the highest dpi the window is wider than the test's screen: each button is shown at
        // the window's top left, above the others, where the screen shows it whole.
        ::SetWindowPos(button->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        ::RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        testing::Pump();
        ::Sleep(50);
        testing::Pump();
        int width = 0, height = 0;
        const std::vector<uint32_t> shot = ScreenPixels(button->Handle(), width, height);
        // Just inside the edge, which is two pixels wide, above the caption and beside the picture.
        const uint32_t face = shot[static_cast<size_t>(3 * width + 3)];
        const auto inked = [&](int y) {
          for (int x = 3; x < width - 3; ++x) {
            if (shot[static_cast<size_t>(y * width + x)] != face) return true;
          }
          return false;
        };
        int first = 2;
        while (first < height - 2 && !inked(first))
          ++first;
        int last = height - 3;
        while (last > first && !inked(last))
          --last;
        int top = last;
        while (top > first && inked(top - 1))
          --top;
        EXPECT_LT(last, height - 3) << "the caption touches the lower edge";
        EXPECT_GT(top, first) << "no caption below the picture";
        EXPECT_GE(last - top + 1, capital) << "the lowest line of the caption is cut";
      }
    }
  }
  ::SetSysColors(static_cast<int>(std::size(elements)), elements, saved);
}

TEST_F(Form1Test, ADpiChangeScalesTheWholeLayoutAndItsFonts) {
  RECT suggested;
  ::GetWindowRect(window, &suggested);
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 770);
  EXPECT_EQ(client.bottom, 363);
  const RECT join = ClientRectOf(form.Check2.Handle());
  EXPECT_EQ(join.left, 516);
  EXPECT_EQ(join.top, 204);
  EXPECT_EQ(join.right - join.left, 242);
  EXPECT_EQ(FontOf(form.Check2.Handle()).lfHeight, -23);
  EXPECT_EQ(FontOf(form.ListView1.Handle()).lfHeight, -18);
  EXPECT_EQ(::SendMessageW(form.ListView1.Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 600);
  EXPECT_EQ(::SendMessageW(form.ListView1.Handle(), LVM_GETCOLUMNWIDTH, 1, 0), 0);
  // The hand over the buttons grows with the rest.
  ASSERT_TRUE(form.HasCustomPointer());
  ::SendMessageW(form.Check1.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Check1.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  ICONINFO hand{};
  ASSERT_TRUE(::GetIconInfo(::GetCursor(), &hand));
  BITMAP mask{};
  ::GetObjectW(hand.hbmMask, sizeof(mask), &mask);
  EXPECT_EQ(mask.bmWidth, 48);
  ::DeleteObject(hand.hbmColor);
  ::DeleteObject(hand.hbmMask);
}

TEST_F(Form1Test, HoverSetsTheHandOverButtonsAndTheArrowOverListAndBackground) {
  auto hover = [&](HWND over) {
    ::SendMessageW(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return form.MousePointer();
  };
  EXPECT_EQ(form.MousePointer(), PointerSetting::PlatformDefault);
  EXPECT_EQ(hover(form.Check4.Handle()), PointerSetting::Custom);
  EXPECT_EQ(hover(form.Label1), PointerSetting::Custom);
  EXPECT_EQ(hover(form.ProgressBar1), PointerSetting::Custom);
  EXPECT_EQ(hover(form.ListView1.Handle()), PointerSetting::Arrow);
  EXPECT_EQ(hover(form.Check3.Handle()), PointerSetting::Custom);
  EXPECT_EQ(hover(window), PointerSetting::Arrow);

  form.SetMousePointer(PointerSetting::Busy);
  for (HWND over : {form.Check1.Handle(), form.ListView1.Handle(), window, form.Label1}) {
    EXPECT_EQ(hover(over), PointerSetting::Busy);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
  }
  form.SetMousePointer(PointerSetting::Arrow);
  EXPECT_EQ(hover(form.Label1), PointerSetting::Arrow);
}

TEST_F(Form1Test, TheFocusGoesBackToItsControlAfterTheWindowWasMinimised) {
  ::SetFocus(form.Check2.Handle());
  ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  testing::Pump();
  ASSERT_TRUE(::IsIconic(window));
  // Restored, the window itself gets the focus, as from the task bar.
  ::SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  ::SetFocus(window);
  testing::Pump();
  EXPECT_EQ(::GetFocus(), form.Check2.Handle());
}

}  // namespace
}  // namespace folianto
