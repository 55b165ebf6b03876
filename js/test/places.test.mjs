// The gazetteer of the installed package (its places.bin, read on first use
// in Node) against the CLI's `vorlin places` and `--city`.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import * as vorlin from "vorlin";

const CLI = process.env.VORLIN_CLI;
assert.ok(CLI, "VORLIN_CLI names the vorlin program");
await vorlin.init();

const cli = (...args) => JSON.parse(execFileSync(CLI, args, { encoding: "utf8" }));

// The CLI's JSON place as the package describes it.
function fromCli(p) {
  return {
    name: p.name, admin1: p.region, countryCode: p.country, countryName: p.countryName, timeZone: p.zone,
    latitude: p.latitude, longitude: p.longitude, height: p.elevation ?? 0,
    elevationKnown: p.elevation !== null && p.elevation !== undefined, population: p.population,
    geonameid: p.geonameid,
  };
}

const QUERIES = [
  ["a name many places have", "Birmingham", 5],
  ["a name and a region", "Birmingham, Alabama", 3],
  ["a name and a country's name", "San Jose, Costa Rica", 3],
  ["a name and a country's code", "Hyderabad, PK", 2],
  ["another name", "Mecca", 2],
  ["diacritics", "Tromsø", 1],
  ["without diacritics", "Sao Paulo", 2],
  ["Arabic script", "القاهرة", 2],
  ["any case", "kUaLa lUmPuR", 1],
];

for (const [what, query, limit] of QUERIES) {
  test(`places(): ${what} (${query}) as \`vorlin places\` finds it`, () => {
    const want = cli("places", query, "--format", "json");
    assert.equal(want.how, "name", "the CLI found the name itself");
    const got = vorlin.places(query, limit);
    assert.equal(got.length, Math.min(limit, want.places.length));
    got.forEach((place, i) => {
      const { label, ...fields } = place;
      assert.deepEqual(fields, fromCli(want.places[i]), `${query} #${i}`);
      assert.ok(label.startsWith(`${place.name}, `) && label.endsWith(`, ${place.countryCode}`), label);
    });
  });
}

test("place() takes the most populous, and it is a place times() takes (Makkah, --city)", () => {
  const makkah = vorlin.place("Makkah");
  assert.equal(makkah.timeZone, "Asia/Riyadh");
  const want = cli("times", "--format", "json", "--city", "Makkah", "--from", "2025-03-01", "--to", "2025-03-03",
    "--method", "UmmAlQura");
  for (const given of [makkah, "Makkah"]) {
    const days = vorlin.times(["2025-03-01", "2025-03-03"], given, { method: "UmmAlQura" });
    days.forEach((day, i) => {
      for (const [name, text] of Object.entries(want.days[i].times)) {
        if (text !== null) assert.equal(day[name].local, text, `${day.date} ${name}`);
      }
    });
  }
  // The other functions take a name too.
  assert.deepEqual(vorlin.toHijri("2025-03-01", "Makkah", { calendar: "umm-al-qura" }),
    vorlin.toHijri("2025-03-01", makkah, { calendar: "umm-al-qura" }));
  assert.equal(vorlin.qibla("London", "2025-01-01").direction, vorlin.qibla(vorlin.place("London"), "2025-01-01").direction);
});

test("an unknown name: VorlinError with the near names the CLI's --city suggests", () => {
  const query = "Birmingxam, Alabama";
  const run = spawnSync(CLI, ["times", "--day", "--city", query], { encoding: "utf8" });
  assert.equal(run.status, 2, run.stderr);
  assert.throws(() => vorlin.place(query), (error) => {
    assert.ok(error instanceof vorlin.VorlinError);
    assert.match(error.message, /no place named "Birmingxam, Alabama" in the gazetteer; did you mean /);
    const suggested = [...error.message.matchAll(/"([^"]+)"/g)].slice(1).map((m) => m[1]);
    assert.ok(suggested.length >= 1, error.message);
    assert.ok(run.stderr.includes(suggested[0].split(",")[0]), `${suggested[0]} in ${run.stderr}`);
    return true;
  });
  assert.throws(() => vorlin.place(""), vorlin.VorlinError);
  assert.throws(() => vorlin.places(42), vorlin.VorlinError);
  assert.throws(() => vorlin.places("London", 1000), /limit/);
  assert.deepEqual(vorlin.places("London", 0), []);
});

test("loadPlaces(): the bundled file, a given copy, and bytes that are not an image", async () => {
  const require = createRequire(import.meta.url);
  const file = require.resolve("vorlin/places.bin");
  const bytes = readFileSync(file);
  // The file's own header: "VPLC", version 1, then the number of places.
  assert.equal(bytes.subarray(0, 4).toString("latin1"), "VPLC");
  const count = bytes.readUInt32LE(8);
  assert.equal(await vorlin.loadPlaces(), count);
  assert.equal(await vorlin.loadPlaces(new Uint8Array(bytes)), count);
  const london = vorlin.place("London").geonameid;

  const bad = [
    ["empty", new Uint8Array(0)],
    ["cut short", bytes.subarray(0, bytes.length - 1000)],
    ["another file", readFileSync(require.resolve("vorlin/package.json"))],
    ["a table offset moved", (() => { const b = Buffer.from(bytes); b.writeUInt32LE(b.readUInt32LE(36) + 8, 36); return b; })()],
    ["a place's zone out of range", (() => {
      const b = Buffer.from(bytes); b.writeUInt16LE(0xFFFF, b.readUInt32LE(32) + 16); return b; })()],
    ["a string past the end", (() => {
      const b = Buffer.from(bytes); b.writeUInt32LE(0xFFFFFFF0, b.readUInt32LE(32) + 12); return b; })()],
  ];
  for (const [what, data] of bad) {
    await assert.rejects(vorlin.loadPlaces(data), vorlin.VorlinError, what);
    assert.equal(vorlin.place("London").geonameid, london, `the image before is kept (${what})`);
  }
  assert.match(vorlin.placeDataCredit, /GeoNames.*CC BY 4\.0/);
});
