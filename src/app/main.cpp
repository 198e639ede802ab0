#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The folder picker needs COM on this thread, apartment-threaded.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                      ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  int exitCode = 1;
  {
    folianto::Form1 form(folianto::SystemDialogs(), folianto::ApplicationFolder());
    if (form.Create(instance)) {
      form.Show(showCommand);
      exitCode = folianto::RunMessageLoop();
    }
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return exitCode;
}
