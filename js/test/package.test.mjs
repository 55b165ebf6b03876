// The installed package against the CLI's JSON for the same requests (to
// the second), and invariants of its answers.  Run by js/test/run.sh in a
// scratch project where `vorlin` is the packed tarball, installed offline.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import * as vorlin from "vorlin";

const CLI = process.env.VORLIN_CLI;
assert.ok(CLI, "VORLIN_CLI names the vorlin program");
await vorlin.init();

function cli(...args) {
  return JSON.parse(execFileSync(CLI, args, { encoding: "utf8" }));
}

function placeArgs(p) {
  return ["--lat", String(p.latitude), "--lon", String(p.longitude), "--height", String(p.height ?? 0),
    "--tz", String(p.timeZone)];
}

const london = { latitude: 51.5074, longitude: -0.1278, timeZone: "Europe/London" };
const tromso = { latitude: 69.6492, longitude: 18.9553, height: 10, timeZone: "Europe/Oslo" };
const makkah = { latitude: 21.4225, longitude: 39.8262, height: 300, timeZone: "Asia/Riyadh" };
const newYork = { latitude: 40.7128, longitude: -74.006, height: 10, timeZone: "America/New_York" };
const sydney = { latitude: -33.8688, longitude: 151.2093, height: 20, timeZone: "Australia/Sydney" };

const CLI_EVENTS = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "sunset", "maghrib", "isha", "midnight",
  "lastThird"];

// Every day of the range: the same instants, local texts, offsets, missing
// reasons and fillers as `vorlin times --format json`.
function sameAsCli(place, from, to, options, cliFlags) {
  const expected = cli("times", "--format", "json", ...placeArgs(place), "--from", from, "--to", to,
    ...cliFlags);
  const days = vorlin.times([from, to], place, options);
  assert.equal(days.length, expected.days.length);
  let compared = 0;
  days.forEach((day, i) => {
    const want = expected.days[i];
    assert.equal(day.date, want.date);
    assert.equal(day.utcOffset, want.utcOffset, `${day.date} offset`);
    assert.equal(day.summerTime, want.summerTime, `${day.date} summer time`);
    for (const name of CLI_EVENTS) {
      const got = day[name], text = want.times[name];
      if (text === null) {
        assert.equal(got.time, null, `${day.date} ${name} missing`);
        assert.equal(got.reason, want.missing[name], `${day.date} ${name} reason`);
        continue;
      }
      assert.equal(got.local, text, `${day.date} ${name}`);
      assert.equal(Math.round(got.time.getTime() / 1000), Date.parse(text) / 1000, `${day.date} ${name} instant`);
      assert.equal(got.filled, name in want.filled, `${day.date} ${name} filled`);
      if (got.filled) assert.equal(got.reason, want.filled[name]);
      ++compared;
    }
  });
  return { days, compared };
}

test("London across the change to summer time (2024-03-31), MWL", () => {
  const { days, compared } = sameAsCli(london, "2024-03-28", "2024-04-03", { method: "MWL" }, ["--method", "MWL"]);
  assert.ok(compared >= 60);
  assert.deepEqual(days.map((d) => d.utcOffset), ["+00:00", "+00:00", "+00:00", "+01:00", "+01:00", "+01:00", "+01:00"]);
  // The single day is the same as the day within the range.
  const one = vorlin.times("2024-03-31", london, { method: "MWL" });
  assert.equal(one.fajr.time.getTime(), days[3].fajr.time.getTime());
  assert.equal(one.fajr.local, "2024-03-31T05:02:20+01:00");
});

test("Tromso in the polar day (2024-06-21): no sunrise, sunset, Fajr or Isha'a", () => {
  const { days } = sameAsCli(tromso, "2024-06-20", "2024-06-22", {}, []);
  for (const day of days) {
    for (const name of ["fajr", "sunrise", "sunset", "maghrib", "isha"]) {
      assert.equal(day[name].time, null);
      assert.equal(day[name].reason, "always above");
    }
    assert.ok(day.dhuhr.time instanceof Date);
  }
});

test("Makkah in Ramadan, Umm al-Qura: Isha'a 120 minutes after Maghrib in Ramadan, 90 outside", () => {
  const { days } = sameAsCli(makkah, "2024-03-08", "2024-03-14", { method: "UmmAlQura" },
    ["--method", "UmmAlQura"]);
  let ramadan = 0;
  for (const day of days) {
    const minutes = (day.isha.time - day.maghrib.time) / 60000;
    assert.ok(Math.abs(minutes - (day.ramadan ? 120 : 90)) < 0.01, `${day.date}: ${minutes}`);
    ramadan += day.ramadan;
  }
  assert.ok(ramadan >= 2 && ramadan <= 5, `${ramadan} days of Ramadan`);
});

