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

// The Unix second of the CLI's "Y-M-DTh:m:s+hh:mm", whose dates before
// 1582-10-15 are Julian: Date.parse reads them as Gregorian, which runs
// ahead of the Julian calendar by floor(y/100) - floor(y/400) - 2 days (the
// year counted from March).
function instantOf(text) {
  const [year, month] = text.slice(0, 7).split("-").map(Number);
  let seconds = Date.parse(text) / 1000;
  if (text.slice(0, 10) < "1582-10-15") {
    const y = month <= 2 ? year - 1 : year;
    seconds += (Math.floor(y / 100) - Math.floor(y / 400) - 2) * 86400;
  }
  return seconds;
}

// Every day of the range: the same instants, local texts, offsets, missing
// reasons and fillers as `vorlin times --format json`.
function sameAsCli(place, from, to, options, cliFlags) {
  const expected = cli("times", "--format", "json", ...placeArgs(place), "--from", from, "--to", to,
    ...cliFlags);
  const all = vorlin.times([from, to], place, options);
  // The CLI's JSON leaves out a date the clock skips; the package marks it.
  const days = all.filter((day) => !day.skipped);
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
      assert.equal(Math.round(got.time.getTime() / 1000), instantOf(text), `${day.date} ${name} instant`);
      assert.equal(got.filled, name in want.filled, `${day.date} ${name} filled`);
      if (got.filled) assert.equal(got.reason, want.filled[name]);
      ++compared;
    }
  });
  return { days: all, compared };
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

test("Apia skips 2011-12-30 (from UTC-10 to UTC+14): the date marked, the days around it as the CLI", () => {
  const apia = { latitude: -13.8333, longitude: -171.7667, height: 2, timeZone: "Pacific/Apia" };
  const { days } = sameAsCli(apia, "2011-12-28", "2012-01-01", {}, []);
  assert.deepEqual(days.map((d) => [d.date, d.skipped, d.utcOffset, d.summerTime]), [
    ["2011-12-28", false, "-10:00", true], ["2011-12-29", false, "-10:00", true], ["2011-12-30", true, null, false],
    ["2011-12-31", false, "+14:00", true], ["2012-01-01", false, "+14:00", true]]);
  assert.ok(vorlin.EVENTS.every((name) => days[2][name].time === null && /skips it/.test(days[2][name].reason)));
  // The CLI's table says so on that date.
  const table = execFileSync(CLI, ["times", ...placeArgs(apia), "--from", "2011-12-29", "--to", "2011-12-31"],
    { encoding: "utf8", env: { ...process.env, LC_ALL: "C" } });
  assert.match(table, /^2011-12-30 .*not a date of the local clock: Pacific\/Apia skips it/m);
});

test("a zone's base offset changed without summer time (Volgograd 2020-12-27, Pyongyang 2015-08-15)", () => {
  const volgograd = { latitude: 48.7194, longitude: 44.5018, height: 80, timeZone: "Europe/Volgograd" };
  const pyongyang = { latitude: 39.0339, longitude: 125.7543, height: 38, timeZone: "Asia/Pyongyang" };
  for (const [place, from, to] of [[volgograd, "2020-12-24", "2020-12-30"], [pyongyang, "2015-08-12", "2015-08-18"]]) {
    const { days } = sameAsCli(place, from, to, {}, []);
    assert.ok(days.every((d) => !d.summerTime), `${place.timeZone}: no summer time`);
    assert.equal(new Set(days.map((d) => d.utcOffset)).size, 2, `${place.timeZone} changes its offset`);
  }
});

test("before 1582-10-15 dates are Julian, as the library counts them", () => {
  const fixed = { ...makkah, timeZone: 3 };
  const { days } = sameAsCli(fixed, "1582-10-02", "1582-10-16", {}, []);
  assert.deepEqual(days.map((d) => d.date), ["1582-10-02", "1582-10-03", "1582-10-04", "1582-10-15", "1582-10-16"]);
  sameAsCli(fixed, "1500-02-28", "1500-03-01", {}, []);   // 1500 is a Julian leap year
  assert.equal(vorlin.times("1500-02-29", fixed).dhuhr.local.slice(0, 10), "1500-02-29");
  assert.throws(() => vorlin.times("1582-10-10", fixed), /1582-10-10 does not exist/);
  assert.throws(() => vorlin.times("1700-02-29", fixed), /does not exist/);
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
  for (const file of ["times.mjs", "calendar.mjs", "places.mjs"]) {
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
  const places = execFileSync(process.execPath, ["examples/places.mjs"], { encoding: "utf8" });
  const city = cli("times", "--day", "--format", "json", "--city", "Birmingham, Alabama", "--date", "2025-03-09",
    "--method", "ISNA").days[0];
  assert.ok(places.includes(`${city.times.fajr} ${city.times.maghrib} ${city.summerTime}`), places);
  assert.match(places, /^Birmingham, Alabama, US America\/Chicago 187$/m);
  assert.match(places, /GeoNames/);
});
