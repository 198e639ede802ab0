#include "platform/Shell.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "support/LinuxFixture.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using Paths = std::vector<std::wstring>;

constexpr wchar_t kPickerTitle[] = L"Please select folder to add:";

// Drives the real folder picker from a timer while BrowseFolder waits in it: walks its tree down
// the given items, as a user clicking through would, then confirms, or cancels when there are
// none. Notes what the picker showed.
struct PickerScript {
  Paths items;  // tree texts below the desktop; "Y:" stands for the drive's item
  HWND picker = nullptr;
  HWND pickerOwner = nullptr;
  Paths texts;
  bool walked = false;
};

PickerScript* g_script = nullptr;

BOOL CALLBACK FindPicker(HWND window, LPARAM) {
  if (!::IsWindowVisible(window) || testing::ClassName(window) != L"#32770") return TRUE;
  g_script->picker = window;
  return FALSE;
}

BOOL CALLBACK NoteText(HWND child, LPARAM) {
  g_script->texts.push_back(testing::WindowText(child));
  return TRUE;
}

BOOL CALLBACK FindTree(HWND child, LPARAM found) {
  if (testing::ClassName(child) != WC_TREEVIEWW) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

std::wstring ItemText(HWND tree, HTREEITEM item) {
  wchar_t text[MAX_PATH] = {};
  TVITEMW data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = static_cast<int>(std::size(text));
  ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
  return text;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// A drive's item reads " (Y:)".
bool ItemMatches(const std::wstring& text, const std::wstring& wanted) {
  return text == wanted || text.ends_with(L"(" + wanted + L")");
}

bool WalkTree(HWND tree, const Paths& items) {
  HTREEITEM item = Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD);
  for (size_t i = 0; i < items.size(); ++i) {
    while (item && !ItemMatches(ItemText(tree, item), items[i]))
      item = Next(tree, item, TVGN_NEXT);
    if (!item) return false;
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (i + 1 == items.size()) break;
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    item = Next(tree, item, TVGN_CHILD);
  }
  return true;
}

void CALLBACK DrivePicker(HWND, UINT, UINT_PTR timer, DWORD) {
  PickerScript& script = *g_script;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindPicker, 0);
  if (!script.picker) return;
  ::KillTimer(nullptr, timer);
  script.pickerOwner = ::GetWindow(script.picker, GW_OWNER);
  ::EnumChildWindows(script.picker, NoteText, 0);
  HWND tree = nullptr;
  ::EnumChildWindows(script.picker, FindTree, reinterpret_cast<LPARAM>(&tree));
  script.walked = tree && WalkTree(tree, script.items);
  ::PostMessageW(script.picker, WM_COMMAND, script.items.empty() ? IDCANCEL : IDOK, 0);
}

std::wstring BrowseWith(HWND owner, PickerScript& script) {
  g_script = &script;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, DrivePicker);
  const std::wstring chosen = BrowseFolder(owner, kPickerTitle);
  ::KillTimer(nullptr, timer);
  g_script = nullptr;
  return chosen;
}

// The items from the desktop down to a folder on the drive that Wine maps to the Unix root.
Paths UnixRootItems(const std::wstring& path) {
  Paths items{L"/"};
  size_t start = path.find(L'\\') + 1;
  while (start < path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    items.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

TEST(BrowseFolder, ReturnsTheFolderChosenInTheRealPicker) {
  testing::TempFolder temp;
  const std::wstring folder = temp.MakeFolder(L"Chosen one");
  ASSERT_TRUE(folder.starts_with(L"Z:\\"));
  const std::wstring drive = testing::FixtureDriveRoot();
  testing::TestForm app;
  const struct {
    const char* name;
    Paths items;
    std::wstring chosen;
  } cases[] = {
      {"a folder, without a closing backslash", UnixRootItems(folder), folder},
      {"a drive root, with its backslash", {L"My Computer", drive.substr(0, 2)}, drive},
      {"cancel", {}, L""},
  };
  for (const auto& c : cases) {
    if (c.name == cases[1].name && drive.empty()) continue;
    SCOPED_TRACE(c.name);
    PickerScript script;
    script.items = c.items;
    EXPECT_EQ(BrowseWith(app.form->Handle(), script), c.chosen);
    ASSERT_TRUE(script.picker);
    EXPECT_TRUE(script.walked || c.items.empty());
    EXPECT_EQ(script.pickerOwner, app.form->Handle());
    EXPECT_NE(std::find(script.texts.begin(), script.texts.end(), kPickerTitle),
              script.texts.end());
  }
}

}  // namespace
}  // namespace folianto
