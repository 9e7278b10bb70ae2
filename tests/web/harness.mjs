// What every browser test shares: the page served on 127.0.0.1, Debian's
// Chromium started headless on a fresh or a kept profile, waits on the page,
// pictures of the field, the mouse and touch at field coordinates, and a
// probe on what the page sends to its speakers.
//
// Read the page through readPage and waitUntil, and picture the field with
// screenshotField, not with page.evaluate, locators or page.screenshot:
// Playwright runs those as if the player had clicked, which lets the page
// start its sound before any real click.
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before } from 'node:test';
import { fileURLToPath } from 'node:url';


import { chromium } from 'playwright-core';

import { serveFolder } from '../../tools/web/serve.mjs';
import { endPictureFailures, kField, pixelAt, shipEyeNear } from './desktop_measures.mjs';
import { decodePng } from './picture.mjs';

process.env.PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD = '1';

export const kRepository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const kBuiltPage = process.env.VANTOREL_WEB_DIR ?? path.join(kRepository, 'build-web');
const kChromium = process.env.VANTOREL_CHROMIUM ?? '/usr/bin/chromium';
// The desktop's build, whose game and checker play what the page records.
export const kDesktopBuild = process.env.VANTOREL_DESKTOP_BUILD ?? path.join(kRepository, 'build');
const kDesktopRunLimit = 120000; // ms
const kChromiumFlags = ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--disable-background-networking', '--disable-component-update', '--no-first-run',
  ...(process.getuid?.() === 0 ? ['--no-sandbox'] : [])];
const kLongestWait = 15000; // ms: a page that has not started by then never will
const kPollMilliseconds = 20;

// Viewports: the desktop's 1024 by 768 field with the controls beside it, and
// a phone held sideways.
export const kDesktopViewport = { width: 1112, height: 768, pixelRatio: 1 };
export const kPhoneViewport = { width: 844, height: 390, pixelRatio: 3, touch: true };

export function startServer(folder = kBuiltPage) {
  return serveFolder(folder);
}

function browserOptions(extraFlags = []) {
  return { executablePath: kChromium, headless: true, args: [...kChromiumFlags, ...extraFlags] };
}

function contextOptions({ width, height, pixelRatio = 1, touch = false } = kDesktopViewport) {
  return { viewport: { width, height }, deviceScaleFactor: pixelRatio, hasTouch: touch,
           isMobile: touch };
}

