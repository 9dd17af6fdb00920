#!/usr/bin/env bash
# Runs every benchmark program of the build, then prints one table of every
# judged figure with its limit (the programs print them as SUMMARY lines).
set -uo pipefail
build="${1:-build}"
export QT_QPA_PLATFORM=offscreen
status=0
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  name=$(basename "$b")
  echo "== $name"
  if ! "$b" | tee >(grep '^SUMMARY' | sed "s/^SUMMARY/$name/" >>"$summary"); then
    status=1
    grep -q "^$name	" "$summary" || printf '%s\t(no figures)\t-\t-\tFAIL\n' "$name" >>"$summary"
  fi
done
sleep 0.2 # the tee'd greps finish writing
echo
echo "== summary"
{
  printf 'program\tfigure\tvalue\tlimit\tresult\n'
  cat "$summary"
} | column -t -s $'\t'
exit $status
