// Vorlin for JavaScript: the library's core compiled to WebAssembly, with
// prayer times, Hijri conversions, the evening's crescent and the qibla.
//
//   import * as vorlin from "vorlin";
//   await vorlin.init();
//   const day = vorlin.times("2024-03-31", { latitude: 51.5074, longitude: -0.1278,
//                                          timeZone: "Europe/London" });
//   day.fajr.time        // a Date (the UTC instant)
//   day.fajr.local       // "2024-03-31T05:02:20+01:00", the place's clock
//
// The C records of include/vorlin.h are written and read by their offsets
// through a DataView on the module's memory, which has a fixed size (it
// never grows, so the view stays valid).
//
// The gazetteer (place(), places()) searches places.bin, a data file beside
// the module: read from disk on first use in Node, loaded on demand with
// loadPlaces() in a browser.
import createVorlinModule from "./dist/vorlin_wasm.mjs";

export const version = "0.1.0";

let wasm = null;
let loading = null;
let view = null;
let scratch = 0;
let readFileSync = null;   // Node's, to read the gazetteer on first use
let placesImage = 0;       // the gazetteer's image in the module's memory
let placesLoading = null;

// Scratch records, allocated once: offsets inside the scratch block.
const DATE = 0;          // VorDate, 40 bytes
const LOCATION = 40;     // VorLocation, 80 bytes
const CONFIG = 120;      // VorConfig, 68 bytes (+4 to keep doubles aligned)
const CALENDAR = 192;    // VorCalendar, 544 bytes
const SETTINGS = 736;    // VorTimesSettings, 728 bytes
const CRESCENT = 1464;   // VorCrescent, 256 bytes
const DOUBLES = 1720;    // three doubles for VorQiblaInfo
const TEXT = 1744;       // 64 bytes of text (method names)
const SCRATCH_BYTES = 1808;

const DAY_TIMES_BYTES = 360;
const MAX_DAYS = 3660;

/** Input the library cannot work with. */
export class VorlinError extends RangeError {
  constructor(message) {
    super(message);
    this.name = "VorlinError";
  }
}

/**
 * Loads the WebAssembly module (once; later calls return the same promise).
 * In Node the .wasm file beside the loader is read from disk; in a browser
 * it is fetched from the loader's URL, or from options.wasmUrl, or taken
 * from options.wasmBinary (an ArrayBuffer or typed array).
 */
export function init(options = {}) {
  if (loading) return loading;
  loading = (async () => {
    const module = {};
    if (options.wasmBinary) {
      module.wasmBinary = options.wasmBinary;
    } else if (options.wasmUrl) {
      module.locateFile = () => String(options.wasmUrl);
    } else if (onNode()) {
      const { readFile } = await import("node:fs/promises");
      module.wasmBinary = await readFile(new URL("./dist/vorlin_wasm.wasm", import.meta.url));
    }
    if (onNode()) ({ readFileSync } = await import("node:fs"));
    const instance = await createVorlinModule(module);
    scratch = instance._malloc(SCRATCH_BYTES);
    if (!scratch) throw new Error("vorlin: no memory for the scratch records");
    wasm = instance;
    view = new DataView(instance.HEAPU8.buffer);
    return exported;
  })();
  loading.catch(() => { loading = null; });
  return loading;
}

function onNode() {
  return typeof process === "object" && !!process.versions && !!process.versions.node;
}

function lib() {
  if (!wasm) throw new Error("vorlin: call `await init()` first");
  return wasm;
}

function clear(at, bytes) {
  wasm.HEAPU8.fill(0, at, at + bytes);
}

// ---------------------------------------------------------------------------
// Checking the caller's values.

function finite(what, value, low = -Infinity, high = Infinity) {
  const number = Number(value);
  if (typeof value === "boolean" || value === null || value === "" ||
      !Number.isFinite(number) || number < low || number > high)
    throw new VorlinError(`${what}: ${value} is not a number from ${low} to ${high}`);
  return number;
}

function integer(what, value, low = -2147483648, high = 2147483647) {
  const number = finite(what, value, low, high);
  if (!Number.isInteger(number)) throw new VorlinError(`${what}: ${value} is not a whole number`);
  return number;
}

function choice(what, value, table) {
  if (!Object.prototype.hasOwnProperty.call(table, value))
    throw new VorlinError(`${what}: ${JSON.stringify(value)} is not one of ${Object.keys(table).join(", ")}`);
  return table[value];
}

