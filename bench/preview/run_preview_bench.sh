#!/usr/bin/env bash
# Runs the preview benchmark: the first preview in five fresh processes, each
# beside a bare view's first page in a fresh process, then every later case
# in one process.
#   run_preview_bench.sh BENCH [RUNS]
set -euo pipefail
bench=$1
runs=${2:-5}
export QT_QPA_PLATFORM=offscreen
# The web engine's sandbox refuses to run for the superuser.
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
# Journals of a run that was cut short are offered for recovery at the next
# start, which would wait on the dialog: each run keeps its own.
export XDG_STATE_HOME=$runtime/state
echo "Preview of a 1 MB Shift-JIS page, offscreen, command to load finished"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for _ in $(seq "$runs"); do
    "$bench" --cold-floor 2>/dev/null | grep '^cold'
    "$bench" --cold 2>/dev/null | grep '^cold'
done
"$bench" --runs "$runs" 2>/dev/null
