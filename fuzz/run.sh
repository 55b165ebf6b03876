#!/usr/bin/env bash
# Runs every fuzz target for a fixed short time on its corpus and fails on
# any crash, sanitizer report or input that takes longer than 5 seconds.
#   usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 10)
# New interesting inputs go to a scratch copy of the corpus, not into the
# repository.
set -euo pipefail
build=$(cd "${1:?usage: run.sh BUILD_DIR [SECONDS_PER_TARGET]}" && pwd)
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in is_valid_date ad_to_islamic islamic_to_ad calculate moon_info qibla times_of_day \
              crescent_calendar; do
  exe="$build/fuzz/fuzz_$target"
  [ -x "$exe" ] || { echo "missing $exe" >&2; exit 1; }
  mkdir -p "$work/$target"
  cp "$here/corpus/$target/"* "$work/$target/" 2>/dev/null || true
  log="$work/$target.log"
  if (cd "$work" && "$exe" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$target-" "$work/$target" >"$log" 2>&1); then
    runs=$(grep -m1 '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz_$target: ${runs:-?} executions in ${seconds} s, no findings"
  else
    echo "fuzz_$target: FAILED" >&2
    tail -n 60 "$log" >&2
    for a in "$work/$target-"*; do
      [ -e "$a" ] && { cp "$a" "$build/" ; echo "artifact kept: $build/$(basename "$a")" >&2; }
    done
    status=1
  fi
done
exit $status
