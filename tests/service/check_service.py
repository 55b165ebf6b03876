#!/usr/bin/env python3
"""vorlin serve, through a real HTTP client (http.client), against the CLI.

Run as: check_service.py VORLIN.  Starts `VORLIN serve --port 0` on
127.0.0.1, then checks: every endpoint's answer byte for byte equal to the
CLI's document for the same request; each class of bad input (400 with a
JSON error naming the parameter), unknown paths (404), other methods (405);
HEAD; CORS; ETag and 304; Cache-Control; the OpenAPI document against the
routes actually served (every listed path and parameter is taken, paths
beside them are not); answers under concurrency equal to the same answers
one at a time; a generated corpus of malformed and hostile query strings
(never a 5xx, always a JSON error, the server alive after); one access-log
line per request; a clean stop on SIGTERM and on SIGINT.
"""
import concurrent.futures
import http.client
import json
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

VORLIN = sys.argv[1]
FAILURES = []
EPOCH = "1700000000"  # the calendar files' DTSTAMP, the same for both
CONFIG_HOME = tempfile.mkdtemp(prefix="vorlin-service-")
ENV = dict(os.environ, LC_ALL="C", SOURCE_DATE_EPOCH=EPOCH, XDG_CONFIG_HOME=CONFIG_HOME)
REQUESTS = [0]  # sent to the logging server


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def cli(args, status=(0, 1)):
    result = subprocess.run([VORLIN] + args, capture_output=True, env=ENV, timeout=120)
    if result.returncode not in status:
        fail("vorlin %s: exit %d: %s" % (" ".join(args), result.returncode, result.stderr.decode("utf-8", "replace")))
    return result.stdout


class Server:
    def __init__(self, *extra):
        self.process = subprocess.Popen([VORLIN, "serve", "--port", "0", "--threads", "8"] + list(extra),
                                        stderr=subprocess.PIPE, env=ENV)
        line = self.process.stderr.readline().decode()
        match = re.search(r"listening on http://127\.0\.0\.1:(\d+)/", line)
        if not match:
            raise SystemExit("the server did not say where it listens: %r" % line)
        self.port = int(match.group(1))
        # The access log is read as it comes: a full pipe would stop the server.
        self.log = []
        self.reader = threading.Thread(target=lambda: self.log.extend(self.process.stderr), daemon=True)
        self.reader.start()

    def request(self, method, target, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=60)
        try:
            connection.request(method, target, headers=headers or {})
            response = connection.getresponse()
            body = response.read()
            REQUESTS[0] += 1
            return response.status, {k.lower(): v for k, v in response.getheaders()}, body
        finally:
            connection.close()

    def get(self, path, params=None, headers=None):
        target = path + ("?" + urllib.parse.urlencode(params) if params else "")
        return self.request("GET", target, headers)

    def stop(self, how=signal.SIGTERM):
        self.process.send_signal(how)
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail("the server did not stop within 10 s of signal %d" % how)
        self.reader.join(timeout=10)
        return self.process.returncode, b"".join(self.log).decode("utf-8", "replace")


def same_as_cli(server, path, params, args):
    status, headers, body = server.get(path, params)
    want = cli(args)
    what = "%s?%s" % (path, urllib.parse.urlencode(params))
    if status != 200:
        fail("%s: status %d: %s" % (what, status, body[:300]))
    elif body != want:
        fail("%s: not the CLI's `vorlin %s` (%d and %d bytes)" % (what, " ".join(args), len(body), len(want)))
    if headers.get("access-control-allow-origin") != "*":
        fail("%s: no CORS header" % what)
    return headers, body


