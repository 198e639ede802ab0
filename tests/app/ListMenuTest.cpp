#include "app/ListMenu.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

TEST(ListMenu, GreysWhatCannotActOnTheSelectedEntryOrTheList) {
  // Open, Show in Folder, -, Move Up, Move Down, Remove, -, Sort by Name, Remove All; x: enabled.
  const struct {
    int selected;
    int count;
    std::string enabled;
  } cases[] = {
      {0, 0, "..-...-.."}, {0, 3, "..-...-xx"}, {1, 3, "xx-.xx-xx"},
      {2, 3, "xx-xxx-xx"}, {3, 3, "xx-x.x-xx"}, {1, 1, "xx-..x-.x"},
  };
  for (const auto& c : cases) {
    std::string enabled;
    for (const ListMenuItem& item : ListMenu(c.selected, c.count))
      enabled += !item.text ? '-' : item.enabled ? 'x' : '.';
    EXPECT_EQ(enabled, c.enabled) << "entry " << c.selected << " of " << c.count;
  }
}

}  // namespace
}  // namespace folianto