test("a fixed offset in hours (Jakarta, UTC+7), KEMENAG", () => {
  const jakarta = { latitude: -6.2088, longitude: 106.8456, height: 8, timeZone: 7 };
  const { days } = sameAsCli(jakarta, "2024-12-30", "2025-01-02", { method: "KEMENAG" }, ["--method", "KEMENAG"]);
  assert.ok(days.every((d) => d.utcOffset === "+07:00" && !d.summerTime));
});

test("New York across the end of summer time (2024-11-03), ISNA, Hanafi Asr", () => {
  sameAsCli(newYork, "2024-11-01", "2024-11-05", { method: "ISNA", asrFactor: 2 },
    ["--method", "ISNA", "--asr", "hanafi"]);
});

test("Sydney across the end of summer time (2024-04-07), settings changed", () => {
  const options = { method: "Egypt", fajrAngle: 18.5, ishaMinutes: 80, adjust: { dhuhr: 2 }, rounding: "up",
    highLatitude: "none" };
  sameAsCli(sydney, "2024-04-05", "2024-04-09", options, ["--method", "Egypt", "--fajr", "18.5",
    "--isha-minutes", "80", "--adjust", "dhuhr=2", "--rounding", "up", "--high-latitude-rule", "none"]);
});

test("a year of London times keeps the order of the day", () => {
  const days = vorlin.times(["2024-01-01", "2024-12-31"], london);
  assert.equal(days.length, 366);
  const order = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "sunset", "isha", "midnight", "lastThird"];
  for (const day of days) {
    const instants = order.map((name) => day[name].time.getTime());
    for (let i = 1; i < instants.length; ++i) assert.ok(instants[i] > instants[i - 1], `${day.date} ${order[i]}`);
    assert.ok(day.maghrib.time >= day.sunset.time);
  }
  assert.equal(days.filter((d) => d.summerTime).length, 210);
});

test("Hijri round trips in two calendars equal `vorlin hijri`", () => {
  const calendars = [{ options: {}, flags: [] },
    { options: { calendar: "umm-al-qura" }, flags: ["--calendar", "umm-al-qura"] }];
  let converted = 0;
  for (const place of [makkah, london]) {
    for (const { options, flags } of calendars) {
      for (const date of ["2024-03-10", "2024-03-11", "2024-03-12", "2024-04-09", "2024-04-10", "2025-06-26"]) {
        const want = cli("hijri", date, "--format", "json", ...placeArgs(place), ...flags);
        const got = vorlin.toHijri(date, place, options);
        assert.deepEqual(got, want.hijri, `${date} ${JSON.stringify(options)}`);
        const back = cli("hijri", "--to-civil", `${got.year}-${got.month}-${got.day}`, "--format", "json",
          ...placeArgs(place), ...flags);
        assert.equal(vorlin.toCivil(got, place, options), date);
        assert.equal(back.civil, date);
        ++converted;
      }
    }
  }
  assert.equal(converted, 24);
  // The two calendars differ on this day at Makkah: the test tells them apart.
  assert.notDeepEqual(vorlin.toHijri("2024-03-11", makkah), vorlin.toHijri("2024-03-11", makkah, { calendar: "umm-al-qura" }));
});

test("a day the place's calendar does not have, and a date before the era", () => {
  // Sha'ban 1445 has 29 days at Makkah in the observational calendar.
  assert.equal(vorlin.toCivil({ year: 1445, month: 8, day: 30 }, makkah), null);
  assert.equal(vorlin.toHijri("0600-01-01", makkah), null);
});