def check_endpoints(server):
    cases = [
        ("/v1/times", {"city": "London", "date": "2024-03-31"},
         ["times", "--day", "--city", "London", "--date", "2024-03-31", "--format", "json"]),
        ("/v1/times", {"lat": "69.6492", "lon": "18.9553", "tz": "Europe/Oslo", "month": "2024-06", "method": "ISNA"},
         ["times", "--month", "--date", "2024-06-01", "--lat", "69.6492", "--lon", "18.9553", "--tz", "Europe/Oslo",
          "--method", "ISNA", "--format", "json"]),
        ("/v1/times", {"city": "Makkah", "year": "2025", "method": "UmmAlQura", "calendar": "umm-al-qura"},
         ["times", "--year", "--date", "2025-01-01", "--city", "Makkah", "--method", "UmmAlQura",
          "--calendar", "umm-al-qura", "--format", "json"]),
        ("/v1/times", {"city": "Sydney", "from": "2024-04-05", "to": "2024-04-09", "fajr": "18.5",
                       "adjust": "dhuhr=2", "rounding": "up", "high-latitude-rule": "none"},
         ["times", "--from", "2024-04-05", "--to", "2024-04-09", "--city", "Sydney", "--fajr", "18.5",
          "--adjust", "dhuhr=2", "--rounding", "up", "--high-latitude-rule", "none", "--format", "json"]),
        ("/v1/times.csv", {"city": "New York", "month": "2024-11", "asr": "hanafi"},
         ["times", "--month", "--date", "2024-11-01", "--city", "New York", "--asr", "hanafi", "--format", "csv"]),
        ("/v1/times.ics", {"city": "São Paulo", "month": "2024-02", "events": "fajr,maghrib", "remind": "10"},
         ["times", "--month", "--date", "2024-02-01", "--city", "São Paulo", "--events", "fajr,maghrib",
          "--remind", "10", "--format", "ics"]),
        ("/v1/next", {"city": "London", "at": "2024-03-31T12:00"},
         ["next", "--city", "London", "--at", "2024-03-31T12:00", "--format", "json"]),
        ("/v1/hijri", {"city": "Makkah", "date": "2024-03-11", "calendar": "umm-al-qura"},
         ["hijri", "--date", "2024-03-11", "--city", "Makkah", "--calendar", "umm-al-qura", "--format", "json"]),
        ("/v1/civil", {"city": "Makkah", "hijri": "1445-09-01"},
         ["hijri", "--to-civil", "1445-09-01", "--city", "Makkah", "--format", "json"]),
        ("/v1/civil", {"city": "Makkah", "hijri": "1445-08-30"},  # a day the month does not have
         ["hijri", "--to-civil", "1445-08-30", "--city", "Makkah", "--format", "json"]),
        ("/v1/qibla", {"city": "London", "date": "2024-03-10"},
         ["qibla", "--city", "London", "--date", "2024-03-10", "--format", "json"]),
        ("/v1/moon", {"city": "Cairo", "date": "2024-03-10"},
         ["moon", "--day", "--city", "Cairo", "--date", "2024-03-10", "--format", "json"]),
        ("/v1/crescent", {"city": "Cairo", "date": "2024-03-10", "criterion": "yallop"},
         ["crescent", "--city", "Cairo", "--date", "2024-03-10", "--criterion", "yallop", "--format", "json"]),
        ("/v1/events", {"city": "Makkah", "year": "1446", "calendar": "umm-al-qura"},
         ["events", "--year", "1446", "--city", "Makkah", "--calendar", "umm-al-qura", "--format", "json"]),
        ("/v1/methods", {}, ["methods", "--format", "json"]),
        ("/v1/places", {"q": "Birmingham"}, ["places", "Birmingham", "--format", "json"]),
        ("/v1/places", {"q": "--help"}, ["places", "--format", "json", "--", "--help"]),
    ]
    for path, params, args in cases:
        headers, body = same_as_cli(server, path, params, args)
        kind = headers.get("content-type", "")
        want_kind = {"/v1/times.csv": "text/csv", "/v1/times.ics": "text/calendar"}.get(path, "application/json")
        if not kind.startswith(want_kind):
            fail("%s: content type %r" % (path, kind))
    status, _, body = server.get("/healthz")
    if status != 200 or json.loads(body).get("status") != "ok":
        fail("/healthz: %d %r" % (status, body))
    return len(cases)


