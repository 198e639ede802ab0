#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace folianto {

// The one common-dialog component of the main window. What an operation sets on it stays set for
// the next dialog, so the join's save dialog shows the filter and flags "Add PDF File(s)" left.
struct CommonDialog {
  std::wstring fileName;
  std::wstring dialogTitle;
  std::wstring filter;  // "Description|pattern|..." as the designer writes it
  std::wstring defaultExt;
  uint32_t flags = 0;
  // The save dialog's check box, shown when it has a label; whether it is ticked goes in, and
  // comes back when a file was chosen.
  std::wstring checkBoxLabel;
  bool checkBoxTicked = false;
};

// The flag that has a save dialog ask before it replaces an existing file (OFN_OVERWRITEPROMPT).
inline constexpr uint32_t kAskBeforeReplacing = 0x2;

enum class DialogResult { Chosen, Cancelled, Failed };

struct DialogOutcome {
  DialogResult result = DialogResult::Cancelled;
  uint32_t error = 0;  // the dialog's extended error code when it failed
};

// "A|b|" becomes "A\0b\0"; the string's own terminator supplies the list's final NUL.
std::wstring PlatformFilter(std::wstring_view barFilter);

// "A|a|B|b|" as its pairs of description and pattern; a description without a pattern is left out.
std::vector<std::pair<std::wstring, std::wstring>> FilterPairs(std::wstring_view barFilter);

// The file name a dialog wrote into its buffer. A multi-selection runs to the first double NUL and
// keeps its inner NULs; otherwise the name ends at the first NUL.
std::wstring DialogFileName(std::wstring_view buffer, bool multiSelect);

}  // namespace folianto