/** {year, month, day} of "Y-M-D", of {year, month, day}, or of a Date (its UTC date). */
function civilDate(value, what = "date") {
  let year, month, day;
  if (typeof value === "string") {
    const m = /^(-?\d{1,4})-(\d{1,2})-(\d{1,2})$/.exec(value.trim());
    if (!m) throw new VorlinError(`${what}: ${JSON.stringify(value)} is not Y-M-D`);
    [year, month, day] = [Number(m[1]), Number(m[2]), Number(m[3])];
  } else if (value instanceof Date) {
    if (Number.isNaN(value.getTime())) throw new VorlinError(`${what}: an invalid Date`);
    [year, month, day] = [value.getUTCFullYear(), value.getUTCMonth() + 1, value.getUTCDate()];
  } else if (value && typeof value === "object") {
    ({ year, month, day } = value);
  } else {
    throw new VorlinError(`${what}: give "Y-M-D", {year, month, day} or a Date`);
  }
  year = integer(`${what}: year`, year, 1, 9999);
  month = integer(`${what}: month`, month, 1, 12);
  day = integer(`${what}: day`, day, 1, 31);
  const d = { year, month, day };
  // As the library counts: Julian before 1582-10-15, Gregorian from then.
  const n = dayNumber(d);
  const back = dateOfDayNumber(n);
  if (back.year !== year || back.month !== month || back.day !== day)
    throw new VorlinError(`${what}: ${year}-${month}-${day} does not exist` +
      (year === 1582 && month === 10 && day > 4 && day < 15 ? " (the Gregorian calendar begins on 1582-10-15)" : ""));
  return d;
}

function text(d) {
  const pad = (n, w = 2) => String(n).padStart(w, "0");
  return `${pad(d.year, 4)}-${pad(d.month)}-${pad(d.day)}`;
}

// The Julian day number of 1582-10-15, the first Gregorian day.
const GREGORIAN_FROM = 2299161;
const UNIX_JDN = 2440588;

// Days since 1970-01-01 of a date, as the library counts them (the Julian
// calendar before 1582-10-15).  A day past the month's end runs on into the
// next month; civilDate checks dates by converting them back.
function dayNumber(d) {
  const a = Math.floor((14 - d.month) / 12);
  const y = d.year + 4800 - a, m = d.month + 12 * a - 3;
  const julian = d.day + Math.floor((153 * m + 2) / 5) + 365 * y + Math.floor(y / 4) - 32083;
  const gregorian = julian - Math.floor(y / 100) + Math.floor(y / 400) + 38;
  return (gregorian >= GREGORIAN_FROM ? gregorian : julian) - UNIX_JDN;
}

function dateOfDayNumber(n) {
  const jdn = n + UNIX_JDN;
  let c;
  if (jdn >= GREGORIAN_FROM) {
    const a = jdn + 32044;
    const b = Math.floor((4 * a + 3) / 146097);
    c = a - Math.floor(146097 * b / 4);
    const dd = Math.floor((4 * c + 3) / 1461);
    const e = c - Math.floor(1461 * dd / 4);
    const m = Math.floor((5 * e + 2) / 153);
    return { year: 100 * b + dd - 4800 + Math.floor(m / 10), month: m + 3 - 12 * Math.floor(m / 10),
             day: e - Math.floor((153 * m + 2) / 5) + 1 };
  }
  c = jdn + 32082;
  const dd = Math.floor((4 * c + 3) / 1461);
  const e = c - Math.floor(1461 * dd / 4);
  const m = Math.floor((5 * e + 2) / 153);
  return { year: dd - 4800 + Math.floor(m / 10), month: m + 3 - 12 * Math.floor(m / 10),
           day: e - Math.floor((153 * m + 2) / 5) + 1 };
}

// ---------------------------------------------------------------------------
// Clocks: an IANA zone through Intl.DateTimeFormat, or a fixed offset.

const formatters = new Map();

function formatter(zone) {
  let f = formatters.get(zone);
  if (!f) {
    try {
      f = new Intl.DateTimeFormat("en-US", {
        timeZone: zone, hourCycle: "h23", year: "numeric", month: "2-digit", day: "2-digit",
        hour: "2-digit", minute: "2-digit", second: "2-digit", era: "short",
      });
    } catch {
      throw new VorlinError(`timeZone: ${JSON.stringify(zone)} is not a time zone this runtime knows`);
    }
    formatters.set(zone, f);
  }
  return f;
}

function clockOf(timeZone) {
  if (typeof timeZone === "string") {
    const zone = timeZone;
    formatter(zone);
    return {
      zone,
      noons: new Map(),   // offsets at noon by day number (offsetAtNoon)
      // Seconds east of UTC in force at the Unix second `unix`.
      offsetAt(unix) {
        const parts = {};
        for (const p of formatter(zone).formatToParts(new Date(unix * 1000))) parts[p.type] = p.value;
        let year = Number(parts.year);
        if (parts.era === "BC" || parts.era === "B") year = 1 - year;
        const t = new Date(0);
        t.setUTCFullYear(year, Number(parts.month) - 1, Number(parts.day));
        t.setUTCHours(Number(parts.hour), Number(parts.minute), Number(parts.second));
        return Math.round(t.getTime() / 1000) - unix;
      },
    };
  }
  const hours = finite("timeZone", timeZone ?? 0, -14, 14);
  const seconds = Math.round(hours * 3600);
  return { zone: null, offsetAt: () => seconds };
}

