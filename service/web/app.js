// Vorlin's page: today's prayer times, the month, the Hijri date, the qibla
// and the Moon for one place, all from the service's JSON API under /v1/.

const EVENTS = [
  ['imsak', 'Imsak'],
  ['fajr', 'Fajr'],
  ['sunrise', 'Sunrise'],
  ['dhuhr', 'Dhuhr'],
  ['asr', 'Asr'],
  ['maghrib', 'Maghrib'],
  ['isha', "Isha'a"],
  ['midnight', 'Midnight'],
];
const MONTH_EVENTS = ['fajr', 'sunrise', 'dhuhr', 'asr', 'maghrib', 'isha'];
const LABELS = Object.fromEntries(EVENTS);
const STORE_KEY = 'vorlin.city';
const SVG_NS = 'http://www.w3.org/2000/svg';

const $ = (id) => document.getElementById(id);

// ---------------------------------------------------------------- the API

class ApiError extends Error {
  constructor(message, parameter) {
    super(message);
    this.parameter = parameter;
  }
}

// At most a few requests at once: the browser then reuses its open
// connections instead of opening more than the service has threads for.
const MAX_IN_FLIGHT = 3;
let inFlight = 0;
const waiting = [];

async function slot() {
  if (inFlight < MAX_IN_FLIGHT) {
    inFlight++;
    return;
  }
  await new Promise((resolve) => waiting.push(resolve));
}

function release() {
  const nextInLine = waiting.shift();
  if (nextInLine) nextInLine();
  else inFlight--;
}

async function api(path, params) {
  const query = new URLSearchParams(params).toString();
  let response;
  await slot();
  try {
    response = await fetch(`/v1/${path}?${query}`, { headers: { Accept: 'application/json' } });
  } catch (e) {
    release();
    throw new ApiError('The service cannot be reached: ' + e.message);
  }
  let body = null;
  try {
    body = await response.json();
  } catch (e) {
    body = null;
  } finally {
    release();
  }
  if (!response.ok || body === null) {
    const text = body && body.error ? body.error : `The service answered ${response.status} ${response.statusText}`;
    throw new ApiError(text, body && body.parameter);
  }
  return body;
}

// ---------------------------------------------------------------- formatting

// "2026-12-08T05:49:34+00:00" -> "05:49": the place's clock, as the service wrote it.
const hhmm = (local) => (local ? local.slice(11, 16) : '—');

const civil = (ymd) => {
  const [y, m, d] = ymd.split('-').map(Number);
  return new Date(Date.UTC(y, m - 1, d));
};

const fmt = (options) => new Intl.DateTimeFormat('en-GB', { timeZone: 'UTC', ...options });
const longDate = fmt({ weekday: 'long', day: 'numeric', month: 'long', year: 'numeric' });
const monthYear = fmt({ month: 'long', year: 'numeric' });
const shortDate = fmt({ day: 'numeric', month: 'short', year: 'numeric' });

function twoDigits(n) {
  return String(n).padStart(2, '0');
}

function clock(seconds) {
  const s = Math.max(0, seconds);
  return `${Math.floor(s / 3600)}:${twoDigits(Math.floor(s / 60) % 60)}:${twoDigits(s % 60)}`;
}

function spokenDuration(seconds) {
  const minutes = Math.ceil(Math.max(0, seconds) / 60);
  const h = Math.floor(minutes / 60);
  const m = minutes % 60;
  const parts = [];
  if (h) parts.push(`${h} hour${h === 1 ? '' : 's'}`);
  if (m || !h) parts.push(`${m} minute${m === 1 ? '' : 's'}`);
  return parts.join(' ');
}

function placeLabel(p) {
  return [p.name, p.region, p.country].filter((part) => part).join(', ');
}

function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) {
    if (v === undefined || v === null || v === false) continue;
    if (k === 'class') node.className = v;
    else if (k === 'text') node.textContent = v;
    else node.setAttribute(k, v === true ? '' : String(v));
  }
  for (const child of children) node.append(child);
  return node;
}

function svg(tag, attrs = {}, text) {
  const node = document.createElementNS(SVG_NS, tag);
  for (const [k, v] of Object.entries(attrs)) node.setAttribute(k, String(v));
  if (text !== undefined) node.textContent = text;
  return node;
}

