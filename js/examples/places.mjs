// Places by name from the gazetteer (in a browser, `await vorlin.loadPlaces()` first).
import * as vorlin from "vorlin";

await vorlin.init();
const birmingham = vorlin.place("Birmingham, Alabama");
console.log(birmingham.label, birmingham.timeZone, birmingham.height);
const day = vorlin.times("2025-03-09", birmingham, { method: "ISNA" });  // the clocks go forward
console.log(day.fajr.local, day.maghrib.local, day.summerTime);
console.log(vorlin.places("San Jose", 3).map((p) => p.label));
console.log(vorlin.placeDataCredit);