// The offset in force at 12:00 local time of the day n days after
// 1970-01-01 (kept by a zone's clock: neighbouring days ask for the same).
function offsetAtNoon(clock, n) {
  let offset = clock.noons ? clock.noons.get(n) : undefined;
  if (offset === undefined) {
    const noon = n * 86400 + 43200;
    offset = clock.offsetAt(noon);
    offset = clock.offsetAt(noon - offset);
    if (clock.noons) clock.noons.set(n, offset);
  }
  return offset;
}

// The zone's standard offset on day d: the offset at its noon less any
// summer hour.  Intl tells the offset in force, not whether it is summer
// time, so the year around the day is sampled: the day is on summer time
// when both sides of it (the eight months before, the eight after) come
// back to a lower offset within two hours of the day's, and its standard
// offset is that lower one.  A side whose offsets are all more than two
// hours away is a change of the zone's base offset (Pacific/Apia at the end
// of 2011) and is not asked; a side that stays at the day's offset or above
// says it is not summer time (a base offset changed by an hour).
const SIDES = [[-60, -120, -182, -240], [60, 120, 182, 240]];

function standardOffset(clock, d) {
  const n = dayNumber(d);
  const atNoon = offsetAtNoon(clock, n);
  if (!clock.zone) return { standard: atNoon, inForce: atNoon };
  // Summer time lasts less than 240 days, so a summer day has standard time
  // 120 days before it or 120 days after.
  if (offsetAtNoon(clock, n - 120) === atNoon && offsetAtNoon(clock, n + 120) === atNoon) return { standard: atNoon, inForce: atNoon };
  let standard = null;
  for (const side of SIDES) {
    const near = side.map((k) => offsetAtNoon(clock, n + k)).filter((o) => Math.abs(o - atNoon) <= 7200);
    if (near.length === 0) continue;
    const lower = near.filter((o) => o < atNoon);
    if (lower.length === 0) return { standard: atNoon, inForce: atNoon };
    standard = Math.max(standard ?? -Infinity, Math.min(...lower));
  }
  return { standard: standard ?? atNoon, inForce: atNoon };
}

// Whether the zone's clock shows day d at all (Pacific/Apia skipped
// 2011-12-30): some instant of its own offset falls on it.
function dayExists(clock, d) {
  if (!clock.zone) return true;
  const n = dayNumber(d);
  // Only a change of a day or more in the offset skips a date.
  if (Math.abs(offsetAtNoon(clock, n + 1) - offsetAtNoon(clock, n - 1)) < 86400)
    return true;
  const midnight = n * 86400;
  for (const hour of [0, 6, 12, 18, 24]) {
    const local = midnight + hour * 3600 - 1;
    const offset = clock.offsetAt(local - clock.offsetAt(local));
    const unix = local - offset;
    const shown = unix + clock.offsetAt(unix);
    if (shown >= midnight && shown < midnight + 86400) return true;
  }
  return false;
}

function offsetText(seconds) {
  const sign = seconds < 0 ? "-" : "+";
  const a = Math.abs(seconds);
  const pad = (n) => String(n).padStart(2, "0");
  return `${sign}${pad(Math.floor(a / 3600))}:${pad(Math.floor((a % 3600) / 60))}`;
}

// "YYYY-MM-DDTHH:MM:SS+HH:MM" of the Unix second on a clock `offset` seconds
// east (the date as the library counts it).
function localText(unix, offset) {
  const local = unix + offset;
  const days = Math.floor(local / 86400), second = local - days * 86400;
  const pad = (n, w = 2) => String(n).padStart(w, "0");
  return `${text(dateOfDayNumber(days))}T${pad(Math.floor(second / 3600))}:` +
    `${pad(Math.floor((second % 3600) / 60))}:${pad(second % 60)}${offsetText(offset)}`;
}

// The C convention of llround: halves away from zero.
function roundSeconds(x) {
  return Math.sign(x) * Math.round(Math.abs(x));
}

// ---------------------------------------------------------------------------
// Records.

function writeDate(at, d) {
  clear(at, 40);
  view.setInt32(at + 0, d.year, true);
  view.setUint8(at + 8, d.month);
  view.setFloat64(at + 16, d.day, true);
}