// ---------------------------------------------------------------- page state

const state = {
  city: null,          // what is asked of the API (city=...)
  generation: 0,       // which load is current (a newer choice cancels an older one)
  today: null,         // Y-M-D on the place's clock
  utcOffset: '+00:00', // the place's offset today
  next: null,          // /v1/next's answer
  target: 0,           // Date.now() value at which the next prayer falls
  refreshing: false,
  reloadedAt: 0,       // when the day last changed under the page
  lastSpoken: -1,
};

function setState(value) {
  document.body.dataset.state = value;
}

function showError(text) {
  const box = $('error');
  box.textContent = text;
  box.hidden = !text;
}

// ---------------------------------------------------------------- search

let searchTimer = 0;
let searchSeq = 0;
let matches = [];
let active = -1;

function closeMatches() {
  $('matches').hidden = true;
  $('matches').replaceChildren();
  $('search').setAttribute('aria-expanded', 'false');
  $('search').removeAttribute('aria-activedescendant');
  matches = [];
  active = -1;
}

function highlight(index) {
  const items = $('matches').children;
  if (!items.length) return;
  active = (index + items.length) % items.length;
  for (let i = 0; i < items.length; i++) items[i].setAttribute('aria-selected', i === active ? 'true' : 'false');
  $('search').setAttribute('aria-activedescendant', items[active].id);
  items[active].scrollIntoView({ block: 'nearest' });
}

async function search(text) {
  const seq = ++searchSeq;
  const status = $('search-status');
  if (text.trim().length < 2) {
    closeMatches();
    status.textContent = '';
    delete status.dataset.result;
    return;
  }
  let answer;
  try {
    answer = await api('places', { q: text.trim() });
  } catch (e) {
    if (seq !== searchSeq) return;
    closeMatches();
    status.textContent = e.message;
    status.dataset.result = 'error';
    return;
  }
  if (seq !== searchSeq) return;
  const places = [...answer.places].sort((a, b) => (b.population || 0) - (a.population || 0));
  closeMatches();
  if (!places.length) {
    status.textContent = `No place matches “${text.trim()}”.`;
    status.dataset.result = 'none';
    return;
  }
  matches = places;
  const list = $('matches');
  places.forEach((p, i) => {
    const label = placeLabel(p);
    const item = el('li', {
      id: `match-${i}`, role: 'option', 'aria-selected': 'false', class: 'match',
      'data-label': label, 'data-geonameid': p.geonameid,
    });
    item.append(el('span', { class: 'match-name', text: label }),
      el('span', { class: 'match-extra', text: p.countryName + (p.population ? ` · ${p.population.toLocaleString('en-GB')}` : '') }));
    item.addEventListener('mousedown', (event) => event.preventDefault());
    item.addEventListener('click', () => choose(p));
    list.append(item);
  });
  list.hidden = false;
  $('search').setAttribute('aria-expanded', 'true');
  const more = answer.total > places.length ? ` (of ${answer.total})` : '';
  status.textContent = `${places.length} match${places.length === 1 ? '' : 'es'}${more}.`;
  status.dataset.result = 'matches';
}

function choose(place) {
  const label = placeLabel(place);
  closeMatches();
  $('search').value = '';
  $('search-status').textContent = '';
  delete $('search-status').dataset.result;
  load(label);
}

function setUpSearch() {
  const input = $('search');
  input.addEventListener('input', () => {
    clearTimeout(searchTimer);
    searchTimer = setTimeout(() => search(input.value), 180);
  });
  input.addEventListener('keydown', (event) => {
    if (event.key === 'ArrowDown' && matches.length) {
      event.preventDefault();
      highlight(active + 1);
    } else if (event.key === 'ArrowUp' && matches.length) {
      event.preventDefault();
      highlight(active - 1);
    } else if (event.key === 'Escape') {
      closeMatches();
    }
  });
  input.addEventListener('blur', () => setTimeout(closeMatches, 150));
  $('search-form').addEventListener('submit', async (event) => {
    event.preventDefault();
    if (matches.length) {
      choose(matches[Math.max(active, 0)]);
    } else if (input.value.trim()) {
      clearTimeout(searchTimer);
      await search(input.value);
      if (matches.length) choose(matches[0]);
    }
  });
}

