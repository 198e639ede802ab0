/* What a test under Wine asks of the Linux side, which a Windows program cannot do there: a
 * Winelib program, so the test can wait for it. Paths are Windows paths.
 *   unix_helper symlink TARGET LINK   makes LINK a Unix symbolic link to TARGET
 *   unix_helper give-away PATH        gives PATH to the user "nobody", as another account's
 *   unix_helper remove-tree PATH      removes PATH and all in it, links themselves, not what they
 *                                     lead to (Wine lists no link that leads nowhere)
 * Ends with 0 when done. */
/* For nftw, the walk that removes the deepest first. */
#define _GNU_SOURCE
#include <windows.h>

#include <ftw.h>
#include <pwd.h>
#include <stdio.h>
#include <unistd.h>

static int RemoveEntry(const char* path, const struct stat* status, int kind, struct FTW* at) {
  (void)status;
  (void)at;
  return kind == FTW_DP ? rmdir(path) : unlink(path);
}

int wmain(int argc, WCHAR** argv) {
  if (argc == 4 && lstrcmpW(argv[1], L"symlink") == 0) {
    char* target = wine_get_unix_file_name(argv[2]);
    char* link = wine_get_unix_file_name(argv[3]);
    return target && link && symlink(target, link) == 0 ? 0 : 1;
  }
  if (argc == 3 && lstrcmpW(argv[1], L"give-away") == 0) {
    const struct passwd* nobody = getpwnam("nobody");
    char* path = wine_get_unix_file_name(argv[2]);
    return nobody && path && lchown(path, nobody->pw_uid, nobody->pw_gid) == 0 ? 0 : 1;
  }
  if (argc == 3 && lstrcmpW(argv[1], L"remove-tree") == 0) {
    char* path = wine_get_unix_file_name(argv[2]);
    return path && nftw(path, RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) == 0 ? 0 : 1;
  }
  fprintf(stderr, "usage: unix_helper symlink TARGET LINK | give-away PATH | remove-tree PATH\n");
  return 2;
}
