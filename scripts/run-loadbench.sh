#!/usr/bin/env bash
# The load benchmark of zhp-server in its four settings: SQLite with one
# server, PostgreSQL with two servers on one database, each alone and beside
# slow and heavy clients. 32 clients for 30 s each unless told otherwise.
#
#   scripts/run-loadbench.sh [build folder] [seconds] [clients]
set -euo pipefail
build="${1:-build}"
seconds="${2:-30}"
clients="${3:-32}"
status=0
for engine in sqlite postgresql; do
  for extra in "" --hostile; do
    "$build/bin/loadbench" --engine "$engine" --seconds "$seconds" --clients "$clients" $extra || status=1
  done
done
exit $status