// ---------------------------------------------------------------- loading a place

async function load(city, { quiet = false } = {}) {
  const generation = ++state.generation;
  state.city = city;
  showError('');
  setState('loading');
  $('intro').hidden = true;
  if (!quiet) document.body.dataset.city = city;

  const current = () => generation === state.generation;
  try {
    // /v1/next first: it is never cached, and its "now" is today's date on the place's clock
    const nextPrayer = await api('next', { city });
    const receivedAt = Date.now();
    if (!current()) return;
    const date = nextPrayer.now.slice(0, 10);
    const month = date.slice(0, 7);

    const [day, monthTimes, hijri, qibla, crescent, moon] = await Promise.all([
      api('times', { city, date }),
      api('times', { city, month }),
      api('hijri', { city, date }),
      api('qibla', { city, date }),
      api('crescent', { city, date }).catch((e) => e),
      api('moon', { city, month }).catch((e) => e),
    ]);
    if (!current()) return;
    const today = day.days[0];
    state.today = today.date;
    state.utcOffset = nextPrayer.now.slice(19) || today.utcOffset;
    let moonNext = moon;
    if (!(moon instanceof Error) && !futureNewMoon(moon, nextPrayer.now)) {
      moonNext = await api('moon', { city, month: nextMonth(month) }).catch((e) => e);
      if (!current()) return;
    }

    renderPlace(day, city);
    renderToday(today);
    renderDates(today, hijri);
    renderMonth(monthTimes, today.date);
    renderNext(nextPrayer, receivedAt);
    renderQibla(qibla);
    renderMoon(crescent, moonNext instanceof Error ? moon : moonNext, nextPrayer.now, day.place.latitude);

    $('content').hidden = false;
    document.body.dataset.city = city;
    document.body.dataset.today = today.date;
    rememberCity(city);
    setState('ready');
  } catch (e) {
    if (!current()) return;
    showError(e.message);
    if ($('content').hidden) $('intro').hidden = false;
    setState('error');
  }
}

function nextMonth(ym) {
  let [y, m] = ym.split('-').map(Number);
  m += 1;
  if (m > 12) { m = 1; y += 1; }
  return `${y}-${twoDigits(m)}`;
}

function rememberCity(city) {
  try {
    localStorage.setItem(STORE_KEY, city);
  } catch (e) {
    // storage may be off (private windows): the URL still carries the place
  }
  const url = new URL(window.location.href);
  url.searchParams.set('city', city);
  history.replaceState(null, '', url.pathname + url.search + url.hash);
  document.title = `${city} · prayer times · Vorlin`;
}

// ---------------------------------------------------------------- rendering

function renderPlace(answer, city) {
  const p = answer.place;
  $('place-name').textContent = city.includes(',') ? city : p.name;
  const lat = `${Math.abs(p.latitude).toFixed(2)}° ${p.latitude >= 0 ? 'N' : 'S'}`;
  const lon = `${Math.abs(p.longitude).toFixed(2)}° ${p.longitude >= 0 ? 'E' : 'W'}`;
  $('place-meta').textContent = `${lat}, ${lon} · ${p.height} m · ${p.zone || 'UTC' + answer.days[0].utcOffset}`;
  const s = answer.settings;
  const method = s.method ? `method ${s.method}` : `Fajr ${s.fajrAngle}°, Isha'a ${s.ishaAngle !== null ? s.ishaAngle + '°' : s.ishaMinutes + ' min'}`;
  $('month-settings').textContent = `Times on the place's clock (UTC${answer.days[0].utcOffset}); ${method}; Asr ${s.asr}; high latitudes: ${s.highLatitude}.`;
}

