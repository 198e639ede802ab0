// "Join!".
#include "app/Form1.h"

namespace folianto {

void Form1::Check2Click() {
  if (Check2.Value() != 1) return;
  Check2.SetValue(0);
}

}  // namespace folianto
