#!/usr/bin/env python3
"""Writes the gazetteer of the front ends: a binary image of the places of
frontend/data/places.tsv.xz (GeoNames populated places, see
frontend/data/README.md) with a sorted index of their names, read in place
by frontend/places.cpp (embedded in the program, nothing parsed at start).

    gen_places.py PLACES_TSV_XZ COUNTRIES_TSV OUTPUT_BIN
    gen_places.py --check    (a test: the data files are those recorded in
                              frontend/data/README.md, and the index finds
                              every place under its own name)

Layout (little-endian; offsets from the start of the image):
  header   "VPLC", u32 version, then u32 counts and offsets (see HEADER)
  places   PLACE_SIZE bytes each, in the order of places.tsv (by country,
           then population): i32 latitude and longitude in 1e-5 degrees,
           u32 population, u32 name (string offset), u16 zone, u16 country,
           u16 admin1, i16 elevation in metres (-32768 unknown), u32 geonameid
  keys     u32 key string, u32 place: every folded name, ASCII name and
           alternate name of every place, sorted by the key's bytes, then by
           population (largest first)
  zones    u32 string per IANA zone name
  countries  u32 code string, u32 name string
  admin1   u32 string per first-level division name
  fold     u32 code point, u32 string: what a character folds to (sorted)
  strings  NUL-terminated UTF-8

Folding (the same in frontend/places.cpp, by the fold table): ASCII letters
and digits lower-cased, other ASCII dropped (blanks, hyphens, apostrophes,
full stops), a character of the fold table replaced by its text (Latin
letters by their base letters, "o" for "ø", "ss" for "ß"; combining marks,
Arabic vowel signs and typographic apostrophes by nothing; Arabic alef
forms by the plain alef), any other character kept.
"""
import lzma
import struct
import sys
import unicodedata

VERSION = 1
PLACE_FORMAT = "<iiIIHHHhI"
PLACE_SIZE = struct.calcsize(PLACE_FORMAT)
HEADER_FIELDS = ["places", "keys", "zones", "countries", "admin1", "fold",
                 "placesAt", "keysAt", "zonesAt", "countriesAt", "admin1At", "foldAt", "stringsAt"]

SPECIAL = {
    "ø": "o", "Ø": "o", "æ": "ae", "Æ": "ae", "œ": "oe", "Œ": "oe", "ß": "ss", "ẞ": "ss",
    "ł": "l", "Ł": "l", "đ": "d", "Đ": "d", "ð": "d", "Ð": "d", "þ": "th", "Þ": "th",
    "ı": "i", "ħ": "h", "Ħ": "h", "ŧ": "t", "Ŧ": "t", "ŋ": "n", "Ŋ": "n", "ĸ": "k",
    "ſ": "s", "ə": "e", "Ə": "e", "ƒ": "f", "ǝ": "e", "Ǝ": "e", "ɨ": "i", "Ɨ": "i",
    "\u2018": "", "\u2019": "", "\u02bb": "", "\u02bc": "", "\u02be": "", "\u02bf": "",
    "\u00b4": "", "\u2032": "", "\u00a0": "", "\u2010": "", "\u2011": "", "\u2013": "",
    "\u2014": "",
}
ARABIC_DROPPED = list(range(0x064B, 0x0660)) + [0x0670, 0x0640]
ARABIC_ALEF = {0x0622: "\u0627", 0x0623: "\u0627", 0x0625: "\u0627", 0x0671: "\u0627",
               0x0649: "\u064a"}


def fold_table():
    table = {}
    ranges = [range(0x00C0, 0x0250), range(0x1E00, 0x1F00)]
    for r in ranges:
        for cp in r:
            ch = chr(cp)
            if ch in SPECIAL:
                continue
            base = "".join(c for c in unicodedata.normalize("NFD", ch) if not unicodedata.combining(c))
            if base and base.isascii() and base.isalpha():
                table[cp] = base.lower()
    for cp in range(0x0300, 0x0370):  # combining diacritical marks
        table[cp] = ""
    for ch, text in SPECIAL.items():
        table[ord(ch)] = text
    for cp in ARABIC_DROPPED:
        table[cp] = ""
    for cp, text in ARABIC_ALEF.items():
        table[cp] = text
    return table


def fold(text, table):
    out = []
    for ch in unicodedata.normalize("NFC", text):
        cp = ord(ch)
        if cp < 0x80:
            if ch.isalnum():
                out.append(ch.lower())
        elif cp in table:
            out.append(table[cp])
        else:
            out.append(ch)
    return "".join(out)


class Strings:
    def __init__(self):
        self.data = bytearray()
        self.at = {}

    def add(self, text):
        if text not in self.at:
            self.at[text] = len(self.data)
            self.data += text.encode("utf-8") + b"\0"
        return self.at[text]


