#!/usr/bin/env python3
"""Browser test of the page that `vorlin serve` serves at /.

Usage: check_page.py VORLIN_PROGRAM OUTPUT_DIR [PAGE_DIR]

Starts `VORLIN_PROGRAM serve --port 0 --quiet` on loopback (with
--page-dir PAGE_DIR when given, else the page built into the program),
drives headless Chromium through Selenium, and compares what the page
shows with the service's own JSON answers for the same requests: today's
times, the month's table, the Hijri date, the qibla, the current prayer.
It also checks a search that matches nothing, a place the service does not
know, the browser's console (no errors, no Content-Security-Policy
violations) and the print layout, and saves a screenshot as
OUTPUT_DIR/page.png.  Exits 0 when all is well, 1 with FAIL lines
otherwise; prints "test skipped: ..." and exits 0 when Chromium, its
driver or the selenium module is missing.
"""

import calendar
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.parse
import urllib.request
from decimal import ROUND_HALF_UP, Decimal

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
SYSTEM_PYTHON = "/usr/bin/python3"
WAIT = 30  # seconds, for any one thing the page must do

try:
    from selenium import webdriver
    from selenium.common.exceptions import TimeoutException, WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    # The Debian package installs selenium for the system's Python; another
    # python3 first on PATH (a version manager's) may not have it.
    if (os.path.exists(SYSTEM_PYTHON) and os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON)
            and not os.environ.get("VORLIN_PAGE_TEST_REEXEC")):
        os.environ["VORLIN_PAGE_TEST_REEXEC"] = "1"
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    print("test skipped: the Python module selenium is missing (Debian: python3-selenium)")
    sys.exit(0)

EVENTS_TODAY = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha", "midnight"]
EVENTS_REQUIRED = ["fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"]
EVENTS_MONTH = ["fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"]

# Record Content-Security-Policy violations from the very start of each document.
CSP_WATCH = """
window.__cspViolations = [];
document.addEventListener('securitypolicyviolation', function (e) {
  window.__cspViolations.push(e.violatedDirective + ' ' + e.blockedURI);
});
"""


class Checker:
    def __init__(self):
        self.failures = []
        self.compared = 0

    def equal(self, what, shown, expected):
        self.compared += 1
        if shown != expected:
            self.failures.append(f"{what}: page shows {shown!r}, the API says {expected!r}")
            print(f"FAIL {what}: page shows {shown!r}, the API says {expected!r}")
            return False
        return True

    def true(self, what, condition, detail=""):
        self.compared += 1
        if not condition:
            self.failures.append(what)
            print(f"FAIL {what}" + (f": {detail}" if detail else ""))
            return False
        return True


def start_server(program, page_dir):
    command = [program, "serve", "--host", "127.0.0.1", "--port", "0", "--quiet"]
    if page_dir:
        command += ["--page-dir", page_dir]
    try:
        server = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.PIPE, text=True)
    except OSError as e:
        print(f"FAIL cannot start {program}: {e}")
        sys.exit(1)
    found = {}
    ready = threading.Event()

    def read_stderr():
        for line in server.stderr:
            m = re.search(r"listening on http://([0-9.]+):(\d+)/", line)
            if m and not ready.is_set():
                found["base"] = f"http://{m.group(1)}:{m.group(2)}"
                ready.set()
        ready.set()

    threading.Thread(target=read_stderr, daemon=True).start()
    if not ready.wait(15) or "base" not in found:
        server.kill()
        server.wait()
        print("FAIL the server did not say where it listens")
        sys.exit(1)
    return server, found["base"]


def stop_server(server, check):
    server.send_signal(signal.SIGTERM)
    try:
        code = server.wait(10)
    except subprocess.TimeoutExpired:
        server.kill()
        server.wait()
        check.true("the server stops on SIGTERM", False, "still running 10 s after SIGTERM")
        return
    check.true("the server exits 0 on SIGTERM", code == 0, f"exit status {code}")


def get_json(base, path, **params):
    url = f"{base}/v1/{path}?{urllib.parse.urlencode(params)}"
    try:
        with urllib.request.urlopen(url, timeout=10) as response:
            return json.load(response)
    except urllib.error.HTTPError as e:
        return json.load(e)


def make_driver(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                f"--user-data-dir={profile}", "--window-size=1280,1600", "--lang=en-GB",
                "--no-first-run", "--no-default-browser-check", "--disable-extensions",
                "--disable-background-networking", "--disable-component-update", "--disable-sync"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER), options=options)
    driver.set_page_load_timeout(WAIT)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": CSP_WATCH})
    return driver