function writeLocation(at, place, standardSeconds) {
  if (!place || typeof place !== "object")
    throw new VorlinError("place: give {latitude, longitude, ...} or a place's name");
  clear(at, 80);
  const name = new TextEncoder().encode(String(place.name ?? "")).subarray(0, 47);
  wasm.HEAPU8.set(name, at);
  view.setFloat64(at + 48, finite("latitude", place.latitude, -90, 90), true);
  view.setFloat64(at + 56, finite("longitude", place.longitude, -180, 180), true);
  view.setInt32(at + 64, integer("height", place.height ?? 0, -1000, 10000), true);
  view.setFloat32(at + 68, standardSeconds / 3600, true);
}

function writeConfig(at, options = {}) {
  clear(at, 68);
  view.setFloat32(at + 0, -19, true);
  view.setFloat32(at + 4, -18, true);
  view.setFloat32(at + 8, -17, true);
  view.setInt32(at + 12, 1, true);
  view.setInt32(at + 28, integer("temperature", options.temperature ?? 10, -100, 100), true);
  view.setInt32(at + 32, integer("pressure", options.pressure ?? 0, 0, 2000), true);
  view.setInt32(at + 44, 1, true);
  view.setFloat32(at + 48, finite("crescentThreshold", options.crescentThreshold ?? 20, -90, 90), true);
  view.setInt32(at + 60, integer("hijriAdjustDays", options.hijriAdjustDays ?? 0, -30, 30), true);
  view.setInt32(at + 64, 90, true);
}

const CALENDARS = {
  "observational": 0, "regional": 1, "conjunction-before-noon-utc": 2, "umm-al-qura": 3, "tabular": 4,
};
const CRITERIA = { "default": 0, "yallop": 1, "arcv-width": 2, "danjon": 3 };
const LEVELS = { "naked-eye": 0, "optical-aid": 1 };
const REGIONS = { "world": 0, "americas": 1 };

function writeCalendar(at, options = {}) {
  clear(at, 544);
  view.setInt32(at + 0, 544, true);
  view.setInt32(at + 4, choice("calendar", options.calendar ?? "observational", CALENDARS), true);
  view.setInt32(at + 8, choice("criterion", options.criterion ?? "default", CRITERIA), true);
  view.setInt32(at + 12, choice("level", options.level ?? "naked-eye", LEVELS), true);
  view.setInt32(at + 16, options.withDanjon ? 1 : 0, true);
  const region = options.region ?? "world";
  if (Array.isArray(region)) {
    if (region.length < 1 || region.length > 32) throw new VorlinError("region: from 1 to 32 places");
    view.setInt32(at + 20, 2, true);
    view.setInt32(at + 24, region.length, true);
    region.forEach(([lat, lon], i) => {
      view.setFloat64(at + 32 + 16 * i, finite("region latitude", lat, -90, 90), true);
      view.setFloat64(at + 40 + 16 * i, finite("region longitude", lon, -180, 180), true);
    });
  } else {
    view.setInt32(at + 20, choice("region", region, REGIONS), true);
  }
}

// ---------------------------------------------------------------------------
// Methods and settings of the day's times.

/** The names of the library's methods, the default (MWL) first. */
export function methods() {
  const m = lib();
  const names = [];
  for (let i = 0; i < m._VorMethodCount(); ++i) {
    const at = scratch + TEXT;
    const length = m._VorMethodName(i, at, 64);
    names.push(new TextDecoder().decode(m.HEAPU8.subarray(at, at + length)));
  }
  return names;
}

const HIGH_LATITUDE = {
  "default": -1, "none": 0, "middle-of-night": 10, "seventh-of-night": 11, "twilight-angle": 12,
};
const CHOICES = {
  midnight: [136, { standard: 0, jafari: 1 }],
  twilight: [140, { angles: 0, seasonal: 1 }],
  shafaq: [144, { general: 0, ahmer: 1, abyad: 2 }],
  rounding: [148, { seconds: 0, nearest: 1, up: 2, down: 3 }],
};
// setting: [offset, kind, low, high]
const NUMBERS = {
  asrFactor: [4, "i32", 1, 2],
  fajrAngle: [8, "f64", -90, 90],
  ishaAngle: [16, "f64", -90, 90],
  ishaMinutes: [24, "f64", 0, 1440],
  ishaMinutesRamadan: [32, "f64", 0, 1440],
  maghribAngle: [40, "f64", -90, 90],
  maghribMinutes: [48, "f64", -1440, 1440],
  imsakAngle: [56, "f64", -90, 90],
  imsakMinutes: [64, "f64", 0, 1440],
  fajrIshaMinutes: [132, "i32", 0, 1440],
  distanceKm: [152, "i32", 0, 20000],
  horizonHeight: [156, "i32", 0, 10000],
  temperature: [160, "i32", -100, 100],
  pressure: [164, "i32", 0, 2000],
  safetySeconds: [172, "i32", -3600, 3600],
  crescentThreshold: [176, "f32", -90, 90],
  hijriAdjustDays: [180, "i32", -30, 30],
};
const ADJUSTED = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"];

