// Types of the vorlin package (index.mjs).

/** A civil date: "Y-M-D", {year, month, day}, or a Date (its UTC date). */
export type CivilDate = string | { year: number; month: number; day: number } | Date;

export interface Place {
  latitude: number;            // degrees, north positive
  longitude: number;           // degrees, east positive
  height?: number;             // metres above sea level (the air pressure)
  /** An IANA time zone ("Europe/London") or hours east of Greenwich. */
  timeZone?: string | number;
  name?: string;
}

/** A place of the gazetteer (place(), places()): a Place as it is. */
export interface GazetteerPlace extends Place {
  name: string;
  admin1: string;              // first-level division ("" unknown)
  countryCode: string;         // ISO 3166-1 alpha-2
  countryName: string;
  timeZone: string;            // IANA zone
  height: number;              // elevation in metres (0 when not known)
  elevationKnown: boolean;
  population: number;
  geonameid: number;
  label: string;               // "Birmingham, Alabama, US"
}

/** A place: its coordinates and clock, or a name the gazetteer looks up ("Makkah"). */
export type PlaceLike = Place | string;

export type EventName = "imsak" | "fajr" | "sunrise" | "dhuhr" | "asr" | "asrHanafi" | "sunset" |
  "maghrib" | "isha" | "midnight" | "lastThird";

export interface EventTime {
  /** The instant (UTC), or null when the day has none. */
  time: Date | null;
  /** The place's clock with the offset in force, "2024-03-31T05:02:20+01:00". */
  local: string | null;
  /** Missing: "always above", "always below" or "not valid"; filled: what gave it; else null. */
  reason: string | null;
  filled?: boolean;
}

export type DayTimes = { [E in EventName]: EventTime } & {
  date: string;          // "Y-M-D" (Julian before 1582-10-15, as the library counts)
  /** A date the zone's clock skips (Pacific/Apia 2011-12-30): every event null, saying so. */
  skipped: boolean;
  ramadan: boolean;      // known with ishaMinutesRamadan only
  utcOffset: string | null;  // "+01:00" at the day's noon (null on a skipped date)
  summerTime: boolean;
};

export interface TimesOptions {
  method?: string;                       // methods(); default "MWL"
  fajrAngle?: number; ishaAngle?: number; ishaMinutes?: number; ishaMinutesRamadan?: number;
  maghribAngle?: number; maghribMinutes?: number; imsakAngle?: number; imsakMinutes?: number;
  asrFactor?: 1 | 2;
  highLatitude?: "default" | "none" | "middle-of-night" | "seventh-of-night" | "twilight-angle" | number;
  fajrIshaMinutes?: number;
  midnight?: "standard" | "jafari";
  twilight?: "angles" | "seasonal";
  shafaq?: "general" | "ahmer" | "abyad";
  rounding?: "seconds" | "nearest" | "up" | "down";
  adjust?: Partial<Record<"imsak" | "fajr" | "sunrise" | "dhuhr" | "asr" | "maghrib" | "isha", number>>;
  distanceKm?: number; horizonHeight?: number; temperature?: number; pressure?: number;
  safetySeconds?: number; crescentThreshold?: number; hijriAdjustDays?: number;
}

export interface CalendarOptions {
  calendar?: "observational" | "regional" | "conjunction-before-noon-utc" | "umm-al-qura" | "tabular";
  criterion?: "default" | "yallop" | "arcv-width" | "danjon";
  level?: "naked-eye" | "optical-aid";
  withDanjon?: boolean;
  region?: "world" | "americas" | Array<[number, number]>;
  crescentThreshold?: number;
  hijriAdjustDays?: number;
  temperature?: number;
  pressure?: number;
}

export interface HijriDate { year: number; month: number; day: number; monthName?: string; }

export interface CrescentGeometry {
  arclGeo: number; arclTopo: number; arcvGeo: number; arcvTopo: number; daz: number;
  widthArcmin: number; illuminated: number; moonAltitude: number; sunAltitude: number;
}

export interface Crescent {
  date: string;
  evening: boolean;              // the day has a sunset and a moonset
  sunset: Date | null; moonset: Date | null; bestTime: Date | null;
  lagMinutes: number;
  conjunction: { geocentric: Date | null; topocentric: Date | null };
  ageHours: { geocentric: number; topocentric: number };
  atSunset: CrescentGeometry;
  atBestTime: CrescentGeometry;
  criteria: Record<"default" | "yallop" | "arcv-width" | "danjon", { value: number; zone: string | null }>;
}

export interface Qibla { direction: number; distanceKm: number; declination: number; compass: number; }

export interface InitOptions { wasmUrl?: string | URL; wasmBinary?: ArrayBuffer | Uint8Array; }

export class VorlinError extends RangeError {}

export const version: string;
export const EVENTS: EventName[];
export function init(options?: InitOptions): Promise<unknown>;
export function methods(): string[];
export function times(date: CivilDate, place: PlaceLike, options?: TimesOptions): DayTimes;
export function times(range: [CivilDate, CivilDate], place: PlaceLike, options?: TimesOptions): DayTimes[];
export function toHijri(date: CivilDate, place: PlaceLike, options?: CalendarOptions): HijriDate | null;
export function toCivil(hijri: HijriDate | string, place: PlaceLike, options?: CalendarOptions): string | null;
export function crescent(date: CivilDate, place: PlaceLike, options?: CalendarOptions): Crescent;
export function qibla(place: PlaceLike, date: CivilDate): Qibla;
/**
 * Loads the gazetteer (places.bin beside the module, or the given URL or
 * bytes); resolves to the number of places.  Needed once in a browser; in
 * Node place() and places() read the bundled file on first use.
 */
export function loadPlaces(source?: string | URL | ArrayBuffer | ArrayBufferView): Promise<number>;
/** The places a query names ("Name", "Name, Region", "Name, Country"), most populous first. */
export function places(query: string, limit?: number): GazetteerPlace[];
/** The most populous place a query names; VorlinError with the near names when none. */
export function place(query: string): GazetteerPlace;
/** The attribution the place data ask for, to be shown with them. */
export const placeDataCredit: string;

declare const vorlin: {
  version: string; EVENTS: EventName[]; VorlinError: typeof VorlinError;
  init: typeof init; methods: typeof methods; times: typeof times; toHijri: typeof toHijri;
  toCivil: typeof toCivil; crescent: typeof crescent; qibla: typeof qibla;
};
export default vorlin;
