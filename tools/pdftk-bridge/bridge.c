/* pdftk.exe for running Folianto under Wine on Linux: a Winelib program that hands its command
 * line to the system's pdftk and passes back its output and exit code. A Windows program cannot
 * wait for a Linux process directly, but it can wait for this one. A hosting aid only: on Windows
 * the real pdftk.exe stands in its place.
 *
 * It reads its arguments as the real pdftk.exe does, a Windows program with a narrow main: from
 * the ANSI form of its command line, so a character outside the system's code page arrives as
 * "?" and that file is not found, as on Windows. Paths in handle assignments (A=C:\in\one.pdf)
 * and the paths after "output" and "update_info" are turned into Unix paths; the passwords after
 * "input_pw" (A=PROMPT) and every other argument go through as they are. What it reads on its
 * standard input goes on to pdftk's, which reads a password there for PROMPT. */
#define _GNU_SOURCE /* pipe2 */
#include <windows.h>
#include <shellapi.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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

/* pathFollows: the argument is the path of a file to write or read ("output", "update_info");
 * passwords: it may be a handle's password, after "input_pw". */
static char* UnixArgument(const WCHAR* argument, BOOL pathFollows, BOOL passwords) {
  if (pathFollows && lstrcmpW(argument, L"-") != 0 && lstrcmpW(argument, L"PROMPT") != 0) {
    return UnixPath(argument);
  }
  const WCHAR* path = AssignedPath(argument);
  if (!path || passwords) return Utf8(argument);
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

/* Copies this program's standard input, a Windows handle, to the write end of pdftk's, until
 * its end; then pdftk meets the end too. */
static DWORD WINAPI PassInputThrough(void* parameter) {
  const int inPipe = (int)(INT_PTR)parameter;
  const HANDLE source = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[4096];
  DWORD got = 0;
  while (source && source != INVALID_HANDLE_VALUE &&
         ReadFile(source, buffer, sizeof(buffer), &got, NULL) && got > 0) {
    for (DWORD done = 0; done < got;) {
      const ssize_t written = write(inPipe, buffer + done, got - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        close(inPipe);
        return 0;
      }
      done += (DWORD)written;
    }
  }
  close(inPipe);
  return 0;
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
  BOOL passwords = FALSE;
  for (int i = 1; i < count; ++i) {
    const WCHAR* before = i > 1 ? arguments[i - 1] : L"";
    const BOOL pathFollows = lstrcmpW(before, L"output") == 0 ||
                             lstrcmpW(before, L"update_info") == 0 ||
                             lstrcmpW(before, L"update_info_utf8") == 0;
    /* The passwords run from "input_pw" to the first argument that assigns none. */
    if (lstrcmpW(before, L"input_pw") == 0) passwords = TRUE;
    if (!AssignedPath(arguments[i])) passwords = FALSE;
    unixArguments[i] = UnixArgument(arguments[i], pathFollows, passwords);
  }
  LocalFree(arguments);

  int inPipe[2], outPipe[2], errPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0 ||
      pipe2(errPipe, O_CLOEXEC) != 0) {
    Complain("pipe");
    return 1;
  }
  /* pdftk may end without reading all its input. */
  signal(SIGPIPE, SIG_IGN);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

  pid_t child = 0;
  const int spawnError = posix_spawn(&child, kPdftk, &actions, NULL, unixArguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(inPipe[0]);
  close(outPipe[1]);
  close(errPipe[1]);
  if (spawnError != 0) {
    errno = spawnError;
    Complain(kPdftk);
    return 1;
  }
  const HANDLE input =
      CreateThread(NULL, 0, PassInputThrough, (void*)(INT_PTR)inPipe[1], 0, NULL);
  if (input) {
    CloseHandle(input);
  } else {
    close(inPipe[1]);
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