function renderToday(day) {
  const list = $('today-times');
  list.replaceChildren();
  const filled = [];
  for (const [event, label] of EVENTS) {
    const local = day.times[event];
    const optional = event === 'imsak' || event === 'midnight';
    const item = el('li', {
      class: `time${optional ? ' minor' : ''}`, 'data-event': event, 'data-local': local || '',
    });
    item.append(el('span', { class: 'time-name', text: label }),
      el('time', { class: 'time-value', datetime: local || undefined, text: hhmm(local) }));
    if (day.filled && day.filled[event]) {
      item.classList.add('filled');
      filled.push(label);
    }
    list.append(item);
  }
  const missing = Object.keys(day.missing || {}).filter((k) => LABELS[k]).map((k) => LABELS[k]);
  const notes = [];
  if (missing.length) notes.push(`No ${missing.join(', ')} today at this latitude.`);
  if (filled.length) notes.push(`${filled.join(', ')}: by the high-latitude rule.`);
  if (day.summerTime) notes.push('Summer time.');
  $('times-note').textContent = notes.join(' ');
}

function renderDates(day, hijri) {
  const g = $('gregorian');
  g.textContent = longDate.format(civil(day.date));
  g.dataset.date = day.date;
  const h = hijri.hijri;
  const node = $('hijri');
  node.textContent = `${h.day} ${h.monthName} ${h.year} AH`;
  node.dataset.hijri = `${h.year}-${twoDigits(h.month)}-${twoDigits(h.day)}`;
  node.title = `Hijri calendar: ${hijri.calendar}`;
}

function renderMonth(answer, today) {
  const first = answer.days[0].date;
  const firstH = answer.days[0].hijri;
  const lastH = answer.days[answer.days.length - 1].hijri;
  const hijriSpan = firstH.year === lastH.year
    ? `${firstH.monthName} – ${lastH.monthName} ${lastH.year} AH`
    : `${firstH.monthName} ${firstH.year} – ${lastH.monthName} ${lastH.year} AH`;
  $('month-title').replaceChildren(
    document.createTextNode(`${monthYear.format(civil(first))} · ${$('place-name').textContent}`),
    el('span', { class: 'month-hijri', text: firstH.month === lastH.month ? `${lastH.monthName} ${lastH.year} AH` : hijriSpan }));
  const body = $('month-body');
  body.replaceChildren();
  for (const day of answer.days) {
    const isToday = day.date === today;
    const row = el('tr', { 'data-date': day.date, class: isToday ? 'today-row' : undefined, 'aria-current': isToday ? 'date' : undefined });
    const date = civil(day.date);
    row.append(el('th', { scope: 'row', class: 'day' },
      el('span', { class: 'day-num', text: String(date.getUTCDate()) }),
      el('span', { class: 'day-week', text: ` ${day.weekday}` })));
    row.append(el('td', { class: 'hijri-cell', 'data-hijri': day.hijri.date, text: `${day.hijri.day} ${day.hijri.monthName}` }));
    for (const event of MONTH_EVENTS) {
      const local = day.times[event];
      row.append(el('td', { 'data-event': event, 'data-local': local || '', text: hhmm(local) }));
    }
    body.append(row);
  }
}

function renderNext(answer, receivedAt) {
  state.next = answer;
  state.target = receivedAt + answer.next.inSeconds * 1000;
  state.lastSpoken = -1;
  for (const item of $('today-times').children) {
    const isCurrent = item.dataset.event === answer.current.name;
    item.classList.toggle('current', isCurrent);
    if (isCurrent) {
      item.dataset.current = 'true';
      item.setAttribute('aria-current', 'time');
    } else {
      delete item.dataset.current;
      item.removeAttribute('aria-current');
    }
    item.classList.toggle('upcoming', item.dataset.event === answer.next.name && answer.next.time === item.dataset.local);
  }
  $('next-name').textContent = LABELS[answer.next.name] || answer.next.name;
  $('next-name').dataset.event = answer.next.name;
  const time = $('next-time');
  time.textContent = hhmm(answer.next.time);
  time.setAttribute('datetime', answer.next.time);
  tick();
}

