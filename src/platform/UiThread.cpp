#include "platform/UiThread.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace folianto {

UiThreadSetup::UiThreadSetup() {
  comInitialized_ =
      SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                      ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

UiThreadSetup::~UiThreadSetup() {
  if (comInitialized_) ::CoUninitialize();
}

}  // namespace folianto
