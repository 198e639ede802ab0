/* What a test under Wine asks of the Linux side, which a Windows program cannot do there: a
 * Winelib program, so the test can wait for it. Paths are Windows paths.
 *   unix_helper symlink TARGET LINK   makes LINK a Unix symbolic link to TARGET
 *   unix_helper give-away PATH        gives PATH to the user "nobody", as another account's
 * Ends with 0 when done. */
#include <windows.h>

#include <pwd.h>
#include <stdio.h>
#include <unistd.h>

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
  fprintf(stderr, "usage: unix_helper symlink TARGET LINK | give-away PATH\n");
  return 2;
}
