#!/usr/bin/env python3
"""The package in a browser: js/test/browser.html in headless Chromium.

Run as: check_browser.py CLI PROJECT_DIR VERSION, where PROJECT_DIR is a
scratch project with the packed package installed in node_modules/vorlin
(js/test/browser.sh makes it).  The project directory is served on a free
port of 127.0.0.1 by Python's http.server (in this process; nothing else is
reachable), the page is opened with --dump-dom, and what it wrote into
<pre id="result"> is compared with the CLI's JSON of the same requests:
every event of the day at London on 2024-03-31 (the change to summer time)
to the second and text by text; Hijri dates of 2024-03-11 and 2024-06-07 in
the Umm al-Qura, tabular and observational calendars and back (the
calendars differ on these days, so a mix-up shows); the method names; and
the gazetteer, fetched by loadPlaces() (places.bin beside the module): a
place and the times there as `vorlin places` and `--city` give them.  The server's log must show the .wasm
fetched by the page as application/wasm.  Without /usr/bin/chromium the
test is skipped.
"""
import datetime
import functools
import html
import http.server
import json
import os
import re
import subprocess
import sys
import tempfile
import threading

CLI, PROJECT, VERSION = sys.argv[1], sys.argv[2], sys.argv[3]
CHROMIUM = "/usr/bin/chromium"
FAILURES = []
REQUESTS = []  # (path, status, content type)


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def cli(*args):
    return json.loads(subprocess.run([CLI] + list(args), capture_output=True, check=True,
                                     timeout=120).stdout)


class Handler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def send_response(self, code, message=None):
        self._status = code
        super().send_response(code, message)

    def send_header(self, keyword, value):
        if keyword.lower() == "content-type":
            REQUESTS.append((self.path, getattr(self, "_status", None), value))
        super().send_header(keyword, value)

    def log_message(self, format, *args):
        pass


def serve():
    handler = functools.partial(Handler, directory=PROJECT)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def dump_dom(url):
    with tempfile.TemporaryDirectory() as profile:
        command = [CHROMIUM, "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                   "--no-first-run", "--no-default-browser-check", "--disable-extensions",
                   "--disable-sync", "--disable-background-networking", "--disable-component-update",
                   "--user-data-dir=" + profile, "--virtual-time-budget=30000", "--dump-dom", url]
        result = subprocess.run(command, capture_output=True, timeout=120)
        if result.returncode != 0:
            raise SystemExit("chromium: exit %d: %s" % (result.returncode,
                                                        result.stderr.decode("utf-8", "replace")[-2000:]))
        return result.stdout.decode("utf-8")


def seconds(text):
    return datetime.datetime.fromisoformat(text).timestamp()