def build(places_path, countries_path):
    table = fold_table()
    strings = Strings()
    with open(countries_path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    countries = [(code, name) for code, name in rows]
    country_index = {code: i for i, (code, _) in enumerate(countries)}
    zones, zone_index, admin1, admin1_index = [], {}, [], {}
    places, keys = [], []
    with lzma.open(places_path, "rt", encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        column = {name: i for i, name in enumerate(header)}
        for line in f:
            v = line.rstrip("\n").split("\t")
            zone = v[column["timezone"]]
            if zone not in zone_index:
                zone_index[zone] = len(zones)
                zones.append(zone)
            region = v[column["admin1"]]
            if region not in admin1_index:
                admin1_index[region] = len(admin1)
                admin1.append(region)
            elevation = v[column["elevation_m"]]
            population = int(v[column["population"]])
            index = len(places)
            places.append((round(float(v[column["latitude"]]) * 1e5),
                           round(float(v[column["longitude"]]) * 1e5),
                           population, strings.add(v[column["name"]]), zone_index[zone],
                           country_index[v[column["country"]]], admin1_index[region],
                           int(elevation) if elevation else -32768, int(v[column["geonameid"]])))
            names = [v[column["name"]], v[column["asciiname"]]]
            names += [n for n in v[column["alt_names"]].split(",") if n]
            for key in {fold(n, table) for n in names}:
                if key:
                    keys.append((key.encode("utf-8"), -population, index))
    keys.sort()
    key_records = [(strings.add(k.decode("utf-8")), index) for k, _, index in keys]
    zone_records = [strings.add(z) for z in zones]
    country_records = [(strings.add(code), strings.add(name)) for code, name in countries]
    admin1_records = [strings.add(a) for a in admin1]
    fold_records = [(cp, strings.add(text)) for cp, text in sorted(table.items())]

    counts = [len(places), len(key_records), len(zone_records), len(country_records),
              len(admin1_records), len(fold_records)]
    header_size = 8 + 4 * len(HEADER_FIELDS)
    at = header_size
    offsets = []
    for size in (PLACE_SIZE * len(places), 8 * len(key_records), 4 * len(zone_records),
                 8 * len(country_records), 4 * len(admin1_records), 8 * len(fold_records)):
        offsets.append(at)
        at += size
    offsets.append(at)  # strings
    image = bytearray(b"VPLC" + struct.pack("<I", VERSION))
    image += struct.pack("<%dI" % len(HEADER_FIELDS), *(counts + offsets))
    for p in places:
        image += struct.pack(PLACE_FORMAT, *p)
    for k in key_records:
        image += struct.pack("<II", *k)
    for z in zone_records:
        image += struct.pack("<I", z)
    for c in country_records:
        image += struct.pack("<II", *c)
    for a in admin1_records:
        image += struct.pack("<I", a)
    for f in fold_records:
        image += struct.pack("<II", *f)
    image += strings.data
    return bytes(image), places, keys, table


def check():
    import hashlib
    import os
    import re
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "frontend", "data")
    readme = open(os.path.join(root, "README.md"), encoding="utf-8").read()
    sums = re.findall(r"SHA-256[^`]*`([0-9a-f]{64})`", readme)
    failures = []
    with lzma.open(os.path.join(root, "places.tsv.xz"), "rb") as f:
        if hashlib.sha256(f.read()).hexdigest() != sums[0]:
            failures.append("places.tsv.xz does not hold the recorded places.tsv")
    with open(os.path.join(root, "countries.tsv"), "rb") as f:
        if hashlib.sha256(f.read()).hexdigest() != sums[1]:
            failures.append("countries.tsv is not the recorded one")
    image, places, keys, table = build(os.path.join(root, "places.tsv.xz"),
                                       os.path.join(root, "countries.tsv"))
    if len(places) != 118841:
        failures.append("%d places, 118841 expected" % len(places))
    # Every place is under its own folded name in the sorted index.
    index = {}
    for key, _, place in keys:
        index.setdefault(key, set()).add(place)
    names = {}
    with lzma.open(os.path.join(root, "places.tsv.xz"), "rt", encoding="utf-8") as f:
        f.readline()
        for i, line in enumerate(f):
            name = line.split("\t")[1]
            if i not in index.get(fold(name, table).encode("utf-8"), ()):
                failures.append("place %d (%s) not under its name" % (i, name))
    if [k[0] for k in keys] != sorted(k[0] for k in keys):
        failures.append("the index is not sorted")
    for text, expected in (("Tromsø", "tromso"), ("São Paulo", "saopaulo"), ("St. John's", "stjohns"),
                           ("Hawaiʻi", "hawaii"), ("Bakı", "baki"), ("Gəncə", "gence"),
                           ("مكّة", "مكة"), ("إسطنبول", "اسطنبول"), ("ÆRØ", "aero")):
        if fold(text, table) != expected:
            failures.append("fold(%r) = %r, not %r" % (text, fold(text, table), expected))
    for f in failures[:20]:
        print("FAIL:", f)
    print("%d places, %d keys, image of %d bytes: %s" % (len(places), len(keys), len(image),
                                                         "ok" if not failures else "%d failures" % len(failures)))
    return 1 if failures else 0


def main():
    if sys.argv[1:] == ["--check"]:
        sys.exit(check())
    image, _, _, _ = build(sys.argv[1], sys.argv[2])
    with open(sys.argv[3], "wb") as f:
        f.write(image)


if __name__ == "__main__":
    main()
