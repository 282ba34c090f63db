#!/usr/bin/env bash
# Times ktverify on a large signed executable against the digest commands a release script
# would run on it, measures its peak memory, then compares our digest and RSA primitives with
# OpenSSL's (kt_bench). Run by hand, not by `make test`; a few minutes:
#   scripts/bench.sh [MIB]
# MIB (or KT_BENCH_MIB) is the file size in MiB, default 512; KT_BENCH_REPS sets the number of
# repetitions, default 7. Timings on a shared machine drift by tens of percent from one minute
# to the next, so each repetition runs every command once, in an order rotated from one
# repetition to the next, and the tables show medians; the ratios are taken from the medians.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."

mib=${1:-${KT_BENCH_MIB:-512}}
reps=${KT_BENCH_REPS:-7}
if ! [[ $mib =~ ^[1-9][0-9]*$ ]] || [ "$mib" -gt 3072 ]; then
  echo "bench: the size must be a whole number of MiB from 1 to 3072, not '$mib'" >&2
  exit 2
fi
if ! [[ $reps =~ ^[1-9][0-9]*$ ]]; then
  echo "bench: KT_BENCH_REPS must be a positive whole number, not '$reps'" >&2
  exit 2
fi
bin=build/host/bin
# OpenSSL picks its code paths by this variable; the comparison is with its defaults.
unset OPENSSL_ia32cap

scripts/install-deps.sh bench

