#!/usr/bin/env bash
# The package in a browser, run by CTest (tests/js/CMakeLists.txt):
#   js/test/browser.sh CLI WORK_DIR VERSION
# builds the WebAssembly module (objects in WORK_DIR/obj), packs the package
# with `npm pack`, installs the tarball offline into a scratch project beside
# js/test/browser.html, and runs js/test/check_browser.py: headless Chromium
# loads the page from a loopback server and its results are compared with the
# CLI's JSON.  Without emcc, node, npm, python3 or chromium it prints
# "test skipped" and succeeds.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
js="$(cd "$here/.." && pwd)"
cli="$1" work="$2" version="$3"
for tool in emcc node npm python3; do
  command -v "$tool" >/dev/null || { echo "$tool not found: test skipped"; exit 0; }
done
[ -x /usr/bin/chromium ] || { echo "chromium not found: test skipped"; exit 0; }
mkdir -p "$work" && work="$(cd "$work" && pwd)"
cli="$(realpath "$cli")"

rm -rf "$work/package" "$work/project" "$work"/vorlin-*.tgz
mkdir -p "$work/package/dist" "$work/project"
"$js/build.sh" "$work/obj" "$work/package/dist" >/dev/null
cp "$js/package.json" "$js/index.mjs" "$js/index.d.ts" "$work/package/"

export npm_config_cache="$work/npm-cache" npm_config_update_notifier=false npm_config_fund=false \
       npm_config_audit=false
(cd "$work/package" && npm pack --pack-destination "$work" >/dev/null 2>&1)
tarball="$work/vorlin-$version.tgz"
[ -f "$tarball" ] || { echo "npm pack did not give $tarball" >&2; ls "$work" >&2; exit 1; }

cd "$work/project"
printf '{"name":"vorlin-js-browser-test","private":true,"type":"module"}\n' > package.json
npm install --offline --no-save "$tarball" >/dev/null
cp "$here/browser.html" .
python3 "$here/check_browser.py" "$cli" "$work/project" "$version"