def main():
    if not os.path.exists(CHROMIUM):
        print("chromium not found: test skipped")
        return 0
    page = os.path.join(PROJECT, "browser.html")
    if not os.path.exists(os.path.join(PROJECT, "node_modules", "vorlin", "index.mjs")):
        raise SystemExit("no node_modules/vorlin in %s" % PROJECT)
    server = serve()
    try:
        url = "http://127.0.0.1:%d/%s" % (server.server_address[1], os.path.basename(page))
        dom = dump_dom(url)
    finally:
        server.shutdown()
        server.server_close()

    match = re.search(r'<pre id="result">(.*?)</pre>', dom, re.S)
    if not match:
        raise SystemExit("no <pre id=\"result\"> in the page's DOM:\n" + dom[:2000])
    text = html.unescape(match.group(1))
    if text == "pending":
        raise SystemExit("the page's module did not finish (result still 'pending')")
    got = json.loads(text)
    if "error" in got:
        raise SystemExit("the page threw: " + got["error"])

    # The page ran in the browser, on the files the server gave it.
    if got["node"]:
        fail("the page thinks it runs in Node")
    if got["version"] != VERSION:
        fail("version %r, the project's is %r" % (got["version"], VERSION))
    served = {path.split("?")[0]: (status, ctype) for path, status, ctype in REQUESTS}
    wasm = served.get("/node_modules/vorlin/dist/vorlin_wasm.wasm")
    if wasm is None:
        fail("the page never fetched node_modules/vorlin/dist/vorlin_wasm.wasm (requests: %s)"
             % sorted(served))
    elif wasm != (200, "application/wasm"):
        fail("the .wasm was served as %r" % (wasm,))
    for path in ("/node_modules/vorlin/index.mjs", "/node_modules/vorlin/dist/vorlin_wasm.mjs"):
        if served.get(path, (None,))[0] != 200:
            fail("%s not loaded: %r" % (path, served.get(path)))

    # The day's times against `vorlin times --format json`, to the second.
    want = cli("times", "--day", "--format", "json", "--lat", "51.5074", "--lon", "-0.1278", "--height", "0",
               "--tz", "Europe/London", "--date", "2024-03-31", "--method", "MWL")
    if len(want["days"]) != 1:
        fail("the CLI gave %d days for one" % len(want["days"]))
    want_day = want["days"][0]
    day = got["times"]
    for key in ("date", "utcOffset", "summerTime"):
        if day[key] != want_day[key]:
            fail("times %s: browser %r, CLI %r" % (key, day[key], want_day[key]))
    compared = 0
    for name, text in want_day["times"].items():
        event = day["events"].get(name)
        if event is None:
            fail("the browser has no event %s" % name)
            continue
        if text is None:
            if event["time"] is not None or event["reason"] != want_day["missing"][name]:
                fail("%s: browser %r, CLI missing (%s)" % (name, event, want_day["missing"][name]))
            continue
        if event["local"] != text:
            fail("%s: browser %s, CLI %s" % (name, event["local"], text))
        if event["time"] is None or round(event["time"] / 1000) != seconds(text):
            fail("%s: browser instant %r ms, CLI %s" % (name, event["time"], text))
        filled = name in want_day.get("filled", {})
        if event["filled"] != filled or (filled and event["reason"] != want_day["filled"][name]):
            fail("%s filled: browser %r %r, CLI %r" % (name, event["filled"], event["reason"],
                                                       want_day.get("filled", {}).get(name)))
        compared += 1
    if compared < 10:
        fail("only %d times compared" % compared)
    if day["events"]["fajr"]["local"] != "2024-03-31T05:02:20+01:00":
        fail("fajr %r, the README's example says 2024-03-31T05:02:20+01:00" % day["events"]["fajr"]["local"])

    # Hijri dates against `vorlin hijri --format json`, both ways.
    places = {"makkah": ["--lat", "21.4225", "--lon", "39.8262", "--height", "300", "--tz", "Asia/Riyadh"],
              "london": ["--lat", "51.5074", "--lon", "-0.1278", "--height", "0", "--tz", "Europe/London"]}
    asked = [(h["place"], h["date"], h["calendar"]) for h in got["hijri"]]
    if len(asked) != 6 or len(set(asked)) != 6:
        fail("the page converted %r" % (asked,))
    by_calendar = {}
    for h in got["hijri"]:
        flags = places[h["place"]] + ["--calendar", h["calendar"]]
        what = "%s %s %s" % (h["place"], h["date"], h["calendar"])
        want_h = cli("hijri", h["date"], "--format", "json", *flags)["hijri"]
        if h["hijri"] != want_h:
            fail("hijri %s: browser %r, CLI %r" % (what, h["hijri"], want_h))
            continue
        back = cli("hijri", "--to-civil", "%(year)d-%(month)d-%(day)d" % want_h, "--format", "json",
                   *flags)["civil"]
        if h["civil"] != back or back != h["date"]:
            fail("toCivil %s: browser %r, CLI %r" % (what, h["civil"], back))
        if h["place"] == "makkah":
            by_calendar.setdefault(h["date"], {})[h["calendar"]] = json.dumps(want_h, sort_keys=True)
    if len(set(by_calendar.get("2024-06-07", {}).values())) != 3:
        fail("the three calendars do not all differ at Makkah on 2024-06-07: the check cannot tell them apart")
    if len(set(by_calendar.get("2024-03-11", {}).values())) != 2:
        fail("Umm al-Qura and the observational calendar agree at Makkah on 2024-03-11")

    # The gazetteer: fetched on demand from beside the module, then the same
    # places and times as `vorlin places` and `vorlin times --city`.
    found = got["places"]
    if not found["before"] or "loadPlaces" not in found["before"]:
        fail("place() before loadPlaces(): %r, not an error naming loadPlaces" % found["before"])
    image = served.get("/node_modules/vorlin/dist/places.bin")
    if image is None or image[0] != 200:
        fail("the page did not fetch node_modules/vorlin/dist/places.bin: %r" % (image,))
    with open(os.path.join(PROJECT, "node_modules", "vorlin", "dist", "places.bin"), "rb") as f:
        header = f.read(12)
    if found["count"] != int.from_bytes(header[8:12], "little") or header[:4] != b"VPLC":
        fail("loadPlaces() gave %r places; the file's header says %r" % (found["count"], header))
    want_place = cli("places", "Makkah", "--format", "json")["places"][0]
    p = found["place"]
    mine = (p["name"], p["admin1"], p["countryCode"], p["timeZone"], p["latitude"], p["longitude"],
            p["height"], p["geonameid"])
    theirs = (want_place["name"], want_place["region"], want_place["country"], want_place["zone"],
              want_place["latitude"], want_place["longitude"], want_place["elevation"] or 0,
              want_place["geonameid"])
    if mine != theirs:
        fail("place('Makkah'): browser %r, CLI %r" % (mine, theirs))
    london = [", ".join(x for x in (q["name"], q["region"] if q["region"] != q["name"] else "", q["country"]) if x)
              for q in cli("places", "London", "--format", "json")["places"][:3]]
    if found["london"] != london:
        fail("places('London'): browser %r, CLI %r" % (found["london"], london))
    want_city = cli("times", "--day", "--format", "json", "--city", "Makkah", "--date", "2025-03-01",
                    "--method", "UmmAlQura")["days"][0]["times"]
    for name, text in want_city.items():
        if found["times"].get(name) != text:
            fail("times at place('Makkah') %s: browser %r, CLI --city %r" % (name, found["times"].get(name), text))

    # The method names against `vorlin methods`.
    lines = subprocess.run([CLI, "methods"], capture_output=True, text=True, check=True).stdout
    names = [line.split()[0] for line in lines.strip().split("\n")[1:]]
    if got["methods"] != names:
        fail("methods: browser %r, CLI %r" % (got["methods"], names))

    if FAILURES:
        print("%d failures" % len(FAILURES))
        return 1
    print("ok: %d times, %d Hijri dates (both ways), %d method names and the gazetteer (%d places, fetched"
          " on demand) in headless Chromium equal the CLI's" % (compared, len(got["hijri"]), len(names),
                                                                found["count"]))
    print("fajr %s, Umm al-Qura at Makkah %r" % (day["events"]["fajr"]["local"], got["hijri"][0]["hijri"]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
