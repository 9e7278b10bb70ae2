// Measures the page against the bare page (bare.html: one full-canvas textured
// quad an animation frame) in the same headless Chromium the tests use, and
// prints the figures and their ratios:
// - a frame of play: its work (the frame's callbacks, and the drawing they
//   asked for) and the interval between frames;
// - the first title frame the player sees, from the start of navigation;
// - everything the page downloads, raw and gzip-compressed;
// - the frames drawn while the page stands on the title.
// Usage: make web-bench [WEB_BENCH_RUNS=7]
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import * as harness from '../../tests/web/harness.mjs';

const kBenchFolder = path.dirname(fileURLToPath(import.meta.url));
const kRuns = Number(process.argv[2] ?? 5);
const kSettleMilliseconds = 1000;
const kMeasureMilliseconds = 3000;
const kScreenMilliseconds = 500; // for the instructions to be drawn and play to begin
const kTitleStandsMilliseconds = 2000;

// The only instrument: when each animation frame's callbacks have run, what
// they and the drawing they asked for took (reading a pixel back waits until
// the frame is drawn), and whether the page was showing the game by then (its
// loading screen hides it).
function frameClock() {
  window.__frameEnds = [];
  const pixel = new Uint8Array(4);
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => requestFrame((time) => {
    const start = performance.now();
    callback(time);
    const gl = document.getElementById('canvas').getContext('webgl');
    gl?.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    const at = performance.now();
    const state = document.body.dataset.state;
    window.__frameEnds.push({ at, work: at - start, shown: state === undefined || state === 'running' });
  });
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

function frameEnds(page) {
  return harness.readPage(page, () => window.__frameEnds);
}

// The median work of a frame, and the mean interval between frames, over `span`.
async function frameFigures(page, span) {
  const start = (await frameEnds(page)).length;
  await page.waitForTimeout(span);
  const ends = (await frameEnds(page)).slice(start);
  return { work: median(ends.map((frame) => frame.work)),
           interval: (ends.at(-1).at - ends[0].at) / (ends.length - 1) };
}

async function firstShownFrame(page) {
  await harness.waitUntil(page, () => window.__frameEnds.some((frame) => frame.shown));
  return (await frameEnds(page)).find((frame) => frame.shown).at;
}

// One fresh window on `url`: its first frame, then a frame of `play` once
// `begin` has brought it there.
async function measureOnce(browser, url, begin) {
  const context = await harness.openContext(browser, harness.kDesktopViewport, frameClock);
  try {
    const page = await context.newPage();
    const downloads = [];
    page.on('response', (response) => downloads.push(new URL(response.url()).pathname));
    await page.goto(url);
    const first = await firstShownFrame(page);
    await begin(page);
    await page.waitForTimeout(kSettleMilliseconds);
    return { first, ...(await frameFigures(page, kMeasureMilliseconds)), downloads };
  } finally {
    await context.close();
  }
}

async function intoPlay(page) {
  await page.waitForTimeout(kScreenMilliseconds);
  for (let screen = 0; screen < 2; ++screen) {
    await harness.click(page, { x: 0, y: 20 });
    await page.waitForTimeout(kScreenMilliseconds);
  }
}

async function framesOnTheTitle(browser, url) {
  const context = await harness.openContext(browser, harness.kDesktopViewport, frameClock);
  try {
    const page = await context.newPage();
    await page.goto(url);
    await firstShownFrame(page);
    await page.waitForTimeout(kSettleMilliseconds);
    const before = (await frameEnds(page)).length;
    await page.waitForTimeout(kTitleStandsMilliseconds);
    return (await frameEnds(page)).length - before;
  } finally {
    await context.close();
  }
}

async function downloadSizes(folder, paths) {
  let raw = 0;
  let gzip = 0;
  for (const file of new Set(paths)) {
    const bytes = await readFile(path.join(folder, file === '/' ? 'index.html' : file));
    raw += bytes.length;
    gzip += gzipSync(bytes).length;
  }
  return { raw, gzip };
}

function medians(runs) {
  const figure = (name) => median(runs.map((run) => run[name]));
  return { first: figure('first'), work: figure('work'), interval: figure('interval'),
           downloads: runs[0].downloads };
}

// The two pages in turn, so that whatever else the machine does weighs on both alike.
async function measureBoth(browser, bareUrl, gameUrl) {
  const bare = [];
  const game = [];
  for (let run = 0; run < kRuns; ++run) {
    bare.push(await measureOnce(browser, bareUrl, () => {}));
    game.push(await measureOnce(browser, gameUrl, intoPlay));
  }
  return { bare: medians(bare), game: medians(game) };
}

const game = await harness.startServer();
const bare = await harness.startServer(kBenchFolder);
const browser = await harness.launchBrowser();
const figures = {};
try {
  Object.assign(figures, await measureBoth(browser, `${bare.url}bare.html`, game.url));
  figures.titleFrames = await framesOnTheTitle(browser, game.url);
} finally {
  await browser.close();
  await game.close();
  await bare.close();
}

const sizes = await downloadSizes(harness.kBuiltPage, figures.game.downloads);
const row = (what, name) => {
  const [gameFigure, bareFigure] = [figures.game[name], figures.bare[name]];
  return `${what.padEnd(30)} ${gameFigure.toFixed(1).padStart(7)} ms   bare ${bareFigure.toFixed(1).padStart(7)} ms` +
         `   ${(gameFigure / bareFigure).toFixed(2)}x`;
};
console.log(`median of ${kRuns} fresh windows each, a 1024 by 768 field`);
console.log(row('work of a frame of play', 'work'));
console.log(row('interval between frames', 'interval'));
console.log(row('first title frame', 'first'));
console.log(`${'downloads'.padEnd(30)} ${(sizes.raw / 1e6).toFixed(2)} MB, ` +
            `${(sizes.gzip / 1e6).toFixed(2)} MB gzip-compressed, ${new Set(figures.game.downloads).size} files`);
console.log(`${'frames in 2 s on the title'.padEnd(30)} ${figures.titleFrames}`);
