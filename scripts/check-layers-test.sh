#!/usr/bin/env bash
# Runs check-layers.sh on scratch trees: one that keeps every rule, with and without app/, must
# pass in silence; one that breaks each rule once must be reported line by line, and nothing
# else. Silent and exit 0 when the check behaves; otherwise says what differed and exits 1.
set -euo pipefail

check="$(cd "$(dirname "$0")" && pwd)/check-layers.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# put FILE LINE...: writes the lines to FILE under the current tree.
put() {
  local file=$1
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\n' "$@" >"$file"
}

failed=0
expect() {
  local name=$1 tree=$2 status=$3 expected=$4
  local output actual=0
  output=$("$check" "$tree" 2>&1) || actual=$?
  if [ "$actual" != "$status" ] || [ "$output" != "$expected" ]; then
    printf 'check-layers-test: %s: exit %s, expected %s\n--- printed:\n%s\n--- expected:\n%s\n' \
      "$name" "$actual" "$status" "$output" "$expected"
    failed=1
  fi
}

mkdir "$scratch/clean" && cd "$scratch/clean"
put crypto/md5.cpp '#include "crypto/md5.h"' '#include <cstring>'
put crypto/digits.h '#include <cstdint>' '#include <immintrin.h>'
put verify/verify.cpp '#include "verify/verify.h"' '#include "crypto/rsa.h"' '#include <fcntl.h>'
put verify/file_access_win32.cpp '#include <windows.h>' '#include <io.h>' '#include <share.h>'
expect "clean tree without app/" "$scratch/clean" 0 ""
put app/win32/shortcut.cpp '#include <Windows.h>' '#include <shlobj.h>' '#include <objbase.h>'
put app/flows.cpp '#include "app/flows.h"' '#include "verify/verify.h"' '// #include <windows.h>'
expect "clean tree with app/" "$scratch/clean" 0 ""

mkdir "$scratch/broken" && cd "$scratch/broken"
put crypto/rsa.cpp '#include "crypto/rsa.h"' '#include "verify/status.h"' '#include <windows.h>'
put verify/hex.cpp '#include "tools/signing/bytes.h"' '  #  include "app/texts.h"' \
  '#include <ShlObj.h>'
put verify/file_access_posix.cpp '#include <unistd.h>' '#include <fileapi.h>'
put app/flows.cpp '#include "verify/verify.h"' '#include <shellapi.h>'
put app/win32x/guard.cpp '#include <winbase.h>'
expect "one breach of each rule" "$scratch/broken" 1 "$(
  cat <<'EOF'
app/flows.cpp:2: shellapi.h is a Windows header; only verify/file_access_win32.cpp and app/win32/ may include one
app/win32x/guard.cpp:1: winbase.h is a Windows header; only verify/file_access_win32.cpp and app/win32/ may include one
crypto/rsa.cpp:2: crypto/ includes "verify/status.h"; it may include only crypto/
crypto/rsa.cpp:3: windows.h is a Windows header; only verify/file_access_win32.cpp and app/win32/ may include one
verify/file_access_posix.cpp:2: fileapi.h is a Windows header; only verify/file_access_win32.cpp and app/win32/ may include one
verify/hex.cpp:1: verify/ includes "tools/signing/bytes.h"; it may include only verify/ and crypto/
verify/hex.cpp:2: verify/ includes "app/texts.h"; it may include only verify/ and crypto/
verify/hex.cpp:3: ShlObj.h is a Windows header; only verify/file_access_win32.cpp and app/win32/ may include one
EOF
)"

exit "$failed"
