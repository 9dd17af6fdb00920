#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# fuzzer coverage over everything they link) and runs each for a while from
# the seed corpus in fuzz/corpus/<target>. A crash, a hang (an input over
# 10 s), a leak or memory beyond 2 GiB fails the run; the input that did it
# is left in <build>/findings/. New inputs that reach new code collect in
# <build>/corpus/<target>, not in the repository.
#
#   scripts/run-fuzz.sh [build folder] [seconds per target]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build-fuzz}"
seconds="${2:-60}"
targets=(filter request pagecontent)

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZHP_FUZZ=ON -DZHP_BUILD_TESTS=OFF -DZHP_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/fuzz/lsan.supp:${LSAN_OPTIONS:-}"
mkdir -p "$build/findings"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "$here/fuzz/corpus/$t" 2>"$build/fuzz_$t.log"; then
    status=1
    echo "fuzz_$t FAILED; the end of its log ($build/fuzz_$t.log):"
    tail -n 40 "$build/fuzz_$t.log"
  else
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz_$t.log" | tr '\n' ' '
    echo
  fi
done
exit $status