function writeSettings(at, options = {}) {
  const m = lib();
  clear(at, 728);
  view.setInt32(at, 728, true);
  const method = String(options.method ?? "MWL");
  const name = new TextEncoder().encode(method.slice(0, 60));
  m.HEAPU8.set(name, scratch + TEXT);
  m.HEAPU8[scratch + TEXT + name.length] = 0;
  if (m._VorMethodSettings(scratch + TEXT, at) !== 1)
    throw new VorlinError(`method: unknown ${JSON.stringify(method)} (methods: ${methods().join(", ")})`);
  for (const [key, value] of Object.entries(options)) {
    if (key === "method" || value === undefined) continue;
    if (key === "highLatitude") {
      const rule = typeof value === "string" ? choice("highLatitude", value, HIGH_LATITUDE)
                                             : integer("highLatitude", value, 1, 9);
      view.setInt32(at + 128, rule, true);
    } else if (key in CHOICES) {
      const [offset, table] = CHOICES[key];
      view.setInt32(at + offset, choice(key, value, table), true);
    } else if (key === "adjust") {
      for (const [event, minutes] of Object.entries(value)) {
        const i = ADJUSTED.indexOf(event);
        if (i < 0) throw new VorlinError(`adjust: ${JSON.stringify(event)} is not one of ${ADJUSTED.join(", ")}`);
        view.setFloat64(at + 72 + 8 * i, finite(`adjust.${event}`, minutes, -1440, 1440), true);
      }
    } else if (key in NUMBERS) {
      const [offset, kind, low, high] = NUMBERS[key];
      if (kind === "f64") view.setFloat64(at + offset, finite(key, value, low, high), true);
      else if (kind === "f32") view.setFloat32(at + offset, finite(key, value, low, high), true);
      else view.setInt32(at + offset, integer(key, value, low, high), true);
    } else {
      throw new VorlinError(`unknown setting ${JSON.stringify(key)}`);
    }
  }
}

// ---------------------------------------------------------------------------
// The day's times.

export const EVENTS = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "asrHanafi", "sunset",
  "maghrib", "isha", "midnight", "lastThird"];
const MISSING = { 1: "always above", 2: "always below", 3: "not valid" };

function filledText(rule) {
  return { 10: "middle of the night", 11: "seventh of the night", 12: "twilight angle",
    13: "seasonal bounds" }[rule] ?? `rule ${rule}`;
}

/**
 * The prayer times of a day, or of every day from first to last ([first,
 * last], at most 3660 days), at `place` ({latitude, longitude, height,
 * timeZone: an IANA zone or hours east of Greenwich, name}) by
 * options.method (default "MWL") with any settings changed (see index.d.ts).
 * Each day is computed on the zone's standard time of that day; the local
 * text of every time carries the offset in force at that instant.
 */
export function times(date, place, options = {}) {
  const m = lib();
  place = placeOf(place);
  const single = !Array.isArray(date);
  const first = civilDate(single ? date : date[0], "first date");
  const last = single ? first : civilDate(date[1], "last date");
  const n0 = dayNumber(first);
  const count = dayNumber(last) - n0 + 1;
  if (count < 1 || count > MAX_DAYS) throw new VorlinError(`a range of ${count} days: from 1 to ${MAX_DAYS}`);
  const clock = clockOf(place?.timeZone);
  writeSettings(scratch + SETTINGS, options);

  const days = [];
  for (let i = 0; i < count; ++i) {
    const d = dateOfDayNumber(n0 + i);
    if (!dayExists(clock, d)) {
      days.push({ d, skipped: true, standard: NaN });
      continue;
    }
    const { standard, inForce } = standardOffset(clock, d);
    days.push({ d, standard, inForce });
  }
  const buffer = m._malloc(count * DAY_TIMES_BYTES);
  if (!buffer) throw new Error("vorlin: no memory for the times");
  const result = [];
  try {
    // One call for each run of days on the same standard offset.
    for (let i = 0; i < count;) {
      if (days[i].skipped) {
        result.push(skippedDay(days[i].d, clock));
        ++i;
        continue;
      }
      let j = i + 1;
      while (j < count && days[j].standard === days[i].standard) ++j;
      writeDate(scratch + DATE, days[i].d);
      writeLocation(scratch + LOCATION, place, days[i].standard);
      view.setInt32(buffer, DAY_TIMES_BYTES, true);
      if (m._VorTimesOfRange(scratch + DATE, j - i, scratch + LOCATION, scratch + SETTINGS, buffer) !== j - i)
        throw new VorlinError("the library refused the request (a setting out of range?)");
      for (let k = i; k < j; ++k) result.push(readDay(buffer + (k - i) * DAY_TIMES_BYTES, days[k], clock));
      i = j;
    }
  } finally {
    m._free(buffer);
  }
  return single ? result[0] : result;
}

