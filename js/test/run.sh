#!/usr/bin/env bash
# The package's test, run by CTest (tests/js/CMakeLists.txt):
#   js/test/run.sh CLI WORK_DIR VERSION
# builds the WebAssembly module into WORK_DIR, packs the package there with
# `npm pack`, installs the tarball offline into a scratch project and runs
# `node --test` on js/test/*.test.mjs there, against the CLI's JSON.
# Without emcc, node or npm it prints "test skipped" and succeeds.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
js="$(cd "$here/.." && pwd)"
root="$(cd "$js/.." && pwd)"
cli="$1" work="$2" version="$3"
for tool in emcc node npm; do
  command -v "$tool" >/dev/null || { echo "$tool not found: test skipped"; exit 0; }
done

rm -rf "$work/package" "$work/project" "$work"/vorlin-*.tgz
mkdir -p "$work/package/dist" "$work/project"
"$js/build.sh" "$work/obj" "$work/package/dist"
cp "$js/package.json" "$js/index.mjs" "$js/index.d.ts" "$work/package/"

export npm_config_cache="$work/npm-cache" npm_config_update_notifier=false npm_config_fund=false \
       npm_config_audit=false
(cd "$work/package" && npm pack --pack-destination "$work" >/dev/null)
tarball="$work/vorlin-$version.tgz"
[ -f "$tarball" ] || { echo "npm pack did not give $tarball" >&2; ls "$work" >&2; exit 1; }

cd "$work/project"
printf '{"name":"vorlin-js-test","private":true,"type":"module"}\n' > package.json
npm install --offline --no-save "$tarball" >/dev/null
cp "$here"/*.test.mjs .
mkdir -p examples && cp "$js"/examples/*.mjs examples/
VORLIN_CLI="$cli" VORLIN_VERSION="$version" VORLIN_README="$root/README.md" \
  VORLIN_TARBALL="$tarball" node --test --test-reporter=tap ./*.test.mjs
