#include <windows.h>

#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "join/DiskWorkspace.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"
#include "platform/Process.h"
#include "platform/UiThread.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  // Before anything can load a DLL: a program started from Downloads would otherwise load a DLL
  // it asks for by name from its own folder first, where anyone may have put one. pdftk.exe is
  // still started by its full path in this program's folder. Heap corruption ends the program
  // rather than letting it run on.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  const folianto::UiThreadSetup uiThread;
  folianto::Form1 form(folianto::SystemDialogs(folianto::kProgramTitle),
                       folianto::ApplicationFolder());
  if (!form.Create(instance)) return 1;
  form.Show(showCommand);
  // What joins of a Folianto that ended before them left goes once the window is there, on a
  // thread of its own: a path that does not answer (a share gone offline) holds up nothing. It
  // stops between its steps when the program ends.
  const folianto::BackgroundWork tidyUp([](const std::atomic<bool>& stop) {
    folianto::RemoveWhatEndedJoinsLeft(folianto::TemporaryFolder(), stop);
  });
  // shell32 splits the arguments; a start without any does not load it.
  if (commandLine && *commandLine) form.AddOnceShown(folianto::ProgramArguments());
  return folianto::RunMessageLoop();
}