// A date the zone's clock skips: no times, every event saying so.
function skippedDay(d, clock) {
  const out = { date: text(d), skipped: true, ramadan: false, utcOffset: null, summerTime: false };
  const reason = `not a date of the local clock (${clock.zone} skips it)`;
  for (const name of EVENTS) out[name] = { time: null, local: null, reason };
  return out;
}

function readDay(at, day, clock) {
  const dateSeconds = dayNumber(day.d) * 86400;
  const out = {
    date: text(day.d),
    skipped: false,
    ramadan: view.getInt32(at + 4, true) === 1,
    utcOffset: offsetText(day.inForce),
    summerTime: day.inForce !== day.standard,
  };
  EVENTS.forEach((name, e) => {
    const base = at + 8 + 32 * e;
    const status = view.getInt32(base + 24, true);
    const unix = view.getFloat64(base + 16, true);
    if (status === 1 || status === 2) {
      out[name] = { time: null, local: null, reason: MISSING[status] };
    } else if ((status !== 0 && status !== 4) || !Number.isFinite(unix) ||
               Math.abs(unix - dateSeconds) > 3 * 86400) {
      out[name] = { time: null, local: null, reason: "not valid" };
    } else {
      const second = roundSeconds(unix);
      const filled = status === 4;
      out[name] = {
        time: new Date(Math.round(unix * 1000)),
        local: localText(second, clock.offsetAt(second)),
        reason: filled ? filledText(view.getInt32(base + 28, true)) : null,
        filled,
      };
    }
  });
  return out;
}

// ---------------------------------------------------------------------------
// Hijri calendars.

// The library's names of the Hijri months (as its reports print them).
const MONTH_NAMES = ["Muharram", "Safar", "Rabi'I", "Rabi'II", "Jumada I", "Jumada II", "Rajab",
  "Sha'ban", "Ramadan", "Shawwal", "Thu Al-Qa'da", "Thu Al-Hijja"];

function prepareCalendar(place, options, civilDay) {
  const clock = clockOf(place?.timeZone);
  const { standard } = standardOffset(clock, civilDay);
  writeLocation(scratch + LOCATION, place, standard);
  writeConfig(scratch + CONFIG, options);
  writeCalendar(scratch + CALENDAR, options);
}

/**
 * The Hijri date of a civil date at `place` in the calendar of
 * options.calendar ("observational" by default, "regional",
 * "conjunction-before-noon-utc", "umm-al-qura", "tabular"), with
 * options.criterion, level, withDanjon, region, crescentThreshold and
 * hijriAdjustDays.  Returns {year, month, day, monthName}, or null when the
 * date has none (before the era).
 */
export function toHijri(date, place, options = {}) {
  const m = lib();
  place = placeOf(place);
  const d = civilDate(date);
  prepareCalendar(place, options, d);
  writeDate(scratch + DATE, d);
  if (m._VorCivilToHijri(scratch + CALENDAR, scratch + DATE, scratch + LOCATION, scratch + CONFIG) !== 1)
    return null;
  const month = view.getUint8(scratch + DATE + 9);
  return {
    year: view.getInt32(scratch + DATE + 4, true),
    month,
    day: Math.floor(view.getFloat64(scratch + DATE + 24, true)),
    monthName: MONTH_NAMES[month - 1],
  };
}

/**
 * The civil date ("Y-M-D") of a Hijri date ({year, month, day} or "Y-M-D")
 * at `place` in the calendar of options (as toHijri), or null when the
 * place's calendar has no such day (day 30 of a 29-day month).
 */
export function toCivil(hijri, place, options = {}) {
  const m = lib();
  place = placeOf(place);
  let h = hijri;
  if (typeof h === "string") {
    const match = /^(\d{1,5})-(\d{1,2})-(\d{1,2})$/.exec(h.trim());
    if (!match) throw new VorlinError(`hijri: ${JSON.stringify(hijri)} is not Y-M-D`);
    h = { year: Number(match[1]), month: Number(match[2]), day: Number(match[3]) };
  }
  if (!h || typeof h !== "object") throw new VorlinError("hijri: give {year, month, day} or \"Y-M-D\"");
  const year = integer("hijri year", h.year, 1, 10000);
  const month = integer("hijri month", h.month, 1, 12);
  const day = integer("hijri day", h.day, 1, 30);
  // The zone's standard offset near the date: of a civil day 33 years per
  // 32 Hijri years after 622.
  const approx = dateOfDayNumber(Math.round((year - 1) * 354.367 + (month - 1) * 29.53 + day) - 492148);
  prepareCalendar(place, options, approx);
  clear(scratch + DATE, 40);
  view.setInt32(scratch + DATE + 4, year, true);
  view.setUint8(scratch + DATE + 9, month);
  view.setFloat64(scratch + DATE + 24, day, true);
  if (m._VorHijriToCivil(scratch + CALENDAR, scratch + DATE, scratch + LOCATION, scratch + CONFIG) !== 1)
    return null;
  return text({
    year: view.getInt32(scratch + DATE, true),
    month: view.getUint8(scratch + DATE + 8),
    day: Math.floor(view.getFloat64(scratch + DATE + 16, true)),
  });
}