def wait_for(driver, what, condition, timeout=WAIT):
    try:
        return WebDriverWait(driver, timeout, poll_frequency=0.1).until(lambda d: condition(d))
    except TimeoutException:
        state = driver.execute_script("return document.body && document.body.dataset.state")
        error = driver.execute_script("var e = document.getElementById('error'); return e ? e.textContent : ''")
        print(f"FAIL timed out after {timeout} s waiting for {what} (page state {state!r}, error box {error!r})")
        raise


def console_problems(driver, allow=()):
    problems = []
    for entry in driver.get_log("browser"):
        message = entry.get("message", "")
        if any(a in message for a in allow):
            continue
        if entry.get("level") == "SEVERE" or "Content Security Policy" in message:
            problems.append(message)
    problems += [f"CSP violation: {v}" for v in driver.execute_script("return window.__cspViolations || []")]
    return problems


def qibla_text(degrees):
    # the page's Number.toFixed(1): the binary value rounded, halves away from zero
    return str(Decimal(degrees).quantize(Decimal("0.1"), rounding=ROUND_HALF_UP))


def check_today(driver, check, base, city_param):
    today = driver.find_element(By.TAG_NAME, "body").get_attribute("data-today")
    answer = get_json(base, "times", city=city_param, date=today)
    check.true("the API answers for today", "days" in answer, json.dumps(answer)[:200])
    if "days" not in answer:
        return today
    day = answer["days"][0]
    check.equal("today's date", today, day["date"])
    items = driver.find_elements(By.CSS_SELECTOR, "#today-times [data-event]")
    shown = {i.get_attribute("data-event"): i for i in items}
    check.true("today's times include Fajr, Sunrise, Dhuhr, Asr, Maghrib and Isha'a",
               all(e in shown for e in EVENTS_REQUIRED), f"shown: {sorted(shown)}")
    check.true("each of today's times is shown once", len(shown) == len(items))
    for event, item in shown.items():
        check.true(f"today's {event} is a known event", event in EVENTS_TODAY)
        local = day["times"].get(event)
        check.equal(f"today's {event} (data-local)", item.get_attribute("data-local"), local or "")
        text = item.find_element(By.CSS_SELECTOR, "time").text.strip()
        check.equal(f"today's {event} (shown)", text, local[11:16] if local else "—")
    return today


def check_month(driver, check, base, city_param, today):
    month = today[:7]
    answer = get_json(base, "times", city=city_param, month=month)
    year, mon = int(month[:4]), int(month[5:7])
    rows = driver.find_elements(By.CSS_SELECTOR, "#month-body tr[data-date]")
    days = calendar.monthrange(year, mon)[1]
    check.true("rows in the month's table", len(rows) == days, f"{len(rows)} rows, {month} has {days} days")
    check.true("days in the API's month", len(answer["days"]) == days, f"{len(answer['days'])} days, {month} has {days}")
    # read the whole table in one call: one round trip instead of hundreds
    table = driver.execute_script("""
        return Array.from(document.querySelectorAll('#month-body tr[data-date]')).map(function (tr) {
          return {date: tr.dataset.date, today: tr.classList.contains('today-row'),
                  hijri: (tr.querySelector('[data-hijri]') || {}).dataset ? tr.querySelector('[data-hijri]').dataset.hijri : null,
                  cells: Array.from(tr.querySelectorAll('[data-event]')).map(function (td) {
                    return [td.dataset.event, td.dataset.local, td.textContent.trim()];
                  })};
        });""")
    for row, day in zip(table, answer["days"]):
        check.equal("a row's date", row["date"], day["date"])
        check.equal(f"{day['date']}: Hijri date", row["hijri"], day["hijri"]["date"])
        cells = {c[0]: c for c in row["cells"]}
        check.equal(f"{day['date']}: columns", sorted(cells), sorted(EVENTS_MONTH))
        for event in EVENTS_MONTH:
            local = day["times"].get(event)
            if event not in cells:
                continue
            check.equal(f"{day['date']} {event} (data-local)", cells[event][1], local or "")
            check.equal(f"{day['date']} {event} (shown)", cells[event][2], local[11:16] if local else "—")
    highlighted = [r["date"] for r in table if r["today"]]
    check.equal("the highlighted row", highlighted, [today])


def check_hijri(driver, check, base, city_param, today):
    answer = get_json(base, "hijri", city=city_param, date=today)
    h = answer["hijri"]
    node = driver.find_element(By.ID, "hijri")
    check.equal("the Hijri date (data-hijri)", node.get_attribute("data-hijri"),
                f"{h['year']:04d}-{h['month']:02d}-{h['day']:02d}")
    check.true("the Hijri date (shown)", f"{h['day']} {h['monthName']} {h['year']}" in node.text,
               f"shown {node.text!r}, the API says {h['day']} {h['monthName']} {h['year']}")
    check.equal("the Gregorian date (data-date)", driver.find_element(By.ID, "gregorian").get_attribute("data-date"),
                answer["civil"])