def check_errors(server):
    long_range = {"city": "London", "from": "2024-01-01", "to": "2025-06-01"}
    cases = [
        ("an unknown city, with the near names", "/v1/times", {"city": "Birmingxam, Alabama"}, "city",
         "Birmingham, Alabama"),
        ("a date that does not exist", "/v1/times", {"city": "London", "date": "2024-02-30"}, "date", None),
        ("a malformed date", "/v1/hijri", {"city": "London", "date": "yesterday"}, "date", None),
        ("latitude out of range", "/v1/times", {"lat": "95", "lon": "0", "tz": "0"}, "lat", None),
        ("an unknown method", "/v1/times", {"city": "London", "method": "Nope"}, "method", None),
        ("an unknown time zone", "/v1/times", {"lat": "10", "lon": "10", "tz": "Mars/Olympus"}, "tz", None),
        ("an unknown parameter", "/v1/times", {"city": "London", "colour": "red"}, "colour", None),
        ("a setting on a route without a place", "/v1/methods", {"method": "ISNA"}, "method", None),
        ("a range too long", "/v1/times", long_range, "to", "366"),
        ("a range backwards", "/v1/times", {"city": "London", "from": "2024-02-01", "to": "2024-01-01"}, "to", None),
        ("from without to", "/v1/times", {"city": "London", "from": "2024-02-01"}, "to", None),
        ("a malformed month", "/v1/times", {"city": "London", "month": "March"}, "month", None),
        ("a Hijri date missing", "/v1/civil", {"city": "Makkah"}, "hijri", None),
        ("a malformed Hijri date", "/v1/civil", {"city": "Makkah", "hijri": "1445-13-01"}, "hijri", None),
        ("no query", "/v1/places", {}, "q", None),
        ("an empty query", "/v1/places", {"q": ""}, "q", None),
        ("a control character", "/v1/times", {"city": "Lon\ndon"}, "city", None),
        ("a value too long", "/v1/times", {"city": "x" * 1200}, "city", None),
        ("a bad moment", "/v1/next", {"city": "London", "at": "noon"}, "at", None),
        ("an unknown calendar", "/v1/hijri", {"city": "London", "calendar": "lunar"}, "calendar", None),
    ]
    for what, path, params, parameter, mention in cases:
        status, headers, body = server.get(path, params)
        try:
            error = json.loads(body)
        except ValueError:
            error = {}
        if status != 400 or "error" not in error:
            fail("%s: status %d, body %r" % (what, status, body[:200]))
            continue
        if error.get("parameter") != parameter:
            fail("%s: parameter %r, not %r (%s)" % (what, error.get("parameter"), parameter, error["error"]))
        if not error["error"].startswith(parameter) and parameter not in error["error"]:
            fail("%s: the message does not name %s: %r" % (what, parameter, error["error"]))
        if mention and mention not in error["error"]:
            fail("%s: the message does not say %r: %r" % (what, mention, error["error"]))
        if headers.get("access-control-allow-origin") != "*" or not headers.get("content-type", "").startswith(
                "application/json"):
            fail("%s: headers %r" % (what, headers))
    # Two periods at once, and a parameter given twice.
    for target, parameter in (("/v1/times?city=London&date=2024-01-01&month=2024-01", None),
                              ("/v1/times?lat=1&lat=2&lon=0&tz=0", "lat")):
        status, _, body = server.request("GET", target)
        if status != 400 or json.loads(body).get("parameter") != parameter:
            fail("%s: %d %r" % (target, status, body))
    # Unknown paths, other methods, a target too long.
    for path in ("/v1/nothing", "/v2/times", "/v1/times/", "/v1", "/etc/passwd", "/../../etc/passwd"):
        status, headers, body = server.request("GET", path)
        if status != 404 or "error" not in json.loads(body or b"{}"):
            fail("GET %s: %d %r" % (path, status, body[:100]))
    for method in ("POST", "PUT", "DELETE", "PATCH", "OPTIONS"):
        status, headers, body = server.request(method, "/v1/times?city=London")
        if status != 405 or headers.get("allow") != "GET, HEAD":
            fail("%s: %d, Allow %r" % (method, status, headers.get("allow")))
    status, _, _ = server.request("GET", "/v1/times?city=" + "x" * 20000)
    if status not in (400, 414):
        fail("a 20 kB target: status %d" % status)
    return len(cases) + 14


def check_http(server):
    checked = 0
    params = {"city": "London", "date": "2024-03-31"}
    status, headers, body = server.get("/v1/times", params)
    tag = headers.get("etag", "")
    if not re.fullmatch(r'"[0-9a-f]{16}"', tag):
        fail("ETag %r" % tag)
    if "max-age=86400" not in headers.get("cache-control", ""):
        fail("a dated answer's Cache-Control: %r" % headers.get("cache-control"))
    # HEAD: the same headers, no body.
    head_status, head_headers, head_body = server.request("HEAD", "/v1/times?" + urllib.parse.urlencode(params))
    if head_status != 200 or head_body or head_headers.get("etag") != tag or \
            int(head_headers.get("content-length", -1)) != len(body):
        fail("HEAD: %d, %d bytes, ETag %r, length %r" % (head_status, len(head_body), head_headers.get("etag"),
                                                       head_headers.get("content-length")))
    # 304 for the tag the client has, 200 for another.
    status304, headers304, body304 = server.get("/v1/times", params, {"If-None-Match": tag})
    if status304 != 304 or body304:
        fail("If-None-Match with the ETag: %d, %d bytes" % (status304, len(body304)))
    status200, _, _ = server.get("/v1/times", params, {"If-None-Match": '"0000000000000000"'})
    if status200 != 200:
        fail("If-None-Match with another tag: %d" % status200)
    # Another setting, another tag; the same request, the same tag.
    _, other, _ = server.get("/v1/times", dict(params, method="ISNA"))
    _, again, _ = server.get("/v1/times", params)
    if other.get("etag") == tag or again.get("etag") != tag:
        fail("ETags: %r for ISNA, %r again, %r first" % (other.get("etag"), again.get("etag"), tag))
    # What depends on the moment is not kept.
    _, now_headers, _ = server.get("/v1/next", {"city": "London"})
    if "no-cache" not in now_headers.get("cache-control", ""):
        fail("/v1/next's Cache-Control: %r" % now_headers.get("cache-control"))
    # The page and its files, with a policy and no outside resources.
    for path, kind in (("/", "text/html"), ("/app.js", "text/javascript"), ("/style.css", "text/css")):
        status, headers, body = server.request("GET", path)
        if status != 200 or not headers.get("content-type", "").startswith(kind):
            fail("%s: %d %r" % (path, status, headers.get("content-type")))
        if "default-src 'self'" not in headers.get("content-security-policy", ""):
            fail("%s: no Content-Security-Policy" % path)
        if re.search(rb"(src|href)\s*=\s*[\"']?(https?:)?//", body) or re.search(rb"url\(\s*[\"']?(https?:)?//", body):
            fail("%s refers to another host" % path)
        checked += 1
    return checked + 8


