# Sourced first by the scripts that run Wine (wine-run.sh, the end-to-end scenarios' runner): runs
# the script again, with its arguments, with the addresses of its processes not randomised.
# Debian's Wine 8 comes without its preloader, which keeps the addresses that Windows fixes free
# before Linux places anything. Without it Linux now and then puts a new Wine process's heap on the
# page of the shared user data (0x7ffe0000), and that process dies in its start-up, silently unless
# WINEDEBUG shows errors ("failed to map the shared user data: c0000018"): about one Wine process
# in 3,000, a program that never starts, or CreateProcessW failing with ERROR_INTERNAL_ERROR in the
# program that started it.
if [ -r /proc/self/personality ] && command -v setarch >/dev/null 2>&1 &&
  [ $((0x$(cat /proc/self/personality) & 0x40000)) -eq 0 ]; then
  exec setarch -R "$0" "$@"
fi
