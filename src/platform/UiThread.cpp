#include "platform/UiThread.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "platform/SystemLibrary.h"

namespace folianto {

namespace {

thread_local bool comStarted = false;

}  // namespace

UiThreadSetup::UiThreadSetup() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                      ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

UiThreadSetup::~UiThreadSetup() {
  if (!comStarted) return;
  static const auto end =
      SystemFunction<decltype(&::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
  if (end) end();
  comStarted = false;
}

bool StartComOnUiThread() {
  if (comStarted) return true;
  static const auto start =
      SystemFunction<decltype(&::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  comStarted =
      start && SUCCEEDED(start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  return comStarted;
}

}  // namespace folianto
