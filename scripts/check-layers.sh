#!/usr/bin/env bash
# The layers' include rules, checked on every `make test`: includes point down only
# (app -> verify -> crypto), and only the Windows implementation files include Windows headers.
#
#   crypto/  includes project headers of crypto/ only
#   verify/  includes project headers of verify/ and crypto/ only (nothing of app/ or tools/)
#   crypto/, verify/ but verify/file_access_win32.cpp, app/ but app/win32/: no Windows header
#
# Windows headers are told by name: windows.h and every win*.h (winbase.h, winnt.h, winuser.h,
# winerror.h, winreg.h, winsock2.h, ...), every *api.h (shellapi.h, fileapi.h, synchapi.h,
# processthreadsapi.h, combaseapi.h, ...), and the shell, COM and other SDK headers listed in
# the pattern below (shlobj.h, shobjidl.h, objbase.h, ole2.h, unknwn.h, tchar.h, ...), in any
# letter case. The C run-time's own headers (io.h, share.h) are not among them.
#
# Usage: check-layers.sh [root], root defaulting to the repository. Says nothing and exits 0
# when every rule holds; otherwise prints file:line and the rule for each breach and exits 1.
set -euo pipefail
export LC_ALL=C

root=${1:-"$(dirname "$0")/.."}
cd "$root"

windows_header='^(windows|win[a-z0-9_]*|minwindef|[a-z0-9_]*api|shlobj|shlobj_core|shobjidl|shobjidl_core|shlwapi|shtypes|knownfolders|objbase|objidl|ole2|oleauto|olectl|unknwn|commctrl|commdlg|comdef|comip|propkey|propvarutil|tchar|strsafe|sddl|aclapi|accctrl|lmcons|tlhelp32|dbghelp|bcrypt|ncrypt|ws2tcpip|userenv|wtsapi32|intsafe|atl[a-z0-9_]*|wrl)[.]h$'

dirs=()
for dir in crypto verify app; do
  if [ -d "$dir" ]; then
    dirs+=("$dir")
  fi
done
if [ ${#dirs[@]} -eq 0 ]; then
  exit 0
fi

# One awk over every file: the check runs before each build, so it has to be quick. The awk
# program is in single quotes on purpose: its $0 and FILENAME are awk's, not the shell's.
# shellcheck disable=SC2016
if ! find "${dirs[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \
  -o -name '*.c' -o -name '*.inc' \) -print0 | sort -z | xargs -0 awk -v windows="$windows_header" '
  function breach(rule) {
    print FILENAME ":" FNR ": " rule
    found = 1
  }
  /^[ \t]*#[ \t]*include[ \t]*["<][^">]*[">]/ {
    text = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", text)
    form = substr(text, 1, 1)
    target = substr(text, 2)
    sub(/[">].*/, "", target)
    layer = FILENAME
    sub(/\/.*/, "", layer)
    if (form == "\"" && layer == "crypto" && target !~ /^crypto\//) {
      breach("crypto/ includes \"" target "\"; it may include only crypto/")
    }
    if (form == "\"" && layer == "verify" && target !~ /^(verify|crypto)\//) {
      breach("verify/ includes \"" target "\"; it may include only verify/ and crypto/")
    }
    name = tolower(target)
    sub(/.*\//, "", name)
    if (name ~ windows && FILENAME != "verify/file_access_win32.cpp" && FILENAME !~ /^app\/win32\//) {
      breach(target " is a Windows header; only verify/file_access_win32.cpp and app/win32/ may include one")
    }
  }
  END { exit found }
'; then
  exit 1
fi