mkdir -p build
scratch=$(mktemp -d build/bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Build output only when it fails, so the tables stay readable.
if ! { cmake --preset host && cmake --build --preset host \
  --target ktverify ktsign kt_sample_exe kt_bench; } >"$scratch/build.log" 2>&1; then
  cat "$scratch/build.log" >&2
  exit 1
fi

file=$scratch/signed.exe
"$bin/kt_sample_exe" $((mib << 20)) "$scratch/unsigned.exe"
"$bin/ktsign" exe --key keys/dev/key-p.pem "$scratch/unsigned.exe" "$file"
rm "$scratch/unsigned.exe"
bytes=$(stat -c %s "$file")

ktverify_accepts() {
  if ! "$bin/ktverify" "$file"; then
    echo "bench: ktverify does not accept $file" >&2
    return 1
  fi
}
openssl_md5() { openssl dgst -md5 "$file"; }
openssl_sha256() { openssl dgst -sha256 "$file"; }
coreutils_md5() { md5sum "$file"; }
coreutils_sha256() { sha256sum "$file"; }
commands=(ktverify_accepts openssl_md5 openssl_sha256 coreutils_md5 coreutils_sha256)
labels=("ktverify FILE" "openssl dgst -md5 FILE" "openssl dgst -sha256 FILE" "md5sum FILE"
  "sha256sum FILE")

# Runs "$@" with its output discarded and sets `elapsed` to its wall time in microseconds
# (EPOCHREALTIME needs no fork, so nothing else lands inside the measurement).
elapsed=0
time_run() {
  local start end
  start=${EPOCHREALTIME/./}
  "$@" >/dev/null
  end=${EPOCHREALTIME/./}
  elapsed=$((end - start))
}

# Prints the median of its arguments.
median() {
  printf '%s\n' "$@" | sort -n |
    awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One table row: label, then microsecond samples; prints median, fastest and slowest in
# seconds, and leaves the median in `row_median`.
row_median=0
print_row() {
  local label=$1
  shift
  row_median=$(median "$@")
  printf '%s\n' "$@" | sort -n | awk -v label="$label" -v m="$row_median" '
    NR == 1 { lo = $1 }
    { hi = $1 }
    END { printf "  %-52s %9.3f %9.3f %9.3f\n", label, m / 1e6, lo / 1e6, hi / 1e6 }'
}

# Prints a ratio row: label, numerator, denominator, limit, and "le" or "ge" for the target.
print_ratio() {
  awk -v label="$1" -v a="$2" -v b="$3" -v limit="${4:-}" -v sense="${5:-}" 'BEGIN {
    r = a / b
    if (sense == "") { printf "  %-52s %7.2f\n", label, r; exit }
    met = sense == "le" ? r <= limit : r >= limit
    printf "  %-52s %7.2f    %s %.2f   %s\n", label, r, sense == "le" ? "<=" : ">=", limit,
      met ? "met" : "MISSED"
  }'
}

compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:FILEPATH=//p' build/host/CMakeCache.txt)
echo "scripts/bench.sh, $(date '+%Y-%m-%d %H:%M:%S %Z')"
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "  cpu:       $cpu, $(nproc) cores"
echo "  kernel:    $(uname -srm)"
echo "  openssl:   $(openssl version)"
echo "  coreutils: $(md5sum --version | head -n 1)"
echo "  build:     host preset, $("$compiler" --version | head -n 1)"
echo "  file:      $mib MiB signed executable ($bytes bytes) in $scratch"
echo "  method:    page cache warm, $reps repetitions of all five commands, order rotated"
echo "  ktverify:  $("$bin/ktverify" "$file")"
echo

# Page cache and the programs' own pages warm before anything is timed.
cat "$file" >/dev/null
for command in "${commands[@]}"; do
  time_run "$command"
done

count=${#commands[@]}
times=()
for ((rep = 0; rep < reps; rep++)); do
  for ((k = 0; k < count; k++)); do
    i=$(((rep + k) % count))
    time_run "${commands[i]}"
    times[rep * count + i]=$elapsed
  done
done

samples() {
  local i=$1 rep
  for ((rep = 0; rep < reps; rep++)); do
    echo "${times[rep * count + i]}"
  done
}
pair_samples() {
  local rep
  for ((rep = 0; rep < reps; rep++)); do
    echo $((times[rep * count + $1] + times[rep * count + $2]))
  done
}

printf '  %-52s %9s %9s %9s\n' "wall time, seconds" median fastest slowest
mapfile -t s < <(samples 0)
print_row "${labels[0]}" "${s[@]}"
verify=$row_median
mapfile -t s < <(pair_samples 1 2)
print_row "openssl dgst -md5 + openssl dgst -sha256" "${s[@]}"
openssl_pair=$row_median
mapfile -t s < <(samples 1)
print_row "  ${labels[1]}" "${s[@]}"
md5_alone=$row_median
mapfile -t s < <(samples 2)
print_row "  ${labels[2]}" "${s[@]}"
mapfile -t s < <(pair_samples 3 4)
print_row "md5sum + sha256sum" "${s[@]}"
coreutils_pair=$row_median
for i in 3 4; do
  mapfile -t s < <(samples "$i")
  print_row "  ${labels[i]}" "${s[@]}"
done
echo

# Peak memory: the largest of three runs.
peak=0
for _ in 1 2 3; do
  /usr/bin/time -v -o "$scratch/time.txt" "$bin/ktverify" "$file" >/dev/null
  kib=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$scratch/time.txt")
  peak=$((kib > peak ? kib : peak))
done
limit=$((bytes / 1024 + 16384))
if [ "$peak" -le "$limit" ]; then
  verdict=met
else
  verdict=MISSED
fi
printf '  %-52s %7.1f MiB    <= %.1f MiB (file + 16 MiB)   %s\n' \
  "peak resident memory of ktverify" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" \
  "$(awk -v k="$limit" 'BEGIN { print k / 1024 }')" "$verdict"
echo
printf '  %-52s %7s    %s\n' "time ratio, from the medians" ratio target
print_ratio "ktverify / OpenSSL pair" "$verify" "$openssl_pair" 0.8 le
print_ratio "ktverify / openssl dgst -md5 alone" "$verify" "$md5_alone" 1.15 le
print_ratio "ktverify / md5sum + sha256sum" "$verify" "$coreutils_pair"
echo

# The primitives on one 64 MiB buffer in memory; random interleaving mixes the repetitions of
# all benchmarks, as above.
kt_reps=9
kt_bench_args=("--benchmark_repetitions=$kt_reps" --benchmark_enable_random_interleaving=true
  --benchmark_report_aggregates_only=true)
echo "$bin/kt_bench ${kt_bench_args[*]}"
echo "  (OpenSSL with its defaults: the SHA extensions on where the processor has them)"
if ! "$bin/kt_bench" "${kt_bench_args[@]}" --benchmark_format=csv \
  >"$scratch/kt_bench.csv" 2>"$scratch/kt_bench.log"; then
  cat "$scratch/kt_bench.log" "$scratch/kt_bench.csv" >&2
  exit 1
fi
declare -A median_ms
while IFS=, read -r name _ real _ unit _ _ _ failed message; do
  name=${name//\"/}
  if [ "$name" = name ]; then
    continue
  fi
  if [ -n "$failed" ]; then
    echo "bench: $name failed: $message" >&2
    exit 1
  fi
  if [[ $name != *_median ]]; then
    continue
  fi
  # Every duration in milliseconds.
  median_ms[${name%_median}]=$(awk -v t="$real" -v u="$unit" \
    'BEGIN { print u == "us" ? t / 1e3 : u == "ns" ? t / 1e6 : u == "s" ? t * 1e3 : t }')
done <"$scratch/kt_bench.csv"

echo
printf '  %-52s %9s %9s\n' "median of $kt_reps, 64 MiB buffer in memory" ms "MB/s"
# kt_bench registers only the SHA-256 implementations this processor runs, slowest first; the
# last one is the one in use.
sha256_ours=()
for implementation in portable avx2 sha_extensions; do
  if [ -n "${median_ms[BM_Sha256/Ours/$implementation]:-}" ]; then
    sha256_ours+=("$implementation")
  fi
done
in_use=${sha256_ours[-1]}
for name in BM_Md5/Ours BM_Md5/OpenSSL "${sha256_ours[@]/#/BM_Sha256/Ours/}" BM_Sha256/OpenSSL \
  BM_Md5Sha256/OnePass BM_Md5Sha256/TwoCalls; do
  label=$name
  if [ "$name" = "BM_Sha256/Ours/$in_use" ]; then
    label="$name (in use)"
  fi
  awk -v label="$label" -v ms="${median_ms[$name]}" \
    'BEGIN { printf "  %-52s %9.1f %9.0f\n", label, ms, 67108864 / ms / 1e3 }'
done
echo
printf '  %-52s %9s\n' "median of $kt_reps" us
for name in BM_RsaVerifySignedDigest BM_RsaOpenSslPublicRaw; do
  awk -v label="$name" -v ms="${median_ms[$name]}" \
    'BEGIN { printf "  %-52s %9.1f\n", label, ms * 1e3 }'
done
echo
printf '  %-52s %7s    %s\n' "ratio, from the medians" ratio target
# Throughput ratios are time ratios turned over: the same bytes each.
print_ratio "MD5 ours / OpenSSL, throughput" "${median_ms[BM_Md5/OpenSSL]}" \
  "${median_ms[BM_Md5/Ours]}" 0.9 ge
for implementation in "${sha256_ours[@]}"; do
  if [ "$implementation" = "$in_use" ]; then
    print_ratio "SHA-256 ours ($implementation) / OpenSSL, throughput" \
      "${median_ms[BM_Sha256/OpenSSL]}" "${median_ms[BM_Sha256/Ours/$implementation]}" 0.9 ge
  else
    print_ratio "SHA-256 ours ($implementation) / OpenSSL, throughput" \
      "${median_ms[BM_Sha256/OpenSSL]}" "${median_ms[BM_Sha256/Ours/$implementation]}"
  fi
done
print_ratio "one pass / two calls, throughput" "${median_ms[BM_Md5Sha256/TwoCalls]}" \
  "${median_ms[BM_Md5Sha256/OnePass]}"
print_ratio "one pass / OpenSSL MD5 alone, time" "${median_ms[BM_Md5Sha256/OnePass]}" \
  "${median_ms[BM_Md5/OpenSSL]}"
print_ratio "VerifySignedDigest / OpenSSL raw RSA, time" "${median_ms[BM_RsaVerifySignedDigest]}" \
  "${median_ms[BM_RsaOpenSslPublicRaw]}" 3 le
