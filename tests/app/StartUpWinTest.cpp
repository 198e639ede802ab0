#include <gtest/gtest.h>

#include "app/CenterForm.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::TempFolder;
using testing::TestForm;

// The hand pointer the program ships, read from the source tree.
std::wstring ShippedHandPointer() {
  const std::string source = FOLIANTO_SOURCE_DIR "/resources/HAND-M.CUR";
  std::wstring path(source.begin(), source.end());
  return path.front() == L'/' ? L"Z:" + path : path;
}

TEST(StartUp, CentresTheWholeWindowOnThePrimaryScreen) {
  TestForm app;
  RECT outer;
  ::GetWindowRect(app.form->Handle(), &outer);
  const double centreX = (outer.left + outer.right) / 2.0;
  const double centreY = (outer.top + outer.bottom) / 2.0;
  EXPECT_NEAR(centreX, ::GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
  EXPECT_NEAR(centreY, ::GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);

  ::SetWindowPos(app.form->Handle(), nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CenterForm(app.form->Handle());
  RECT again;
  ::GetWindowRect(app.form->Handle(), &again);
  EXPECT_EQ(again.left, outer.left);
  EXPECT_EQ(again.top, outer.top);
}

TEST(StartUp, ShowsTheHandFromHandMCurOverTheButtonsOnly) {
  TempFolder folder;
  const std::string cursor = testing::ReadFileBytes(ShippedHandPointer());
  ASSERT_FALSE(cursor.empty());
  folder.WriteFile(L"HAND-M.CUR", cursor);
  TestForm app(folder.Path());
  Form1& form = *app.form;
  ASSERT_TRUE(form.HasCustomPointer());

  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  auto shownOver = [&](HWND over) {
    ::SendMessageW(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
  };
  for (const PictureButton* button :
       {&form.Check1, &form.Check2, &form.Check3, &form.Check4, &form.Check5}) {
    const HCURSOR shown = shownOver(button->Handle());
    EXPECT_NE(shown, arrow);
    EXPECT_NE(shown, nullptr);
  }
  EXPECT_EQ(shownOver(form.ListView1.Handle()), arrow);
  EXPECT_EQ(shownOver(form.Handle()), arrow);
}

TEST(StartUp, OpensNormallyWhenHandMCurIsMissingGarbageOrAFolder) {
  const struct {
    const char* name;
    bool makeFile;
    bool makeFolder;
  } cases[] = {{"missing", false, false}, {"garbage", true, false}, {"folder", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    if (c.makeFile) folder.WriteFile(L"HAND-M.CUR", "this is not a cursor");
    if (c.makeFolder) folder.MakeFolder(L"HAND-M.CUR");
    TestForm app(folder.Path());
    ASSERT_TRUE(app.form->Handle());
    EXPECT_TRUE(::IsWindowVisible(app.form->Handle()));
    EXPECT_FALSE(app.form->HasCustomPointer());
    ::SendMessageW(app.form->Check1.Handle(), WM_SETCURSOR,
                   reinterpret_cast<WPARAM>(app.form->Check1.Handle()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(app.form->MousePointer(), PointerSetting::Custom);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
  }
}

}  // namespace
}  // namespace folianto