// Counts animation frames and copies the field as a frame leaves it drawn,
// and records what reaches the speakers: every AudioContext's destination
// becomes a node that passes the sound on and keeps a copy while a test listens.
function instrumentPage() {
  // The field's backing store as a PNG data URL; WebGL keeps a frame's
  // picture only until the browser shows it, so the copy is made at once.
  const copyField = () => {
    const field = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = field.width;
    copy.height = field.height;
    copy.getContext('2d').drawImage(field, 0, 0);
    return copy.toDataURL('image/png');
  };
  // The last frame as it was drawn, for still screens that draw no other.
  const lastFrame = document.createElement('canvas');
  const keepFrame = () => {
    const field = document.getElementById('canvas');
    lastFrame.width = field.width;
    lastFrame.height = field.height;
    lastFrame.getContext('2d').drawImage(field, 0, 0);
  };
  window.__lastFrame = () => lastFrame.toDataURL('image/png');
  // Whether the last frame was drawn at the field's present size.
  window.__lastFrameFits = () => window.__framesShown > 0 &&
    lastFrame.width === document.getElementById('canvas').width &&
    lastFrame.height === document.getElementById('canvas').height;
  // The next `count` frames, each copied as it leaves the program's hands.
  const waitingForFrames = [];
  window.__nextFrames = (count) => new Promise((resolve) => {
    waitingForFrames.push({ count, copies: [], resolve });
  });
  const copyForWaiters = () => {
    for (const waiter of waitingForFrames.splice(0)) {
      const copy = document.createElement('canvas');
      copy.width = lastFrame.width;
      copy.height = lastFrame.height;
      copy.getContext('2d').drawImage(lastFrame, 0, 0);
      waiter.copies.push(copy);
      if (waiter.copies.length < waiter.count) {
        waitingForFrames.push(waiter);
      } else {
        waiter.resolve(waiter.copies.map((canvas) => canvas.toDataURL('image/png')));
      }
    }
  };
  window.__copyField = (afterFrame) => (afterFrame
    ? window.__nextFrames(1).then(([copy]) => copy) : copyField());
  window.__framesShown = 0;
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => requestFrame((time) => {
    window.__framesShown += 1;
    callback(time);
    keepFrame();
    copyForWaiters();
  });

  const Context = window.AudioContext;
  const heard = []; // [left, right] blocks
  let listening = false;
  let secondsHeard = 0;
  let rate = 0;
  const kChunkFrames = 4096;
  const kFullScale = 32767 / 32768;
  const kWindowsPerSecond = 100;
  class ProbedAudioContext extends Context {
    constructor(...options) {
      super(...options);
      const tap = this.createGain();
      const recorder = this.createScriptProcessor(kChunkFrames, 2, 2);
      const silence = this.createGain();
      silence.gain.value = 0;
      tap.connect(super.destination);
      tap.connect(recorder);
      recorder.connect(silence);
      silence.connect(super.destination);
      recorder.onaudioprocess = (event) => {
        if (!listening) {
          return;
        }
        const input = event.inputBuffer;
        heard.push([0, 1].map((channel) => Float32Array.from(input.getChannelData(channel))));
        secondsHeard += input.duration;
        rate = input.sampleRate;
      };
      Object.defineProperty(this, 'destination', { value: tap });
    }
  }
  window.AudioContext = ProbedAudioContext;
  window.webkitAudioContext = ProbedAudioContext;
  // A sound, as its left and right samples at `frameRate`: its level over all
  // and by the 10 ms in dB of full scale, its peak, its samples at full scale,
  // and the most samples in a row of a channel at `ceiling` or within `within`
  // below it (a limiter that clamps its peaks flat leaves long runs).
  window.__measureSound = ([left, right], frameRate, { ceiling = 1, within = 0 } = {}) => {
    const size = Math.max(1, Math.round(frameRate / kWindowsPerSecond));
    const figures = { samples: 2 * left.length, peak: 0, fullScale: 0, levels: [], longestRunAtCeiling: 0 };
    const runs = [0, 0];
    let squares = 0;
    let windowSquares = 0;
    for (let frame = 0; frame < left.length; ++frame) {
      [left[frame], right[frame]].forEach((sample, channel) => {
        const magnitude = Math.abs(sample);
        windowSquares += sample * sample;
        figures.peak = Math.max(figures.peak, magnitude);
        figures.fullScale += magnitude >= kFullScale ? 1 : 0;
        runs[channel] = magnitude >= ceiling - within ? runs[channel] + 1 : 0;
        figures.longestRunAtCeiling = Math.max(figures.longestRunAtCeiling, runs[channel]);
      });
      if ((frame + 1) % size === 0) {
        figures.levels.push(10 * Math.log10(Math.max(windowSquares / (2 * size), 1e-20)));
        squares += windowSquares;
        windowSquares = 0;
      }
    }
    figures.rms = left.length ? Math.sqrt((squares + windowSquares) / figures.samples) : 0;
    return figures;
  };
  const joined = (channel) => {
    const samples = new Float32Array(heard.reduce((sum, block) => sum + block[channel].length, 0));
    heard.reduce((at, block) => { samples.set(block[channel], at); return at + block[channel].length; }, 0);
    return samples;
  };
  window.__audioProbe = {
    start() {
      heard.length = 0;
      secondsHeard = 0;
      listening = true;
    },
    secondsHeard: () => secondsHeard,
    stop(ceiling) {
      listening = false;
      return window.__measureSound([joined(0), joined(1)], rate, ceiling);
    },
  };
}

async function instrumented(context, instruments = instrumentPage) {
  await context.addInitScript(instruments);
  return context;
}

// A browser on a fresh profile of its own; open contexts (windows) in it with
// openContext. `extraFlags` go to Chromium after the harness's own.
export function launchBrowser(extraFlags = []) {
  return chromium.launch(browserOptions(extraFlags));
}

// `instruments` runs in every page before its own scripts: the harness's
// own unless a measurement wants lighter ones.
export async function openContext(browser, viewport = kDesktopViewport, instruments = instrumentPage) {
  return instrumented(await browser.newContext(contextOptions(viewport)), instruments);
}

// A browser on a profile kept in `folder`, which a later launch may open
// again; closing the returned context closes the browser.
export async function launchWithProfile(folder, viewport = kDesktopViewport) {
  return instrumented(await chromium.launchPersistentContext(folder, {
    ...browserOptions(), ...contextOptions(viewport) }));
}

// A fresh folder for launchWithProfile, and its removal.
export async function makeProfileFolder() {
  return mkdtemp(path.join(tmpdir(), 'vantorel-profile-'));
}

export function removeProfileFolder(folder) {
  return rm(folder, { recursive: true, force: true });
}