def check_qibla(driver, check, base, city_param, today):
    answer = get_json(base, "qibla", city=city_param, date=today)
    expected = qibla_text(answer["direction"])
    node = driver.find_element(By.ID, "qibla-degrees")
    check.equal("the qibla (data-degrees)", node.get_attribute("data-degrees"), expected)
    check.equal("the qibla (shown)", node.text.strip(), expected + "°")
    needle = driver.find_element(By.CSS_SELECTOR, "#compass .needle").get_attribute("transform") or ""
    m = re.search(r"rotate\(([-0-9.]+)", needle)
    check.true("the compass needle points at the qibla",
               m is not None and abs(float(m.group(1)) - answer["direction"]) < 0.01, f"transform {needle!r}")
    letters = sorted(t.text for t in driver.find_elements(By.CSS_SELECTOR, "#compass text"))
    check.equal("the compass rose's letters", letters, ["E", "N", "S", "W"])


def check_current(driver, check, base, city_param):
    # The current prayer may change between the page's request and ours:
    # then the page's countdown reaches zero and it asks again; so try twice.
    for attempt in range(2):
        answer = get_json(base, "next", city=city_param)
        marked = driver.execute_script(
            "return Array.from(document.querySelectorAll('#today-times [data-current]')).map(e => e.dataset.event)")
        if marked == [answer["current"]["name"]] or attempt == 1:
            break
        time.sleep(3)
    check.equal("the prayers marked current", marked, [answer["current"]["name"]])
    check.equal("the next prayer", driver.find_element(By.ID, "next-name").get_attribute("data-event"),
                answer["next"]["name"])
    check.equal("the next prayer's time", driver.find_element(By.ID, "next-time").text.strip(),
                answer["next"]["time"][11:16])
    # the countdown runs: H:MM:SS, within a few seconds of the API's, and it changes
    first = driver.find_element(By.ID, "countdown").text.strip()
    m = re.fullmatch(r"(\d+):(\d\d):(\d\d)", first)
    if check.true("the countdown reads H:MM:SS", m is not None, f"{first!r}"):
        left = int(m.group(1)) * 3600 + int(m.group(2)) * 60 + int(m.group(3))
        check.true("the countdown agrees with the API", abs(left - answer["next"]["inSeconds"]) <= 5,
                   f"page {left} s, API {answer['next']['inSeconds']} s")
    try:
        WebDriverWait(driver, 4, poll_frequency=0.1).until(
            lambda d: d.find_element(By.ID, "countdown").text.strip() != first)
        ticking = True
    except TimeoutException:
        ticking = False
    check.true("the countdown ticks", ticking, f"still {first!r} after 4 s")


