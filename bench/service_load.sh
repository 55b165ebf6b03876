#!/usr/bin/env bash
# The web service under load (by hand, not a test): requests per second and
# latency percentiles from wrk for one day's times and for a year's, at 1, 16
# and 256 connections, then the server's resident memory over a minute of
# load.  Usage: bench/service_load.sh VORLIN [SECONDS_PER_RUN]
set -euo pipefail
vorlin="$1" seconds="${2:-10}"
command -v wrk >/dev/null || { echo "wrk not found (apt-get install wrk)" >&2; exit 1; }
log="$(mktemp)"
"$vorlin" serve --port 0 --quiet ${VORLIN_THREADS:+--threads "$VORLIN_THREADS"} 2>"$log" &
server=$!
trap 'kill -TERM $server 2>/dev/null; wait $server 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 50); do grep -q listening "$log" && break; sleep 0.1; done
port="$(grep -o '127\.0\.0\.1:[0-9]*' "$log" | cut -d: -f2)"
base="http://127.0.0.1:$port"
day="$base/v1/times?city=London&date=2025-03-30"
year="$base/v1/times?city=London&year=2025"
rss() { awk '/VmRSS/ {print $2}' "/proc/$server/status"; }

echo "request | connections | requests/s | p50 | p99 | errors"
for what in day year; do
  url="$day"; [ "$what" = year ] && url="$year"
  for connections in 1 16 256; do
    threads=$(( connections < 2 ? 1 : 2 ))
    out="$(wrk -t"$threads" -c"$connections" -d"${seconds}s" --timeout 10s --latency "$url")"
    rps="$(awk '/Requests\/sec/ {print $2}' <<<"$out")"
    p50="$(awk '$1 == "50%" {print $2}' <<<"$out")"
    p99="$(awk '$1 == "99%" {print $2}' <<<"$out")"
    errors="$(awk '/Socket errors|Non-2xx/ {print}' <<<"$out" | tr '\n' ' ')"
    echo "$what | $connections | $rps | $p50 | $p99 | ${errors:-none}"
  done
done

echo "memory (VmRSS, kB) over a minute of one-day requests at 16 connections:"
before="$(rss)"
wrk -t2 -c16 -d20s "$day" >/dev/null; after20="$(rss)"
wrk -t2 -c16 -d20s "$day" >/dev/null; after40="$(rss)"
wrk -t2 -c16 -d20s "$day" >/dev/null; after60="$(rss)"
echo "before $before, after 20 s $after20, 40 s $after40, 60 s $after60"
kill -0 $server && echo "the server is still up"