def check_openapi(server):
    status, _, body = server.get("/v1/openapi.json")
    doc = json.loads(body)
    if status != 200 or not doc.get("openapi", "").startswith("3."):
        fail("openapi.json: %d %r" % (status, doc.get("openapi")))
        return 0
    required = {"/v1/civil": {"hijri": "1445-09-01"}, "/v1/places": {"q": "London"}}
    checked = 0
    for path, item in doc["paths"].items():
        params = dict(required.get(path, {}))
        if any(p["name"] == "city" for p in item["get"]["parameters"]):
            params["city"] = "London"
        status, _, body = server.get(path, params)
        if status != 200:
            fail("%s (listed in openapi.json): %d %r" % (path, status, body[:200]))
        # Each listed parameter is taken: a bad value is refused as that
        # parameter's, never as an unknown one.
        for p in item["get"]["parameters"]:
            status, _, body = server.get(path, dict(params, **{p["name"]: "\x01"}))
            error = json.loads(body) if status == 400 else {}
            if status != 400 or error.get("parameter") != p["name"] or "unknown parameter" in error.get("error", ""):
                fail("%s: parameter %s is listed but answered %d %r" % (path, p["name"], status, body[:120]))
            checked += 1
        # A parameter not listed is refused.
        status, _, body = server.get(path, dict(params, notlisted="1"))
        if path not in ("/healthz", "/v1/openapi.json") and status != 400:
            fail("%s: an unlisted parameter answered %d" % (path, status))
    served = {"/v1/times", "/v1/times.ics", "/v1/times.csv", "/v1/next", "/v1/hijri", "/v1/civil", "/v1/qibla",
              "/v1/moon", "/v1/crescent", "/v1/events", "/v1/methods", "/v1/places", "/v1/openapi.json", "/healthz"}
    if set(doc["paths"]) != served:
        fail("openapi.json lists %s; served: %s" % (sorted(doc["paths"]), sorted(served)))
    for path in doc["paths"]:
        for wrong in (path + "x", path.upper(), path + "/"):
            if wrong in doc["paths"]:
                continue
            status, _, _ = server.get(wrong)
            if status != 404:
                fail("%s (not listed) answered %d" % (wrong, status))
    return checked


def check_concurrency(server):
    requests = [("/v1/times", {"city": city, "date": "2024-%02d-%02d" % (1 + i % 12, 1 + i % 28)})
                for i, city in enumerate(["London", "Makkah", "Jakarta", "Tromsø", "Sydney", "Cairo", "Toronto",
                                          "Karachi"] * 8)]
    requests += [("/v1/hijri", {"city": "Makkah", "date": "2024-%02d-10" % (1 + i % 12), "calendar": "umm-al-qura"})
                 for i in range(16)]
    alone = [server.get(path, params) for path, params in requests]
    with concurrent.futures.ThreadPoolExecutor(max_workers=16) as pool:
        together = list(pool.map(lambda r: server.get(*r), requests))
    for (path, params), a, t in zip(requests, alone, together):
        if a[0] != 200 or t[0] != 200 or a[2] != t[2]:
            fail("%s %r: one at a time %d, sixteen at once %d, bodies %s" % (path, params, a[0], t[0],
                                                                             "equal" if a[2] == t[2] else "differ"))
    return len(requests)