// ---------------------------------------------------------------------------
// The evening's crescent and the qibla.

function geometry(at) {
  const names = ["arclGeo", "arclTopo", "arcvGeo", "arcvTopo", "daz", "widthArcmin", "illuminated",
    "moonAltitude", "sunAltitude"];
  const g = {};
  names.forEach((name, i) => { g[name] = view.getFloat64(at + 8 * i, true); });
  return g;
}

function instant(unix) {
  return Number.isFinite(unix) ? new Date(Math.round(unix * 1000)) : null;
}

/**
 * The young crescent on the evening of a civil date at `place` (options:
 * temperature, pressure, crescentThreshold).  Times are Dates (null when
 * there is none), angles degrees; criteria gives each criterion's value
 * and zone.
 */
export function crescent(date, place, options = {}) {
  const m = lib();
  place = placeOf(place);
  const d = civilDate(date);
  const clock = clockOf(place?.timeZone);
  const { standard } = standardOffset(clock, d);
  writeLocation(scratch + LOCATION, place, standard);
  writeConfig(scratch + CONFIG, options);
  writeDate(scratch + DATE, d);
  const at = scratch + CRESCENT;
  clear(at, 256);
  view.setInt32(at, 256, true);
  m._VorCrescentEvening(scratch + DATE, scratch + LOCATION, scratch + CONFIG, at);
  const f = (offset) => view.getFloat64(at + offset, true);
  const criteria = {};
  Object.keys(CRITERIA).forEach((name, i) => {
    const zone = view.getUint8(at + 248 + i);
    criteria[name] = { value: f(216 + 8 * i), zone: zone ? String.fromCharCode(zone) : null };
  });
  return {
    date: text(d),
    evening: view.getInt32(at + 4, true) === 1,
    sunset: instant(f(8)),
    moonset: instant(f(16)),
    bestTime: instant(f(24)),
    lagMinutes: f(32),
    conjunction: { geocentric: instant(f(40)), topocentric: instant(f(48)) },
    ageHours: { geocentric: f(56), topocentric: f(64) },
    atSunset: geometry(at + 72),
    atBestTime: geometry(at + 144),
    criteria,
  };
}

/**
 * The qibla at `place` on a civil date (the date chooses the magnetic
 * field model): {direction: degrees from true north, distanceKm, declination:
 * magnetic, degrees east, compass: the direction on a magnetic compass}.
 */
export function qibla(place, date) {
  const m = lib();
  place = placeOf(place);
  const d = civilDate(date);
  writeLocation(scratch + LOCATION, place, 0);
  writeDate(scratch + DATE, d);
  m._VorQiblaInfo(scratch + LOCATION, scratch + DATE, scratch + DOUBLES, scratch + DOUBLES + 8,
    scratch + DOUBLES + 16);
  const direction = view.getFloat64(scratch + DOUBLES, true);
  const declination = view.getFloat64(scratch + DOUBLES + 16, true);
  return {
    direction,
    distanceKm: view.getFloat64(scratch + DOUBLES + 8, true),
    declination,
    compass: (((direction - declination) % 360) + 360) % 360,
  };
}

// ---------------------------------------------------------------------------
// The gazetteer: 118,841 places of GeoNames (CC BY 4.0).

const PLACE_BYTES = 320;
const MAX_PLACES = 100;

/** The attribution the place data ask for, to be shown with them. */
export const placeDataCredit =
  "Place data: GeoNames, geonames.org (CC BY 4.0), selected and reformatted.";

const placesFile = () => new URL("./dist/places.bin", import.meta.url);

// Hands the image's bytes to the library (copied into its memory); the
// number of places.
function usePlaces(bytes) {
  const m = lib();
  const at = m._malloc(bytes.length);
  if (!at) throw new Error("vorlin: no memory for the gazetteer");
  m.HEAPU8.set(bytes, at);
  const count = m._VorUsePlacesImage(at, bytes.length);
  if (count <= 0) {
    m._free(at);
    throw new VorlinError("loadPlaces: the data are not the gazetteer's image (places.bin)");
  }
  if (placesImage) m._free(placesImage);
  placesImage = at;
  return count;
}

