// What every browser test shares: the page served on 127.0.0.1, Debian's
// Chromium started headless on a fresh or a kept profile, waits on the page,
// screenshots of the field, the mouse and touch at field coordinates, and a
// probe on what the page sends to its speakers.
import { mkdtemp, rm } from 'node:fs/promises';
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

// Counts animation frames, and records what reaches the speakers: every
// AudioContext's destination becomes a node that passes the sound on and
// keeps a copy while a test listens.
function instrumentPage() {
  window.__framesShown = 0;
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => requestFrame((time) => {
    window.__framesShown += 1;
    callback(time);
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

// Opens the page and waits until it has left the loading state; page.messages
// collects what the page prints to its console.
export async function openPage(context, url) {
  const page = await context.newPage();
  page.messages = [];
  page.on('console', (message) => page.messages.push(message.text()));
  page.on('pageerror', (error) => page.messages.push(`page error: ${error.message}`));
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.state !== 'loading', null,
                             { timeout: kLongestWait });
  return page;
}

export function pageState(page) {
  return page.evaluate(() => document.body.dataset.state);
}

// Waits until the page has shown `count` more frames.
export async function waitForFrames(page, count = 3) {
  const start = await page.evaluate(() => window.__framesShown);
  await page.waitForFunction((until) => window.__framesShown >= until, start + count,
                             { timeout: kLongestWait });
}

// The field's box in CSS pixels of the page.
export async function fieldBox(page) {
  return page.locator('#canvas').boundingBox();
}

// The page point showing a field point ({ x, y } in world units).
export async function pagePoint(page, point) {
  const box = await fieldBox(page);
  return {
    x: box.x + ((point.x - kField.left) / (kField.right - kField.left)) * box.width,
    y: box.y + ((kField.top - point.y) / (kField.top - kField.bottom)) * box.height,
  };
}

// The field as the player sees it, in device pixels: { width, height, rgba },
// after a fresh frame where the program runs.
export async function screenshotField(page) {
  if (await pageState(page) === 'running') {
    await waitForFrames(page, 2);
  }
  return decodePng(await page.screenshot({ type: 'png', clip: await fieldBox(page) }));
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
  return page.evaluate(() => window.__audioProbe.start());
}

export function stopListening(page) {
  return page.evaluate(() => window.__audioProbe.stop());
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
  await page.waitForFunction((wanted) => window.__audioProbe.secondsHeard() >= wanted, seconds,
                             { timeout: kLongestWait });
  return stopListening(page);
}
