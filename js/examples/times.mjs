// The day's times in London on the day the clocks go forward.
import * as vorlin from "vorlin";

await vorlin.init();
const london = { latitude: 51.5074, longitude: -0.1278, timeZone: "Europe/London" };
const day = vorlin.times("2024-03-31", london, { method: "MWL" });
for (const name of ["fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"])
  console.log(`${name.padEnd(8)} ${day[name].local}${day[name].filled ? ` (${day[name].reason})` : ""}`);
console.log("fajr as a Date:", day.fajr.time.toISOString());
