#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::TestForm;
using Paths = std::vector<std::wstring>;

class ListEditingWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* path : {L"D:\\a.pdf", L"D:\\b.pdf", L"D:\\c.pdf"})
      list.Append(path);
  }
  // A real double-click message at the middle of the given row (or below all rows for -1).
  void DoubleClickRow(int index) {
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageW(list.Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    const int height = row.bottom - row.top;
    const int y = index >= 0 ? row.top + height * index + height / 2 : row.top + height * 5;
    ::SendMessageW(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, y));
    testing::Pump();
  }

  TestForm app;
  Form1& form = *app.form;
  ListViewFileList& list = form.ListView1;
};

TEST_F(ListEditingWinTest, MoveUpThroughTheButtonFollowsTheMovedEntry) {
  list.Select(3);
  testing::Click(form.Check3);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\c.pdf", L"D:\\b.pdf"}));
  EXPECT_EQ(list.Selected(), 2);
  testing::Click(form.Check3);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\c.pdf", L"D:\\a.pdf", L"D:\\b.pdf"}));
  testing::Click(form.Check3);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\c.pdf", L"D:\\a.pdf", L"D:\\b.pdf"}));
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(form.Check3.Value(), 0);
}

TEST_F(ListEditingWinTest, MoveDownThroughTheButtonAppendsAtTheEnd) {
  list.Select(2);
  testing::Click(form.Check5);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\c.pdf", L"D:\\b.pdf"}));
  EXPECT_EQ(list.Selected(), 3);
  testing::Click(form.Check5);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\c.pdf", L"D:\\b.pdf"}));
  EXPECT_EQ(form.Check5.Value(), 0);
}

TEST_F(ListEditingWinTest, MovesWithNothingSelectedChangeNothing) {
  testing::Click(form.Check3);
  testing::Click(form.Check5);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\b.pdf", L"D:\\c.pdf"}));
}

TEST_F(ListEditingWinTest, ADoubleClickOnAnEntryRemovesIt) {
  list.Select(2);
  DoubleClickRow(1);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\c.pdf"}));
  EXPECT_EQ(list.Selected(), 0);
}

TEST_F(ListEditingWinTest, ADoubleClickOnEmptySpaceRemovesNothing) {
  list.Select(2);
  DoubleClickRow(-1);
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\b.pdf", L"D:\\c.pdf"}));
}

TEST_F(ListEditingWinTest, DeleteInTheFocusedListRemovesTheSelectedEntryAndSelectsTheNext) {
  // A real key press, through the dialog manager as the program's message pump hands it over.
  auto pressDelete = [&] {
    MSG down{list.Handle(), WM_KEYDOWN, VK_DELETE, 0x01530001, 0, {}};
    if (!::IsDialogMessageW(form.Handle(), &down)) ::DispatchMessageW(&down);
    testing::Pump();
  };
  auto focusedItem = [&] {
    return ::SendMessageW(list.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
  };
  ::SetFocus(list.Handle());
  pressDelete();
  EXPECT_EQ(list.Count(), 3) << "nothing selected, nothing removed";
  list.Select(2);
  pressDelete();
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf", L"D:\\c.pdf"}));
  // The entry that took the removed one's place is selected and focused, so Delete goes on.
  EXPECT_EQ(list.Selected(), 2);
  EXPECT_EQ(focusedItem(), 1);
  pressDelete();
  EXPECT_EQ(AllEntries(list), (Paths{L"D:\\a.pdf"}));
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(focusedItem(), 0);
}

}  // namespace
}  // namespace folianto