def hostile_corpus(count):
    """Query strings and paths that try to break the parameter handling."""
    rng = random.Random(20261208)
    names = ["city", "lat", "lon", "tz", "date", "month", "year", "from", "to", "method", "fajr", "adjust",
             "calendar", "region", "criterion", "hijri", "q", "at", "events", "remind", "height", "encoding",
             "help", "format", "map", "", "=", "%00", "city%00"]
    values = ["", "-", "--help", "--format=text", "--map=/tmp/x.svg", "1e308", "-1e308", "nan", "inf", "0x10",
              "99999999999999999999", "2024-02-30", "-5000-01-01", "9999-12-31", "1-1-1", "Europe/../../etc/passwd",
              "%", "%zz", "%C0%AF", "%FF%FE", "%ED%A0%80", "a" * 3000, "London;Paris;" * 20, "world", "yallop+danjon",
              "fajr=1e9", "dhuhr=", "\u202e", "😀", "1445-02-31", "0000-00-00", "1,2", "x=y&z"]
    paths = ["/v1/times", "/v1/times.ics", "/v1/times.csv", "/v1/next", "/v1/hijri", "/v1/civil", "/v1/qibla",
             "/v1/moon", "/v1/crescent", "/v1/events", "/v1/places", "/v1/methods", "/healthz", "/v1/%2e%2e/x",
             "/%00", "//v1//times"]
    corpus = []
    for _ in range(count):
        path = rng.choice(paths)
        parts = []
        for _ in range(rng.randint(0, 6)):
            name = rng.choice(names)
            if rng.random() < 0.3:
                value = "".join("%%%02X" % rng.randrange(256) for _ in range(rng.randint(1, 12)))
            else:
                value = urllib.parse.quote(rng.choice(values), safe="%=&")
            parts.append("%s=%s" % (name, value))
        if rng.random() < 0.5 and path not in ("/v1/methods", "/healthz"):
            parts.append("city=London" if rng.random() < 0.5 else "lat=21.4&lon=39.8&tz=Asia/Riyadh")
        rng.shuffle(parts)
        corpus.append(path + ("?" + "&".join(parts) if parts else ""))
    return corpus


def check_hostile(server):
    corpus = hostile_corpus(600)
    outcome = {}
    for target in corpus:
        try:
            status, headers, body = server.request("GET", target)
        except (OSError, http.client.HTTPException) as e:
            fail("GET %s: %s" % (target[:200], e))
            break
        outcome[status] = outcome.get(status, 0) + 1
        if status >= 500:
            fail("GET %s: %d %r" % (target[:200], status, body[:200]))
        elif status != 200:
            try:
                error = json.loads(body)
            except ValueError:
                error = None
            if not isinstance(error, dict) or "error" not in error:
                fail("GET %s: %d without a JSON error: %r" % (target[:200], status, body[:200]))
    status, _, _ = server.get("/healthz")
    if status != 200:
        fail("the server does not answer after the corpus")
    print("hostile corpus: %d requests, statuses %s" % (len(corpus), dict(sorted(outcome.items()))))
    return len(corpus)


def main():
    compared = 0
    server = Server()
    try:
        compared += check_endpoints(server)
        compared += check_errors(server)
        compared += check_http(server)
        compared += check_openapi(server)
        compared += check_concurrency(server)
        compared += check_hostile(server)
    finally:
        status, log = server.stop(signal.SIGTERM)
    if status != 0 or "stopped" not in log:
        fail("SIGTERM: exit %r, log ends %r" % (status, log[-200:]))
    lines = [line for line in log.splitlines() if re.match(r'^127\.0\.0\.1 - - \[[^]]+\] "[A-Z]+ \S+ HTTP/1\.[01]" \d{3} \d+ [\d.]+ ms$', line)]
    # The 20 kB target is refused before it is routed: logged or not, the
    # other requests are one line each.
    if not REQUESTS[0] - 1 <= len(lines) <= REQUESTS[0]:
        fail("%d access-log lines for %d requests" % (len(lines), REQUESTS[0]))
    # SIGINT stops it as well, also while idle with keep-alive clients gone.
    quiet = Server("--quiet")
    quiet.get("/healthz")
    status, log = quiet.stop(signal.SIGINT)
    if status != 0 or '"GET /healthz' in log:
        fail("SIGINT (--quiet): exit %r, log %r" % (status, log[-200:]))
    if FAILURES:
        print("%d failures" % len(FAILURES))
        sys.exit(1)
    print("ok: %d answers and checks over HTTP, %d requests logged, clean stops on SIGTERM and SIGINT"
          % (compared, len(lines)))


if __name__ == "__main__":
    main()
