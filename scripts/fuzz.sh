#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for a given time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   default: 30 s for every target
#
# Each target starts from its seeds in tests/fuzz/corpus/<target> and keeps
# what it learns in build/fuzz/corpus/<target> (the seeds in the repository
# are never changed). A crash, leak, sanitizer report, time-out or
# out-of-memory is a finding: the input is kept in build/fuzz/findings/ and
# the command fails. A table of executions, coverage and findings ends the run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=30
if [ "$#" -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
all=(fuzz_inifile fuzz_resolution fuzz_encode_options fuzz_canvas_document
     fuzz_stroke_recording fuzz_skin_package fuzz_device_table)
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=("${all[@]}")

export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-$(command -v ccache || true)}"
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

out=build/fuzz
mkdir -p "$out/logs" "$out/findings"
# Leaks count as findings; the readers' Qt warnings are silenced in the targets.
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

# The targets write every input to a file in $TMPDIR before reading it: a long
# run writes gigabytes. They go to memory when /dev/shm is there, into one
# folder of this run that is removed at the end, also after Ctrl-C (libFuzzer
# then exits without cleaning up its own folder).
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
work=$(mktemp -d "$shm/ovilen-fuzz-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
export TMPDIR=$work

failed=()
report=()
for target in "${targets[@]}"; do
  seeds=tests/fuzz/corpus/$target
  corpus=$out/corpus/$target
  log=$out/logs/$target.log
  mkdir -p "$corpus" "$out/findings/$target"
  echo "=== $target: $seconds s"
  status=0
  "$out/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$target/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  line=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$line")
  findings=$(find "$out/findings/$target" -type f | wc -l)
  report+=("$(printf '%-24s %10s %7s %7s %9s' "$target" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$findings")")
  if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    failed+=("$target")
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20 || true
    echo "    full log: $log"
  fi
done

printf '%-24s %10s %7s %7s %9s\n' target executions cov ft findings
printf '%s\n' "${report[@]}"
if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in $out/findings/)" >&2
  exit 1
fi
echo "fuzz: no findings in ${#targets[@]} targets, $seconds s each"