// What the page gives the player to save while `action` runs: { name, bytes }.
export async function downloadDuring(page, action) {
  const [download] = await Promise.all([page.waitForEvent('download'), action()]);
  const file = await download.path();
  return { name: download.suggestedFilename(), bytes: await readFile(file) };
}

// What `read(argument)` returns in the page, asked through DevTools without
// the click Playwright's own evaluation would add.
export async function readPage(page, read, argument) {
  page.devTools ??= await page.context().newCDPSession(page);
  const { result, exceptionDetails } = await page.devTools.send('Runtime.evaluate', {
    expression: `(${read})(${JSON.stringify(argument)})`, returnByValue: true,
    awaitPromise: true });
  if (exceptionDetails) {
    throw new Error(`in the page: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
  }
  return result.value;
}

// Waits until `holds(argument)` is true in the page, `longest` ms at most.
export async function waitUntil(page, holds, argument, longest = kLongestWait) {
  const deadline = Date.now() + longest;
  while (!(await readPage(page, holds, argument))) {
    if (Date.now() > deadline) {
      throw new Error(`waited ${longest} ms in vain for ${holds}`);
    }
    await new Promise((resolve) => setTimeout(resolve, kPollMilliseconds));
  }
}

// Opens the page and waits until it has left the loading state; page.messages
// collects what the page prints to its console.
export async function openPage(context, url) {
  const page = await context.newPage();
  page.messages = [];
  page.on('console', (message) => page.messages.push(message.text()));
  page.on('pageerror', (error) => page.messages.push(`page error: ${error.message}`));
  await page.goto(url);
  await waitUntil(page, () => document.body.dataset.state !== 'loading');
  return page;
}

export function pageState(page) {
  return readPage(page, () => document.body.dataset.state);
}

// Waits until the page has shown `count` more frames.
export async function waitForFrames(page, count = 3) {
  const start = await readPage(page, () => window.__framesShown);
  await waitUntil(page, (until) => window.__framesShown >= until, start + count);
}

// The places of the field the game's tests click, in world units.
export const kSun = { x: 0, y: 40 };
export const kShipStart = { x: 0, y: 48 };
export const kPlayAgainWords = { x: 0, y: 32 }; // "Click to play again", below the sun
const kAnywhere = { x: 0, y: 20 };

// Opens the game and waits for its title, drawn at the field's size.
export async function openGame(context, url) {
  const page = await openPage(context, url);
  await waitUntil(page, () => window.__lastFrameFits());
  return page;
}

// A click where the screen changes, by `clickWith` (a finger's tap, say);
// the frame that shows the change.
export async function clickToNextScreen(page, point = kAnywhere, clickWith = click) {
  const before = await readPage(page, () => window.__framesShown);
  await clickWith(page, point);
  await waitUntil(page, (shown) => window.__framesShown > shown, before);
  return lastFrame(page);
}

// From the title, through the instructions, into play, by `clickWith`: the
// first play frame.
export async function reachPlay(page, clickWith = click) {
  await clickToNextScreen(page, kAnywhere, clickWith);
  await clickToNextScreen(page, kAnywhere, clickWith);
  return screenshotField(page);
}

// Starts a server of the built page and a browser (with `extraFlags`) before
// a suite's tests and stops them after; `withGame` gives one test the game in
// a window of its own, with `prepare` run in its pages before their scripts,
// closed when the test is done with it.
export function gameSuite(extraFlags = []) {
  const suite = {};
  before(async () => {
    suite.server = await startServer();
    suite.browser = await launchBrowser(extraFlags);
  });
  after(async () => {
    await suite.browser?.close();
    await suite.server?.close();
  });
  suite.withGame = async (viewport, use, prepare = () => {}) => {
    const context = await openContext(suite.browser, viewport);
    try {
      await context.addInitScript(prepare);
      await use(await openGame(context, suite.server.url));
    } finally {
      await context.close();
    }
  };
  return suite;
}

// The field's box in CSS pixels of the page.
export function fieldBox(page) {
  return readPage(page, () => {
    const { x, y, width, height } = document.getElementById('canvas').getBoundingClientRect();
    return { x, y, width, height };
  });
}

// The page point showing a field point ({ x, y } in world units).
export async function pagePoint(page, point) {
  const box = await fieldBox(page);
  return {
    x: box.x + ((point.x - kField.left) / (kField.right - kField.left)) * box.width,
    y: box.y + ((kField.top - point.y) / (kField.top - kField.bottom)) * box.height,
  };
}

function pictureOf(dataUrl) {
  return decodePng(Buffer.from(dataUrl.slice(dataUrl.indexOf(',') + 1), 'base64'));
}

// The field as the program drew it, a texel per device pixel: { width,
// height, rgba }, taken from the next frame where the program runs.
export async function screenshotField(page) {
  const running = await pageState(page) === 'running';
  return pictureOf(await readPage(page, (afterFrame) => window.__copyField(afterFrame), running));
}

// The last frame the program drew, as screenshotField gives it: what a still
// screen shows, which draws no frame until something changes.
export async function lastFrame(page) {
  return pictureOf(await readPage(page, () => window.__lastFrame()));
}

// The whole page as the browser shows it, as PNG bytes, taken through
// DevTools, which hands the page no click.
export async function screenshotPage(page) {
  page.devTools ??= await page.context().newCDPSession(page);
  const { data } = await page.devTools.send('Page.captureScreenshot', { format: 'png' });
  return Buffer.from(data, 'base64');
}

// The part of a picture `box` covers, in whole pixels.
export function cropPicture(picture, box) {
  const [left, top] = [Math.round(box.x), Math.round(box.y)];
  const [width, height] = [Math.round(box.width), Math.round(box.height)];
  const rgba = new Uint8Array(width * height * 4);
  for (let row = 0; row < height; ++row) {
    const from = ((top + row) * picture.width + left) * 4;
    rgba.set(picture.rgba.subarray(from, from + width * 4), row * width * 4);
  }
  return { width, height, rgba };
}

// The next `count` frames the program draws, one after another.
export async function nextFrames(page, count) {
  return (await readPage(page, (wanted) => window.__nextFrames(wanted), count)).map(pictureOf);
}

// Where a field point falls in a screenshot of the field, as fractions for colourAt.
export function shotFractions(point) {
  return [(point.x - kField.left) / (kField.right - kField.left),
          (kField.top - point.y) / (kField.top - kField.bottom)];
}

// The mouse, as a player moves it, at field points.
export async function moveTo(page, point, steps = 1) {
  const { x, y } = await pagePoint(page, point);
  await page.mouse.move(x, y, { steps });
}

export async function press(page, point) {
  await moveTo(page, point);
  await page.mouse.down();
}

export async function release(page, point) {
  if (point) {
    await moveTo(page, point);
  }
  await page.mouse.up();
}

// A plain quick click: down and up with nothing between.
export async function click(page, point) {
  await press(page, point);
  await page.mouse.up();
}

// Holds the button down on the point for `milliseconds` of real time.
export async function hold(page, point, milliseconds) {
  await press(page, point);
  await page.waitForTimeout(milliseconds);
  await page.mouse.up();
}

// Fingers through DevTools' Input.dispatchTouchEvent, one at each point:
// `kind` is touchStart, touchMove or touchEnd; a touchEnd lifts every finger.
export async function touch(page, kind, ...points) {
  page.devTools ??= await page.context().newCDPSession(page);
  const touchPoints = kind === 'touchEnd' ? [] : await Promise.all(points.map(
    async (point, id) => ({ ...await pagePoint(page, point), id })));
  await page.devTools.send('Input.dispatchTouchEvent', { type: kind, touchPoints });
}

export async function tap(page, point) {
  await touch(page, 'touchStart', point);
  await touch(page, 'touchEnd');
}

// The two ways a player points, each where it is used: the mouse in a
// desktop-sized window, and a finger on a phone held sideways.
export const kMouse = { name: 'mouse', viewport: kDesktopViewport, click, down: press,
                        move: moveTo, up: (page) => release(page) };
export const kFinger = { name: 'finger', viewport: kPhoneViewport, click: tap,
                         down: (page, point) => touch(page, 'touchStart', point),
                         move: (page, point) => touch(page, 'touchMove', point),
                         up: (page) => touch(page, 'touchEnd') };

// The audio probe: what the page sends to its speakers between the two calls,
// as { samples, rms, peak, fullScale, levels, longestRunAtCeiling } over both
// channels, full scale being 1: `levels` holds the level of every 10 ms in dB,
// and the run is counted at `ceiling` or within `within` below it.
export function startListening(page) {
  return readPage(page, () => window.__audioProbe.start());
}

export function stopListening(page, ceiling = {}) {
  return readPage(page, (limit) => window.__audioProbe.stop(limit), ceiling);
}

// What the page sends in `milliseconds` of real time: nothing at all while
// the browser holds its sound back.
export async function listenFor(page, milliseconds) {
  await startListening(page);
  await page.waitForTimeout(milliseconds);
  return stopListening(page);
}

// The next `seconds` of sound the page sends, however long a busy machine
// takes to deliver them.
export async function hear(page, seconds, ceiling = {}) {
  await startListening(page);
  await waitUntil(page, (wanted) => window.__audioProbe.secondsHeard() >= wanted, seconds);
  return stopListening(page, ceiling);
}

// The level of a sound file as the page's browser decodes it: { seconds, levelDb }.
export async function soundFileLevel(page, file) {
  const bytes = (await readFile(file)).toString('base64');
  return readPage(page, async (encoded) => {
    const data = Uint8Array.from(atob(encoded), (c) => c.charCodeAt(0));
    const sound = await new OfflineAudioContext(1, 1, 48000).decodeAudioData(data.buffer);
    let squares = 0;
    for (let channel = 0; channel < sound.numberOfChannels; ++channel) {
      for (const sample of sound.getChannelData(channel)) {
        squares += sample * sample;
      }
    }
    const mean = squares / (sound.length * sound.numberOfChannels);
    return { seconds: sound.duration, levelDb: 10 * Math.log10(Math.max(mean, 1e-20)) };
  }, bytes);
}

// What a player sees of the ship, and does with it.
// The ship flies into the sun in well under a second, and a flight across the
// field takes about four seconds, ending within two units of its target.
const kLongestDeath = 5000;
const kLongestFlight = 8000;
const kArrivalUnits = 3;
// The end picture takes no click for its first half second.
const kEndPictureStands = 700;

export function fieldPixel(shot, point) {
  const [across, down] = shotFractions(point);
  return [Math.round(across * shot.width), Math.round(down * shot.height)];
}

// Where the ship's eye is seen near `near`, in world units, or null.
export function shipSeen(shot, near = kShipStart) {
  const eye = shipEyeNear(shot, ...fieldPixel(shot, near));
  return eye && { x: kField.left + (eye.x / shot.width) * (kField.right - kField.left),
                  y: kField.top - (eye.y / shot.height) * (kField.top - kField.bottom) };
}

export function isNear(seen, point) {
  return seen !== null && Math.hypot(seen.x - point.x, seen.y - point.y) <= kArrivalUnits;
}

// Where the ship is seen once it has reached `point`, or last seen by the time
// it would have.
export async function shipArriving(page, point) {
  const deadline = Date.now() + kLongestFlight;
  let seen = null;
  while (!isNear(seen, point) && Date.now() < deadline) {
    seen = shipSeen(await screenshotField(page), point);
  }
  return seen;
}

// Mean change per channel between two pictures in the square around
// `point`, `side` units wide.
export function changeAround(first, second, point, side) {
  const [centreX, centreY] = fieldPixel(first, point);
  const half = Math.round((side / 100) * first.width);
  let sum = 0;
  let count = 0;
  for (let y = centreY - half; y < centreY + half; ++y) {
    for (let x = centreX - half; x < centreX + half; ++x) {
      const a = pixelAt(first, x, y);
      const b = pixelAt(second, x, y);
      a.forEach((value, c) => { sum += Math.abs(value - b[c]); });
      count += 3;
    }
  }
  return sum / count;
}

// Waits for the lose picture after the ship was sent into the sun: the first
// frame it shows in, or the last frame seen.
export async function loseInTheSun(page) {
  const deadline = Date.now() + kLongestDeath;
  for (;;) {
    const shot = await screenshotField(page);
    if (endPictureFailures(shot, 'lose').length === 0 || Date.now() > deadline) {
      return shot;
    }
  }
}

// Clicks (or taps, with `clickWith`) on the sun and waits for the lose picture.
export async function flyIntoTheSun(page, clickWith = click) {
  await clickWith(page, kSun);
  return loseInTheSun(page);
}

// A click (or a tap) on the end picture once it has stood its half second.
export async function playAgain(page, clickWith = click) {
  await page.waitForTimeout(kEndPictureStands);
  await clickWith(page, kPlayAgainWords);
}

// Runs one of the desktop's programs from the repository, where its data is,
// without sound: { status, stdout, stderr }. `display` runs it in a virtual X
// display of its own.
export function runDesktop(program, args, { env = {}, display = false } = {}) {
  const command = path.join(kDesktopBuild, program);
  const [file, fileArgs] = display
    ? ['xvfb-run', ['-a', '-s', '-screen 0 1280x1024x24', command, ...args]] : [command, args];
  const run = spawnSync(file, fileArgs, {
    cwd: kRepository, encoding: 'utf8', timeout: kDesktopRunLimit,
    env: { ...process.env, SDL_AUDIODRIVER: 'dummy', LIBGL_ALWAYS_SOFTWARE: '1', ...env } });
  return { status: run.status, stdout: run.stdout, stderr: run.stderr };
}