function renderQibla(answer) {
  const deg = answer.direction;
  const shown = deg.toFixed(1);
  const box = $('compass');
  box.replaceChildren();
  box.append(svg('circle', { r: 100, class: 'rose-face' }));
  box.append(svg('circle', { r: 84, class: 'rose-ring' }));
  for (let a = 0; a < 360; a += 10) {
    const major = a % 90 === 0;
    const mid = a % 30 === 0;
    const len = major ? 14 : mid ? 9 : 5;
    const rad = (a * Math.PI) / 180;
    const x1 = Math.sin(rad) * 100, y1 = -Math.cos(rad) * 100;
    const x2 = Math.sin(rad) * (100 - len), y2 = -Math.cos(rad) * (100 - len);
    box.append(svg('line', { x1: x1.toFixed(2), y1: y1.toFixed(2), x2: x2.toFixed(2), y2: y2.toFixed(2), class: major ? 'tick major' : 'tick' }));
  }
  for (const [letter, a] of [['N', 0], ['E', 90], ['S', 180], ['W', 270]]) {
    const rad = (a * Math.PI) / 180;
    box.append(svg('text', {
      x: (Math.sin(rad) * 68).toFixed(2), y: (-Math.cos(rad) * 68).toFixed(2),
      class: letter === 'N' ? 'cardinal north' : 'cardinal', 'text-anchor': 'middle', 'dominant-baseline': 'central',
    }, letter));
  }
  const needle = svg('g', { class: 'needle', transform: `rotate(${deg.toFixed(3)})` });
  needle.append(svg('line', { x1: 0, y1: 18, x2: 0, y2: -70, class: 'needle-shaft' }));
  needle.append(svg('path', { d: 'M 0 -92 L 10 -70 L -10 -70 Z', class: 'needle-head' }));
  // the Kaaba at the needle's tip, kept upright
  const kaaba = svg('g', { transform: `translate(0 -54) rotate(${(-deg).toFixed(3)})` });
  kaaba.append(svg('rect', { x: -7, y: -7, width: 14, height: 14, rx: 1.5, class: 'kaaba' }));
  kaaba.append(svg('rect', { x: -7, y: -3.5, width: 14, height: 2.5, class: 'kaaba-band' }));
  needle.append(kaaba);
  box.append(needle);
  box.append(svg('circle', { r: 6, class: 'hub' }));

  const text = $('qibla-text');
  text.replaceChildren(el('span', { id: 'qibla-degrees', 'data-degrees': shown, text: `${shown}°` }),
    document.createTextNode(' from true north'));
  const parts = [`${Math.round(answer.distanceKm).toLocaleString('en-GB')} km to the Kaaba`];
  if (typeof answer.compass === 'number') parts.push(`compass bearing ${answer.compass.toFixed(1)}° (declination ${answer.declination >= 0 ? '+' : ''}${answer.declination.toFixed(1)}°)`);
  $('qibla-more').textContent = parts.join(' · ');
}

function futureNewMoon(moon, now) {
  const at = Date.parse(now);
  return (moon.newMoons || []).find((m) => Date.parse(m.geocentric) > at);
}

function phaseName(k, waxing) {
  if (k < 0.02) return 'New moon';
  if (k > 0.98) return 'Full moon';
  if (Math.abs(k - 0.5) < 0.04) return waxing ? 'First quarter' : 'Last quarter';
  if (k < 0.5) return waxing ? 'Waxing crescent' : 'Waning crescent';
  return waxing ? 'Waxing gibbous' : 'Waning gibbous';
}

function moonPath(k, litRight) {
  const r = 90;
  const rx = (r * Math.abs(1 - 2 * k)).toFixed(2);
  const outer = litRight ? 1 : 0;
  const inner = k < 0.5 ? 1 - outer : outer;
  return `M 0 ${-r} A ${r} ${r} 0 0 ${outer} 0 ${r} A ${rx} ${r} 0 0 ${inner} 0 ${-r} Z`;
}