def check_moon(driver, check):
    lit = driver.find_element(By.CSS_SELECTOR, "#moon .moon-lit")
    check.true("the Moon is drawn", bool(lit.get_attribute("d")))
    percent = driver.find_element(By.ID, "moon-percent")
    fraction = float(driver.find_element(By.ID, "moon").get_attribute("data-illuminated"))
    check.equal("the Moon's illuminated percentage", percent.text.strip(), f"{round(fraction * 100)}%")


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip().splitlines()[2])
        return 2
    program, out_dir = sys.argv[1], sys.argv[2]
    page_dir = sys.argv[3] if len(sys.argv) == 4 else None
    for path, what in ((CHROMIUM, "Chromium"), (CHROMEDRIVER, "chromedriver")):
        if not os.path.exists(path):
            print(f"test skipped: {what} is missing ({path}; Debian: chromium, chromium-driver)")
            return 0
    os.makedirs(out_dir, exist_ok=True)
    started = time.monotonic()
    check = Checker()
    server, base = start_server(program, page_dir)
    driver = None
    profile = tempfile.TemporaryDirectory(prefix="vorlin-page-")
    try:
        driver = make_driver(profile.name)

        # 1. a fresh browser: nothing remembered, the search is there
        driver.get(base + "/")
        wait_for(driver, "the page to start", lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-state") == "idle")
        box = driver.find_element(By.ID, "search")
        box.send_keys("London")
        wait_for(driver, "the matches for London", lambda d: d.find_elements(By.CSS_SELECTOR, "#matches [role=option]"))
        places = get_json(base, "places", q="London")["places"]
        options = driver.find_elements(By.CSS_SELECTOR, "#matches [role=option]")
        check.equal("the number of matches", len(options), len(places))
        labels = [o.get_attribute("data-label") for o in options]
        expected_labels = [", ".join(x for x in (p["name"], p["region"], p["country"]) if x)
                           for p in sorted(places, key=lambda p: -(p["population"] or 0))]
        check.equal("the matches, most populous first", labels, expected_labels)
        check.equal("the first match", labels[0] if labels else None, "London, England, GB")
        options[0].click()
        wait_for(driver, "the place to load", lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-state") == "ready")
        city = driver.find_element(By.TAG_NAME, "body").get_attribute("data-city")
        check.equal("the chosen place", city, "London, England, GB")
        query = urllib.parse.parse_qs(urllib.parse.urlparse(driver.current_url).query)
        check.equal("the place in the URL", query.get("city"), [city])
        check.equal("the place remembered", driver.execute_script("return localStorage.getItem('vorlin.city')"), city)
        check.true("the credit line", "Place data: GeoNames, geonames.org (CC BY 4.0)" in driver.find_element(By.TAG_NAME, "footer").text)

        # 2. what it shows is what the API says, asked as the test's brief puts it: city=London
        today = check_today(driver, check, base, "London")
        check_month(driver, check, base, "London", today)
        check_hijri(driver, check, base, "London", today)
        check_qibla(driver, check, base, "London", today)
        check_current(driver, check, base, "London")
        check_moon(driver, check)
        check.true("no error is shown", not driver.find_element(By.ID, "error").is_displayed())

        driver.save_screenshot(os.path.join(out_dir, "page.png"))

        # 3. print: the table without the search and the widgets
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        check.true("print hides the search", not driver.find_element(By.ID, "search").is_displayed())
        check.true("print hides the qibla", not driver.find_element(By.ID, "compass").is_displayed())
        check.true("print shows the table", driver.find_element(By.ID, "month-table").is_displayed())
        check.true("print shows the month's heading", driver.find_element(By.ID, "month-title").is_displayed()
                   and "London" in driver.find_element(By.ID, "month-title").text)
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})

        # 4. a search for nothing known: a "no match" state, the page still whole
        box = driver.find_element(By.ID, "search")
        box.send_keys("Qxzzywv")
        wait_for(driver, "the no-match state", lambda d: d.find_element(By.ID, "search-status").get_attribute("data-result") == "none")
        check.true("no match: no list", not driver.find_elements(By.CSS_SELECTOR, "#matches [role=option]"))
        check.true("no match: said so", "Qxzzywv" in driver.find_element(By.ID, "search-status").text)
        check.equal("no match: the page stays ready", driver.find_element(By.TAG_NAME, "body").get_attribute("data-state"), "ready")
        check.equal("no match: today's times stay",
                    len(driver.find_elements(By.CSS_SELECTOR, "#today-times [data-event]")) >= len(EVENTS_REQUIRED), True)

        problems = console_problems(driver)
        check.true("the browser's console has no errors", not problems, "; ".join(problems))

        # 5. a bookmarked place the service does not know: its error is shown
        bad = "Qxzzywv"
        expected_error = get_json(base, "times", city=bad).get("error")
        check.true("the API refuses an unknown place", bool(expected_error))
        driver.get(base + "/?" + urllib.parse.urlencode({"city": bad}))
        wait_for(driver, "the error state", lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-state") == "error")
        error = driver.find_element(By.ID, "error")
        check.true("the error box is shown", error.is_displayed())
        check.equal("the error text", error.text.strip(), expected_error)
        check.true("the search still works after an error", driver.find_element(By.ID, "search").is_enabled())
        # the failed request itself is logged by the browser; nothing else may be
        problems = console_problems(driver, allow=("status of 400",))
        check.true("no other console errors after the error", not problems, "; ".join(problems))

        # 6. the bookmark form ?city=London loads by itself
        driver.get(base + "/?city=London")
        wait_for(driver, "?city=London to load", lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-state") == "ready")
        items = driver.find_elements(By.CSS_SELECTOR, "#today-times [data-event='fajr']")
        fajr = get_json(base, "times", city="London", date=today)["days"][0]["times"]["fajr"]
        check.equal("?city=London: Fajr", items[0].get_attribute("data-local") if items else None, fajr)
        problems = console_problems(driver)
        check.true("?city=London: the browser's console has no errors", not problems, "; ".join(problems))
    except (TimeoutException, WebDriverException) as e:
        check.true("the browser session", False, (getattr(e, "msg", None) or type(e).__name__).splitlines()[0])
    finally:
        if driver is not None:
            try:
                driver.quit()
            except WebDriverException:
                pass
        stop_server(server, check)
        profile.cleanup()

    elapsed = time.monotonic() - started
    if check.failures:
        print(f"page check: {len(check.failures)} of {check.compared} checks failed ({elapsed:.1f} s)")
        return 1
    print(f"page check: {check.compared} values compared, all equal to the API's ({elapsed:.1f} s); "
          f"screenshot {os.path.join(out_dir, 'page.png')}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
