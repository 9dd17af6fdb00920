#!/usr/bin/env bash
# Installs a build into a prefix whose path has a space, builds the example host
# against the installed CMake package from outside the source tree, and runs it
# once offscreen against a zhp-server started from the same prefix.
#
#   scripts/check-install.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: check-install.sh BUILD_DIR}" && pwd)"
source="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/zhp install.XXXXXX")"
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/prefix with space"

cmake --install "$build" --prefix "$prefix" >"$work/install.log"
cmake -S "$source/examples/host" -B "$work/host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/host" >"$work/build.log" || { cat "$work/build.log"; exit 1; }

# The installed programs must run from the prefix alone.
cd "$work"
"$prefix/bin/zhp-server" --db "$work/zhp.sqlite" --seed --quiet --port 0 >"$work/port" 2>"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port="$(head -n1 "$work/port")"
[ -n "$port" ] || { echo "zhp-server did not start"; cat "$work/server.log"; exit 1; }
# A token issued beside the running server counts at once.
token="$("$prefix/bin/zhp-server" --db "$work/zhp.sqlite" --issue-token u1001 2>>"$work/server.log")"

export QT_QPA_PLATFORM=offscreen
"$work/host/zhp-example-host" --quit-when-loaded --token "$token" "http://127.0.0.1:$port/" 5EED0000000000000000000000000101 \
  2>"$work/host.log" || { echo "example host failed"; cat "$work/host.log"; exit 1; }
# The installed terminal's tools find the shared folders of the prefix.
"$prefix/bin/zhpctl" roundtrip "$prefix/share/dizarozevoruzedava/data/samples/sample-page.json" >/dev/null
echo "installed into '$prefix', example host built and run"