/**
 * Loads the gazetteer, once: from `source` (a URL or an ArrayBuffer/typed
 * array of places.bin) or else from the places.bin beside the module (read
 * from disk in Node, fetched in a browser: 11.9 MB, about 5 MB compressed
 * by a server that compresses).  Resolves to the number of places.  In Node
 * place() and places() load it themselves on first use.
 */
export function loadPlaces(source) {
  lib();
  if (placesLoading && source === undefined) return placesLoading;
  const loading = (async () => {
    let bytes;
    if (source instanceof ArrayBuffer) {
      bytes = new Uint8Array(source);
    } else if (ArrayBuffer.isView(source)) {
      bytes = new Uint8Array(source.buffer, source.byteOffset, source.byteLength);
    } else if (source === undefined && readFileSync) {
      bytes = readFileSync(placesFile());
    } else {
      const url = source === undefined ? placesFile() : source;
      const response = await fetch(url);
      if (!response.ok) throw new VorlinError(`loadPlaces: ${url}: HTTP ${response.status}`);
      bytes = new Uint8Array(await response.arrayBuffer());
    }
    return usePlaces(bytes);
  })();
  if (source === undefined) {
    placesLoading = loading;
    loading.catch(() => { placesLoading = null; });
  }
  return loading;
}

function gazetteer() {
  const m = lib();
  if (!placesImage) {
    if (!readFileSync)
      throw new VorlinError("places: the gazetteer is not loaded (call `await loadPlaces()` first)");
    usePlaces(readFileSync(placesFile()));
  }
  return m;
}

function search(find, query, limit) {
  const m = gazetteer();
  if (typeof query !== "string") throw new VorlinError("place: give a name (\"Birmingham, GB\")");
  const count = integer("limit", limit, 0, MAX_PLACES);
  const name = new TextEncoder().encode(query);
  // The records first (malloc's alignment), the query's text after them.
  const records = Math.max(count, 1) * PLACE_BYTES;
  const out = m._malloc(records + name.length + 1);
  if (!out) throw new Error("vorlin: no memory for the places");
  try {
    const text = out + records;
    m.HEAPU8.set(name, text);
    m.HEAPU8[text + name.length] = 0;
    view.setInt32(out, PLACE_BYTES, true);
    const found = find(text, out, count);
    if (found < 0) throw new VorlinError(`place: ${JSON.stringify(query)} cannot be looked up`);
    const places = [];
    for (let i = 0; i < found; ++i) places.push(readPlace(out + i * PLACE_BYTES));
    return places;
  } finally {
    m._free(out);
  }
}

function readText(at, bytes) {
  const field = wasm.HEAPU8.subarray(at, at + bytes);
  const end = field.indexOf(0);
  return new TextDecoder().decode(field.subarray(0, end < 0 ? bytes : end));
}

function readPlace(at) {
  const place = {
    name: readText(at + 4, 96),
    admin1: readText(at + 100, 64),
    countryCode: readText(at + 164, 4),
    countryName: readText(at + 168, 64),
    timeZone: readText(at + 232, 48),
    latitude: view.getFloat64(at + 280, true),
    longitude: view.getFloat64(at + 288, true),
    height: view.getInt32(at + 296, true),
    elevationKnown: view.getInt32(at + 300, true) === 1,
    population: Number(view.getBigInt64(at + 304, true)),
    geonameid: Number(view.getBigInt64(at + 312, true)),
  };
  place.label = [place.name, place.admin1 !== place.name ? place.admin1 : "", place.countryCode]
    .filter((part) => part).join(", ");
  return place;
}

/**
 * The places a query names, most populous first: "Name", "Name, Region",
 * "Name, Country" or "Name, Region, Country" (any case, with or without
 * diacritics, other names and scripts), at most `limit` (up to 100).
 */
export function places(query, limit = 10) {
  return search((q, out, n) => wasm._VorFindPlaces(q, out, n), query, limit);
}

/**
 * The most populous place a query names; a VorlinError naming the near
 * names when there is none.  The place can be given to times(), toHijri(),
 * toCivil(), crescent() and qibla() as it is (its zone is its clock).
 */
export function place(query) {
  const found = places(query, 1);
  if (found.length) return found[0];
  const near = search((q, out, n) => wasm._VorNearPlaces(q, out, n), query, 5);
  const hint = near.length ? `; did you mean ${near.map((p) => JSON.stringify(p.label)).join(", ")}?` : "";
  throw new VorlinError(`no place named ${JSON.stringify(query)} in the gazetteer${hint}`);
}

// A place given by its name, looked up; any other value as it is.
function placeOf(value) {
  return typeof value === "string" ? place(value) : value;
}

const exported = { version, init, methods, times, toHijri, toCivil, crescent, qibla, EVENTS, VorlinError,
  loadPlaces, places, place, placeDataCredit };
export default exported;
