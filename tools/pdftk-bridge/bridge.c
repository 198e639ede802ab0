/* pdftk.exe for running Folianto under Wine on Linux: a Winelib program that hands its command
 * line to the system's pdftk and passes back its output and exit code. A Windows program cannot
 * wait for a Linux process directly, but it can wait for this one. A hosting aid only: on Windows
 * the real pdftk.exe stands in its place.
 *
 * It reads its arguments as the real pdftk.exe does, a Windows program with a narrow main: from
 * the ANSI form of its command line, so a character outside the system's code page arrives as
 * "?" and that file is not found, as on Windows. Paths in handle assignments (A=C:\in\one.pdf)
 * and the path after "output" are turned into Unix paths; every other argument goes through as it
 * is. pdftk reads nothing from standard input. */
#define _GNU_SOURCE /* pipe2 */
#include <windows.h>
#include <shellapi.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

static const char kPdftk[] = "/usr/bin/pdftk";

static char* Utf8(const WCHAR* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
  char* bytes = malloc(size > 0 ? (size_t)size : 1);
  if (size <= 0 || !WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, size, NULL, NULL)) {
    bytes[0] = '\0';
  }
  return bytes;
}

/* The Unix path of a Windows path; a path Wine cannot map (a missing folder, say) goes through as
 * it is, so pdftk reports it in its own words. */
static char* UnixPath(const WCHAR* path) {
  char* mapped = wine_get_unix_file_name(path);
  if (!mapped) return Utf8(path);
  char* copy = strdup(mapped);
  HeapFree(GetProcessHeap(), 0, mapped);
  return copy;
}

/* A handle assignment is one or more upper-case letters, then "=". */
static const WCHAR* AssignedPath(const WCHAR* argument) {
  const WCHAR* p = argument;
  while (*p >= L'A' && *p <= L'Z')
    ++p;
  return (p > argument && *p == L'=') ? p + 1 : NULL;
}

static char* UnixArgument(const WCHAR* argument, BOOL afterOutput) {
  if (afterOutput && lstrcmpW(argument, L"-") != 0) return UnixPath(argument);
  const WCHAR* path = AssignedPath(argument);
  if (!path) return Utf8(argument);
  char* handle = Utf8(argument);
  handle[path - argument] = '\0'; /* the letters and "=" are ASCII: one byte each */
  char* unixPath = UnixPath(path);
  char* joined = malloc(strlen(handle) + strlen(unixPath) + 1);
  strcpy(joined, handle);
  strcat(joined, unixPath);
  free(handle);
  free(unixPath);
  return joined;
}

/* fprintf(stderr) would reach the Unix descriptor, not the handle the caller gave. */
static void WriteAll(DWORD which, const char* bytes, size_t count) {
  const HANDLE target = GetStdHandle(which);
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(target, bytes, (DWORD)count, &written, NULL) || written == 0) return;
    bytes += written;
    count -= written;
  }
}

static void Complain(const char* what) {
  char text[512];
  const int length = snprintf(text, sizeof(text), "pdftk bridge: %s: %s\n", what, strerror(errno));
  WriteAll(STD_ERROR_HANDLE, text, length > 0 ? (size_t)length : 0);
}

/* Copies both pipes to the Windows handles until pdftk has closed them. */
static void PassOutputThrough(int outPipe, int errPipe) {
  struct pollfd ends[2] = {{outPipe, POLLIN, 0}, {errPipe, POLLIN, 0}};
  const DWORD targets[2] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  int open = 2;
  while (open > 0) {
    if (poll(ends, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || !(ends[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t got = read(ends[i].fd, buffer, sizeof(buffer));
      if (got > 0) {
        WriteAll(targets[i], buffer, (size_t)got);
      } else if (got == 0 || errno != EINTR) {
        close(ends[i].fd);
        ends[i].fd = -1;
        --open;
      }
    }
  }
}

/* The command line as a narrow main sees it, widened again for the path conversion. */
static WCHAR* AnsiCommandLine(void) {
  const char* narrow = GetCommandLineA();
  const int size = MultiByteToWideChar(CP_ACP, 0, narrow, -1, NULL, 0);
  WCHAR* wide = malloc((size > 0 ? (size_t)size : 1) * sizeof(WCHAR));
  if (size <= 0 || !MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, size)) wide[0] = L'\0';
  return wide;
}

int main(void) {
  int count = 0;
  WCHAR* commandLine = AnsiCommandLine();
  WCHAR** arguments = CommandLineToArgvW(commandLine, &count);
  free(commandLine);
  if (!arguments) return 1;

  char** unixArguments = calloc((size_t)count + 1, sizeof(char*));
  unixArguments[0] = strdup(kPdftk);
  for (int i = 1; i < count; ++i) {
    const BOOL afterOutput = i > 1 && lstrcmpW(arguments[i - 1], L"output") == 0;
    unixArguments[i] = UnixArgument(arguments[i], afterOutput);
  }
  LocalFree(arguments);

  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
    Complain("pipe");
    return 1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

  pid_t child = 0;
  const int spawnError = posix_spawn(&child, kPdftk, &actions, NULL, unixArguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  if (spawnError != 0) {
    errno = spawnError;
    Complain(kPdftk);
    return 1;
  }

  PassOutputThrough(outPipe[0], errPipe[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      Complain("waitpid");
      return 1;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
