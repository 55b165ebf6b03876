// One year of prayer times in Node: the median of several runs, by hand
// (not a test):   node js/bench/year.mjs   (after js/build.sh)
import { performance } from "node:perf_hooks";
import * as vorlin from "../index.mjs";

const runs = Number(process.argv[2] ?? 15);
const london = { latitude: 51.5074, longitude: -0.1278, timeZone: "Europe/London" };
const makkah = { latitude: 21.4225, longitude: 39.8262, height: 300, timeZone: 3 };

function median(values) {
  const s = [...values].sort((a, b) => a - b);
  return s[Math.floor(s.length / 2)];
}

function measure(what, work) {
  work();  // warm up
  const ms = [];
  for (let i = 0; i < runs; ++i) {
    const t0 = performance.now();
    work();
    ms.push(performance.now() - t0);
  }
  const m = median(ms);
  console.log(`${what.padEnd(58)} median ${m.toFixed(m < 1 ? 3 : 1)} ms of ${runs} runs`);
}

const t0 = performance.now();
await vorlin.init();
console.log(`${"init() (compile and instantiate the module)".padEnd(58)} ${(performance.now() - t0).toFixed(1)} ms`);
measure("a year, one call, London (Europe/London, 366 days)", () => vorlin.times(["2024-01-01", "2024-12-31"], london));
measure("a year, one call, Makkah (UTC+3, 366 days)", () => vorlin.times(["2024-01-01", "2024-12-31"], makkah));
measure("a year, day by day, Makkah (366 calls)", () => {
  for (let d = 0; d < 366; ++d) vorlin.times(new Date(Date.UTC(2024, 0, 1 + d)), makkah);
});
measure("Hijri date, Umm al-Qura, 366 days", () => {
  for (let d = 0; d < 366; ++d) vorlin.toHijri(new Date(Date.UTC(2024, 0, 1 + d)), makkah, { calendar: "umm-al-qura" });
});
{
  const t1 = performance.now();
  vorlin.place("London");
  console.log(`${"the first place() (reads and checks places.bin)".padEnd(58)} ${(performance.now() - t1).toFixed(1)} ms`);
}
measure("place(\"Birmingham, Alabama\") once loaded", () => vorlin.place("Birmingham, Alabama"));