test("the evening's crescent equals `vorlin crescent`", () => {
  for (const [date, place] of [["2024-03-10", makkah], ["2024-03-11", london], ["2024-04-09", sydney]]) {
    const want = cli("crescent", date, "--format", "json", ...placeArgs(place));
    const got = vorlin.crescent(date, place);
    const second = (d) => Math.round(d.getTime() / 1000);
    assert.equal(second(got.sunset), Date.parse(want.sunset) / 1000);
    assert.equal(second(got.moonset), Date.parse(want.moonset) / 1000);
    assert.equal(second(got.bestTime), Date.parse(want.bestTime) / 1000);
    assert.equal(second(got.conjunction.geocentric), Date.parse(want.conjunction.geocentric) / 1000);
    assert.equal(second(got.conjunction.topocentric), Date.parse(want.conjunction.topocentric) / 1000);
    assert.ok(Math.abs(got.lagMinutes - want.lagMinutes) <= 0.0051, `${got.lagMinutes} ${want.lagMinutes}`);
    assert.ok(Math.abs(got.atSunset.arclTopo - want.atSunset.arclTopo) <= 0.00051);
    for (const name of ["default", "yallop", "arcv-width", "danjon"]) {
      assert.equal(got.criteria[name].zone, want.criteria[name].zone, `${date} ${name}`);
      assert.ok(Math.abs(got.criteria[name].value - want.criteria[name].value) <= 0.00051, `${date} ${name}`);
    }
  }
});

test("the qibla equals `vorlin qibla`", () => {
  for (const place of [london, newYork, sydney]) {
    const want = cli("qibla", "--format", "json", ...placeArgs(place), "--date", "2024-03-10");
    const got = vorlin.qibla(place, "2024-03-10");
    for (const key of ["direction", "distanceKm", "declination", "compass"])
      assert.ok(Math.abs(got[key] - want[key]) <= 1e-9 * Math.max(1, Math.abs(want[key])), `${key} ${got[key]} ${want[key]}`);
  }
});

test("methods() are the CLI's methods", () => {
  const lines = execFileSync(CLI, ["methods"], { encoding: "utf8" }).trim().split("\n").slice(1);
  assert.deepEqual(vorlin.methods(), lines.map((line) => line.split(/\s+/)[0]));
  assert.equal(vorlin.methods()[0], "MWL");
});

test("bad input throws VorlinError", () => {
  assert.throws(() => vorlin.times("2024-02-30", london), vorlin.VorlinError);
  assert.throws(() => vorlin.times("2024-03-01", london, { method: "Nowhere" }), /unknown "Nowhere"/);
  assert.throws(() => vorlin.times("2024-03-01", london, { fajrAngel: 18 }), /unknown setting/);
  assert.throws(() => vorlin.times(["2024-01-01", "2034-01-10"], london), /from 1 to 3660/);
  assert.throws(() => vorlin.times("2024-03-01", { ...london, latitude: 95 }), /latitude/);
  assert.throws(() => vorlin.times("2024-03-01", { ...london, timeZone: "Mars/Olympus" }), /time zone/);
  assert.throws(() => vorlin.toHijri("2024-03-01", london, { calendar: "lunar" }), /calendar/);
});

test("the package: name, version of the project, files", () => {
  const require = createRequire(import.meta.url);
  const pkg = require("vorlin/package.json");
  assert.equal(pkg.name, "vorlin");
  assert.equal(pkg.version, process.env.VORLIN_VERSION);
  assert.equal(vorlin.version, process.env.VORLIN_VERSION);
  assert.ok(process.env.VORLIN_TARBALL.endsWith(`vorlin-${pkg.version}.tgz`));
  const wasm = readFileSync(new URL("./dist/vorlin_wasm.wasm", import.meta.resolve("vorlin")));
  assert.deepEqual([...wasm.subarray(0, 4)], [0, 0x61, 0x73, 0x6d]);
});

test("the README's examples are the files the test runs, and they run", () => {
  const readme = readFileSync(process.env.VORLIN_README, "utf8");
  const section = readme.slice(readme.indexOf("\n## JavaScript"), readme.indexOf("\n## ", readme.indexOf("\n## JavaScript") + 5));
  for (const file of ["times.mjs", "calendar.mjs"]) {
    const source = readFileSync(new URL(`./examples/${file}`, import.meta.url), "utf8");
    assert.ok(section.includes(source.trim()), `README quotes examples/${file}`);
  }
  const times = execFileSync(process.execPath, ["examples/times.mjs"], { encoding: "utf8" });
  const want = cli("times", "--day", "--format", "json", ...placeArgs(london), "--date", "2024-03-31");
  for (const name of ["fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"])
    assert.match(times, new RegExp(`^${name}\\s+${want.days[0].times[name].replace(/\+/g, "\\+")}`, "m"));
  const calendar = execFileSync(process.execPath, ["examples/calendar.mjs"], { encoding: "utf8" });
  assert.match(calendar, /year: 1445, month: 9, day: 1/);
  assert.match(calendar, /2024-03-12/);
});
