// What every browser test shares: the page served on 127.0.0.1, Debian's
// Chromium started headless on a fresh or a kept profile, waits on the page,
// pictures of the field, the mouse and touch at field coordinates, and a
// probe on what the page sends to its speakers.
//
// Read the page through readPage and waitUntil, and picture the field with
// screenshotField, not with page.evaluate, locators or page.screenshot:
// Playwright runs those as if the player had clicked, which lets the page
// start its sound before any real click.
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { chromium } from 'playwright-core';

import { serveFolder } from '../../tools/web/serve.mjs';
import { decodePng } from './picture.mjs';

process.env.PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD = '1';

const kRepository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const kBuiltPage = process.env.VANTOREL_WEB_DIR ?? path.join(kRepository, 'build-web');
const kChromium = process.env.VANTOREL_CHROMIUM ?? '/usr/bin/chromium';
const kChromiumFlags = ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--disable-background-networking', '--disable-component-update', '--no-first-run',
  ...(process.getuid?.() === 0 ? ['--no-sandbox'] : [])];
const kLongestWait = 15000; // ms: a page that has not started by then never will
const kPollMilliseconds = 20;

// The play field in world units, as the game places it: x across, y up.
export const kField = { left: -50, right: 50, bottom: 0, top: 75 };
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
  const waitingForCopy = [];
  window.__copyField = (afterFrame) => (afterFrame
    ? new Promise((resolve) => waitingForCopy.push(resolve)) : copyField());
  window.__framesShown = 0;
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => requestFrame((time) => {
    window.__framesShown += 1;
    callback(time);
    if (waitingForCopy.length > 0) {
      const copy = copyField();
      waitingForCopy.splice(0).forEach((resolve) => resolve(copy));
    }
  });

  const Context = window.AudioContext;
  const heard = [];
  let listening = false;
  let secondsHeard = 0;
  const kChunkFrames = 4096;
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
        for (let channel = 0; channel < input.numberOfChannels; ++channel) {
          heard.push(Float32Array.from(input.getChannelData(channel)));
        }
        secondsHeard += input.duration;
      };
      Object.defineProperty(this, 'destination', { value: tap });
    }
  }
  window.AudioContext = ProbedAudioContext;
  window.webkitAudioContext = ProbedAudioContext;
  window.__audioProbe = {
    start() {
      heard.length = 0;
      secondsHeard = 0;
      listening = true;
    },
    secondsHeard: () => secondsHeard,
    stop() {
      listening = false;
      let samples = 0;
      let squares = 0;
      let peak = 0;
      let fullScale = 0;
      for (const chunk of heard) {
        for (const sample of chunk) {
          const size = Math.abs(sample);
          squares += sample * sample;
          peak = Math.max(peak, size);
          fullScale += size >= 32767 / 32768 ? 1 : 0;
        }
        samples += chunk.length;
      }
      return { samples, rms: samples ? Math.sqrt(squares / samples) : 0, peak, fullScale };
    },
  };
}

async function instrumented(context) {
  await context.addInitScript(instrumentPage);
  return context;
}

// A browser on a fresh profile of its own; open contexts (windows) in it with
// openContext. `extraFlags` go to Chromium after the harness's own.
export function launchBrowser(extraFlags = []) {
  return chromium.launch(browserOptions(extraFlags));
}

export async function openContext(browser, viewport = kDesktopViewport) {
  return instrumented(await browser.newContext(contextOptions(viewport)));
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

// Waits until `holds(argument)` is true in the page.
export async function waitUntil(page, holds, argument) {
  const deadline = Date.now() + kLongestWait;
  while (!(await readPage(page, holds, argument))) {
    if (Date.now() > deadline) {
      throw new Error(`waited ${kLongestWait} ms in vain for ${holds}`);
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

// The field as the program drew it, a texel per device pixel: { width,
// height, rgba }, taken from the next frame where the program runs.
export async function screenshotField(page) {
  const running = await pageState(page) === 'running';
  const dataUrl = await readPage(page, (afterFrame) => window.__copyField(afterFrame), running);
  return decodePng(Buffer.from(dataUrl.slice(dataUrl.indexOf(',') + 1), 'base64'));
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

// A finger through DevTools' Input.dispatchTouchEvent: `kind` is touchStart,
// touchMove or touchEnd; a touchEnd lifts every finger.
export async function touch(page, kind, point) {
  page.devTools ??= await page.context().newCDPSession(page);
  const touchPoints = kind === 'touchEnd' ? [] : [await pagePoint(page, point)];
  await page.devTools.send('Input.dispatchTouchEvent', { type: kind, touchPoints });
}

export async function tap(page, point) {
  await touch(page, 'touchStart', point);
  await touch(page, 'touchEnd');
}

// The audio probe: what the page sends to its speakers between the two calls,
// as { samples, rms, peak, fullScale } over both channels, full scale being 1.
export function startListening(page) {
  return readPage(page, () => window.__audioProbe.start());
}

export function stopListening(page) {
  return readPage(page, () => window.__audioProbe.stop());
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
export async function hear(page, seconds) {
  await startListening(page);
  await waitUntil(page, (wanted) => window.__audioProbe.secondsHeard() >= wanted, seconds);
  return stopListening(page);
}
