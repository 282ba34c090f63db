#!/usr/bin/env bash
# The short fuzz run of `make test`: builds the fuzz preset, writes the seed corpus and runs
# each libFuzzer target for a bounded time (KT_FUZZ_SECONDS, default 20) on a scratch copy of
# its corpus, so that runs do not grow the tree. Fails when any target crashes, leaks, hangs
# or runs out of memory; the input that did it is kept in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${KT_FUZZ_SECONDS:-20}
artifacts=build/fuzz/artifacts

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
cmake --build --preset fuzz --target fuzz_corpus

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$artifacts"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for corpus in build/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  cp -r "$corpus" "$scratch/$target"
  log="$scratch/$target.log"
  echo "run-fuzz: $target, ${seconds} s"
  # The targets' input files go into the scratch folder too, so a crash leaves none behind.
  if TMPDIR="$scratch" build/fuzz/bin/"$target" "$scratch/$target" -max_total_time="$seconds" \
      -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      >"$log" 2>&1; then
    grep -E '^(Done|stat::peak_rss_mb)' "$log" | sed 's/^/  /'
  else
    failed+=("$target")
    tail -n 60 "$log"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "run-fuzz: failed: ${failed[*]} (inputs in $artifacts/)"
  exit 1
fi
echo "run-fuzz: no findings, ${seconds} s per target"
