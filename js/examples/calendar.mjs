// Hijri dates in two calendars, the evening's crescent and the qibla.
import * as vorlin from "vorlin";

await vorlin.init();
const makkah = { latitude: 21.4225, longitude: 39.8262, height: 300, timeZone: "Asia/Riyadh" };
console.log(vorlin.toHijri("2024-03-11", makkah, { calendar: "umm-al-qura" }));
console.log(vorlin.toHijri("2024-03-11", makkah));                     // observational
console.log(vorlin.toCivil({ year: 1445, month: 9, day: 1 }, makkah));  // "2024-03-12"
const evening = vorlin.crescent("2024-03-10", makkah);
console.log(evening.sunset.toISOString(), evening.lagMinutes.toFixed(1), evening.criteria.yallop);
const q = vorlin.qibla({ latitude: 51.5074, longitude: -0.1278 }, "2024-03-10");
console.log(q.direction.toFixed(2), q.distanceKm.toFixed(0));
