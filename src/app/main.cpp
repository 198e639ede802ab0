#include <windows.h>

#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/UiThread.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const folianto::UiThreadSetup uiThread;
  folianto::Form1 form(folianto::SystemDialogs(), folianto::ApplicationFolder());
  if (!form.Create(instance)) return 1;
  form.Show(showCommand);
  return folianto::RunMessageLoop();
}