function renderMoon(crescent, moon, now, latitude) {
  const box = $('moon');
  box.replaceChildren();
  const text = $('moon-text');
  const more = $('moon-more');
  if (crescent instanceof Error || !((crescent.atSunset && crescent.ageHours) || (crescent.conjunction && crescent.conjunction.geocentric))) {
    text.textContent = 'The Moon cannot be shown for this place today.';
    more.textContent = crescent instanceof Error ? crescent.message : crescent.reason || '';
    return;
  }
  let k;
  let ageHours;
  let approximate = false;
  if (crescent.atSunset && crescent.ageHours) {
    k = crescent.atSunset.illuminated;
    ageHours = crescent.ageHours.geocentric;
  } else {
    // no sunset here today (polar day or night): the phase from the Moon's age
    ageHours = (Date.parse(now) - Date.parse(crescent.conjunction.geocentric)) / 3600000;
    k = (1 - Math.cos((2 * Math.PI * ageHours) / (29.530589 * 24))) / 2;
    approximate = true;
  }
  k = Math.min(1, Math.max(0, k));
  const waxing = ageHours >= 0;
  const litRight = waxing !== latitude < 0; // seen from the south, the Moon is mirrored
  box.append(svg('circle', { r: 100, class: 'moon-sky' }));
  box.append(svg('circle', { r: 90, class: 'moon-dark' }));
  box.append(svg('path', { d: moonPath(k, litRight), class: 'moon-lit' }));
  box.append(svg('circle', { r: 90, class: 'moon-rim' }));
  const percent = Math.round(k * 100);
  box.dataset.illuminated = String(k);
  box.dataset.waxing = String(waxing);
  text.replaceChildren(el('span', { id: 'moon-percent', 'data-percent': percent, text: `${approximate ? '≈ ' : ''}${percent}%` }),
    document.createTextNode(`${approximate ? 'lit, from the Moon\'s age' : 'lit at sunset'} · ${phaseName(k, waxing)}`));
  const lines = [];
  const newMoon = moon instanceof Error ? null : futureNewMoon(moon, now);
  if (newMoon) {
    lines.push(el('span', { id: 'new-moon', 'data-local': newMoon.geocentric,
      text: `Next new moon: ${shortDate.format(civil(newMoon.geocentric.slice(0, 10)))}, ${hhmm(newMoon.geocentric)}` }));
    if (newMoon.monthStart) {
      lines.push(el('br'), el('span', { text: `Hijri month expected from ${shortDate.format(civil(newMoon.monthStart))}` }));
    }
  } else {
    lines.push(document.createTextNode(`The Moon is ${(ageHours / 24).toFixed(1)} days from the new moon`));
  }
  more.replaceChildren(...lines);
}

// ---------------------------------------------------------------- the countdown

function placeDate() {
  const m = /^([+-])(\d\d):(\d\d)$/.exec(state.utcOffset || '+00:00');
  const offset = m ? (m[1] === '-' ? -1 : 1) * (Number(m[2]) * 60 + Number(m[3])) : 0;
  return new Date(Date.now() + offset * 60000).toISOString().slice(0, 10);
}

async function refreshNext() {
  if (state.refreshing || !state.city) return;
  state.refreshing = true;
  const generation = state.generation;
  try {
    if (state.today && placeDate() !== state.today && Date.now() - state.reloadedAt > 60000) {
      state.reloadedAt = Date.now();
      await load(state.city, { quiet: true });
      return;
    }
    const answer = await api('next', { city: state.city });
    const receivedAt = Date.now();
    if (generation !== state.generation) return;
    if (answer.next.inSeconds <= 0) answer.next.inSeconds = 1;
    showError('');
    renderNext(answer, receivedAt);
  } catch (e) {
    showError(e.message);
    state.target = Date.now() + 30000; // try again later
  } finally {
    state.refreshing = false;
  }
}

function tick() {
  if (!state.next) return;
  const left = Math.ceil((state.target - Date.now()) / 1000);
  const text = clock(left);
  if ($('countdown').textContent !== text) $('countdown').textContent = text;
  const minute = Math.ceil(left / 60);
  if (minute !== state.lastSpoken) {
    state.lastSpoken = minute;
    const name = LABELS[state.next.next.name] || state.next.next.name;
    $('countdown-spoken').textContent = `${name} in ${spokenDuration(left)}`;
  }
  const dayChanged = state.today && placeDate() !== state.today && Date.now() - state.reloadedAt > 60000;
  if (left <= 0 || dayChanged) refreshNext();
}

// ---------------------------------------------------------------- start

function start() {
  setUpSearch();
  $('print').addEventListener('click', () => window.print());
  setInterval(tick, 250);
  const fromUrl = new URLSearchParams(window.location.search).get('city');
  let stored = null;
  try {
    stored = localStorage.getItem(STORE_KEY);
  } catch (e) {
    stored = null;
  }
  const city = (fromUrl && fromUrl.trim()) || stored;
  if (city) {
    load(city);
  } else {
    $('intro').hidden = false;
    setState('idle');
    $('search').focus();
  }
}

start();
