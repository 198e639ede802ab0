// "Add All PDF File(s) In Folder".
#include "app/Form1.h"

namespace folianto {

void Form1::Check4Click() {
  if (Check4.Value() != 1) return;
  Check4.SetValue(0);
}

}  // namespace folianto
