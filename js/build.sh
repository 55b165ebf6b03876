#!/usr/bin/env bash
# Compiles the library's core (src/) and the front ends' gazetteer search
# (frontend/places*.cpp, over an image given at run time) to WebAssembly with
# emcc: js/dist/vorlin_wasm.mjs (the ES module loader), js/dist/vorlin_wasm.wasm
# beside it, and js/dist/places.bin, the gazetteer's data file (written by
# tools/gen_places.py from frontend/data).
#   js/build.sh [OBJECT_DIR [OUTPUT_DIR]]   objects in OBJECT_DIR (default
#   build/js/obj), the loader and the .wasm in OUTPUT_DIR (default js/dist)
# One compiler at a time; objects are rebuilt only when their source or a
# header is newer.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
objects="${1:-$root/build/js/obj}"
out="${2:-$here/dist}"
command -v emcc >/dev/null || { echo "js/build.sh: emcc not found (apt-get install emscripten)" >&2; exit 1; }
mkdir -p "$objects" "$out"
# Debian's emcc runs its JavaScript tools with the system's node, whose
# modules (acorn) live in /usr/share/nodejs.
[ -d /usr/share/nodejs ] && export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

flags=(-O2 -std=c++20 -ffp-contract=off -fno-exceptions -I"$root/include" -I"$root/src"
       -DVORLIN_BUILDING_LIBRARY)
newest_header="$(find "$root/include" "$root/src" \( -name '*.h' -o -name '*.inc' \) -printf '%T@\n' | sort -n | tail -1)"
objs=()
while IFS= read -r source; do
  rel="${source#$root/src/}"
  obj="$objects/${rel//\//_}.o"
  objs+=("$obj")
  if [ ! -f "$obj" ] || [ "$source" -nt "$obj" ] ||
     awk -v h="$newest_header" -v o="$(stat -c %Y "$obj")" 'BEGIN{exit !(h > o)}'; then
    echo "emcc $rel"
    emcc "${flags[@]}" -c "$source" -o "$obj"
  fi
done < <(find "$root/src" -name '*.cpp' | sort)

# The gazetteer's search, with exceptions as the front end is written (none
# is thrown in use), its image loaded by the host.
for name in places places_c; do
  source="$root/frontend/$name.cpp"
  obj="$objects/frontend_$name.cpp.o"
  objs+=("$obj")
  if [ ! -f "$obj" ] || [ "$source" -nt "$obj" ] || [ "$root/frontend/places.h" -nt "$obj" ] ||
     [ "$root/frontend/places_c.h" -nt "$obj" ]; then
    echo "emcc frontend/$name.cpp"
    emcc -O2 -std=c++20 -ffp-contract=off -DVORLIN_PLACES_RUNTIME_IMAGE -I"$root/frontend" \
      -c "$source" -o "$obj"
  fi
done
image="$out/places.bin"
if [ ! -f "$image" ] || [ "$root/frontend/data/places.tsv.xz" -nt "$image" ] ||
   [ "$root/frontend/data/countries.tsv" -nt "$image" ] || [ "$root/tools/gen_places.py" -nt "$image" ]; then
  echo "places.bin"
  python3 "$root/tools/gen_places.py" "$root/frontend/data/places.tsv.xz" \
    "$root/frontend/data/countries.tsv" "$image"
fi

exports='["_VorDefaultTimesSettings","_VorMethodSettings","_VorMethodCount","_VorMethodName",
"_VorTimesOfDay","_VorTimesOfRange","_VorCivilToHijri","_VorHijriToCivil","_VorCrescentEvening",
"_VorQiblaInfo","_VorisValidDate","_VorFindPlaces","_VorNearPlaces","_VorPlaceDataCredit",
"_VorUsePlacesImage","_malloc","_free"]'
# Fixed memory (no growth): views on the memory stay valid for the module's life.
emcc -O2 "${objs[@]}" -o "$out/vorlin_wasm.mjs" \
  -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createVorlinModule \
  -sENVIRONMENT=web,node -sALLOW_MEMORY_GROWTH=0 -sINITIAL_MEMORY=50331648 \
  -sTOTAL_STACK=1048576 -sFILESYSTEM=0 -sEXIT_RUNTIME=0 \
  -sNODEJS_CATCH_EXIT=0 -sNODEJS_CATCH_REJECTION=0 --pre-js "$here/pre.js" \
  -sEXPORTED_FUNCTIONS="$(echo "$exports" | tr -d '\n')"
echo "vorlin_wasm.wasm: $(stat -c %s "$out/vorlin_wasm.wasm") bytes, places.bin: $(stat -c %s "$image") bytes"
