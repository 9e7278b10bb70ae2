// The harness checked against the spike page: what it draws, how it follows
// the mouse and a finger, what it plays, and the page around it.
import assert from 'node:assert/strict';
import { cp, mkdtemp, rm, stat } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import * as harness from './harness.mjs';
import { colourAt, isNear } from './picture.mjs';

const kBackground = [0, 0, 64];
const kRed = [255, 0, 0];
const kBlue = [0, 0, 255];
const kWhite = [255, 255, 255];
const kFollowing = [0, 255, 0];
const kHeld = [255, 255, 0];
const kColourTolerance = 24; // filtering at the edges of what is sampled
// What the spike draws, at field points: its textured quad, the 'V' of the
// game's font, and nothing between.
const kScene = [
  { point: { x: -32.5, y: 52.5 }, colour: kRed, what: 'the left of the textured quad' },
  { point: { x: -17.5, y: 52.5 }, colour: kBlue, what: 'the right of the textured quad' },
  { point: { x: 12, y: 63 }, colour: kWhite, what: "the V's left arm" },
  { point: { x: 28, y: 63 }, colour: kWhite, what: "the V's right arm" },
  { point: { x: 20, y: 42 }, colour: kWhite, what: "the V's point" },
  { point: { x: 20, y: 63 }, colour: kBackground, what: 'the space inside the V' },
  { point: { x: 0, y: 20 }, colour: kBackground, what: 'the empty field' },
];
// Heard from the spike's 440 Hz tone at a gain of 0.2.
const kToneRms = 0.2 / Math.SQRT2;
const kSilenceRms = 1e-4;
// Long enough for the sound already on its way through the graph to come out.
const kSettleMilliseconds = 200;

function colourAtPoint(shot, point) {
  return colourAt(shot, ...harness.shotFractions(point));
}

function shows(shot, point, colour) {
  return isNear(colourAtPoint(shot, point), colour, kColourTolerance);
}

// What of the scene a screenshot of the field does not show.
function missingFromScene(shot) {
  return kScene.filter(({ point, colour }) => !shows(shot, point, colour)).map(({ what }) => what);
}

function attribute(page, selector, name) {
  return harness.readPage(page, ([element, attributeName]) =>
    document.querySelector(element).getAttribute(attributeName), [selector, name]);
}

function text(page, selector) {
  return harness.readPage(page, (element) => document.querySelector(element).textContent,
                          selector);
}

async function pageGeometry(page) {
  return harness.readPage(page, () => {
    const canvas = document.getElementById('canvas');
    const rect = (element) => element.getBoundingClientRect().toJSON();
    return { backing: [canvas.width, canvas.height], field: rect(canvas),
             controls: rect(document.getElementById('controls')),
             window: [window.innerWidth, window.innerHeight], title: document.title };
  });
}

function overlap(a, b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

describe('the page', () => {
  let server;
  let browser;

  before(async () => {
    server = await harness.startServer();
    browser = await harness.launchBrowser();
  });

  after(async () => {
    await browser?.close();
    await server?.close();
  });

  // A page in a window of its own; closed when `use` is done with it.
  async function withPage(viewport, use) {
    const context = await harness.openContext(browser, viewport);
    try {
      const page = await harness.openPage(context, server.url);
      assert.equal(await harness.pageState(page), 'running', page.messages.join('\n'));
      await use(page);
    } finally {
      await context.close();
    }
  }

  test('fits a 4:3 field to the window, its backing store at the screen density', async () => {
    const viewports = [harness.kDesktopViewport, { width: 390, height: 844, pixelRatio: 2 },
                       harness.kPhoneViewport];
    for (const viewport of viewports) {
      await withPage(viewport, async (page) => {
        const name = `${viewport.width}x${viewport.height}@${viewport.pixelRatio}`;
        const { backing, field, controls, window, title } = await pageGeometry(page);
        assert.equal(title, 'Vantorel');
        assert.equal(backing[0] * 3, backing[1] * 4, `${name}: 4:3`);
        assert.deepEqual(backing, [field.width, field.height].map(
          (size) => Math.round(size * viewport.pixelRatio)), `${name}: CSS size x ratio`);
        assert.ok(field.left >= 0 && field.top >= 0 && field.right <= window[0] &&
                  field.bottom <= window[1], `${name}: inside the window`);
        assert.ok(!overlap(field, controls), `${name}: the controls are outside the field`);
        const shot = await harness.screenshotField(page);
        assert.deepEqual(missingFromScene(shot), [], `${name}: drawn over the whole field`);
      });
    }
  });

  test('shows the progress of the data download to its end', async () => {
    await withPage(harness.kDesktopViewport, async (page) => {
      const { size } = await stat(path.join(harness.kBuiltPage, 'vantorel.data'));
      const progress = await harness.readPage(page, () => {
        const bar = document.getElementById('progress');
        return [bar.value, bar.max, getComputedStyle(bar.parentElement).display];
      });
      assert.deepEqual(progress, [size, size, 'none']);
    });
  });

  test('follows quick clicks and drags of the mouse, and a finger, where they are', async () => {
    const pointers = [
      { name: 'mouse', viewport: harness.kDesktopViewport, click: harness.click,
        down: harness.press, move: harness.moveTo, up: (page) => harness.release(page) },
      { name: 'finger', viewport: harness.kPhoneViewport, click: harness.tap,
        down: (page, point) => harness.touch(page, 'touchStart', point),
        move: (page, point) => harness.touch(page, 'touchMove', point),
        up: (page) => harness.touch(page, 'touchEnd') },
    ];
    const clicked = { x: -30, y: 20 };
    const pressed = { x: 20, y: 10 };
    const dragged = { x: 40, y: 15 };
    for (const pointer of pointers) {
      await withPage(pointer.viewport, async (page) => {
        await pointer.click(page, clicked);
        const afterClick = await harness.screenshotField(page);
        assert.ok(shows(afterClick, clicked, kFollowing), `${pointer.name}: clicked`);

        await pointer.down(page, pressed);
        await harness.waitForFrames(page);
        await pointer.move(page, dragged);
        const whileHeld = await harness.screenshotField(page);
        assert.ok(shows(whileHeld, dragged, kHeld), `${pointer.name}: dragged`);
        assert.ok(!shows(whileHeld, pressed, kHeld), `${pointer.name}: not one event behind`);
        await pointer.up(page);
        const released = await harness.screenshotField(page);
        assert.ok(shows(released, dragged, kFollowing), `${pointer.name}: released`);
      });
    }
  });

  test('plays only after a click, and nothing while muted, even after a reload', async () => {
    await withPage(harness.kDesktopViewport, async (page) => {
      const beforeClick = await harness.listenFor(page, 300);
      assert.ok(beforeClick.rms < kSilenceRms, `before a click: ${JSON.stringify(beforeClick)}`);

      await harness.click(page, { x: 0, y: 20 });
      await page.waitForTimeout(kSettleMilliseconds);
      const heard = await harness.hear(page, 0.5);
      assert.ok(Math.abs(heard.rms - kToneRms) < 0.1 * kToneRms, JSON.stringify(heard));
      assert.ok(heard.peak < 0.21 && heard.fullScale === 0, JSON.stringify(heard));

      await page.click('#mute');
      await page.waitForTimeout(kSettleMilliseconds);
      const muted = await harness.hear(page, 0.3);
      assert.ok(muted.samples > 0 && muted.rms < kSilenceRms, `muted: ${JSON.stringify(muted)}`);

      await page.reload();
      await harness.waitUntil(page, () => document.body.dataset.state === 'running');
      assert.equal(await attribute(page, '#mute', 'aria-pressed'), 'true');
    });
  });

  test('its full screen control fills the screen and gives it back', async () => {
    await withPage(harness.kDesktopViewport, async (page) => {
      await page.click('#fullscreen');
      await harness.waitUntil(page, () => document.fullscreenElement !== null);
      assert.equal(await harness.readPage(page, () => document.fullscreenElement.tagName), 'HTML');
      await page.click('#fullscreen');
      await harness.waitUntil(page, () => document.fullscreenElement === null);
    });
  });
});

describe('a page that cannot run the game', () => {
  test('says so where WebGL is missing, and draws nothing', async () => {
    const server = await harness.startServer();
    const browser = await harness.launchBrowser(['--disable-3d-apis']);
    try {
      const page = await harness.openPage(await harness.openContext(browser), server.url);
      assert.equal(await harness.pageState(page), 'no-webgl');
      assert.match(await text(page, '#message'), /needs WebGL/);
      // The scene check itself sees that nothing is drawn.
      assert.equal(missingFromScene(await harness.screenshotField(page)).length, kScene.length);
    } finally {
      await browser.close();
      await server.close();
    }
  });

  test('says so when the program cannot be loaded', async () => {
    const folder = await mkdtemp(path.join(tmpdir(), 'vantorel-page-'));
    for (const file of ['index.html', 'page.css', 'page.mjs', 'field_layout.mjs']) {
      await cp(path.join(harness.kBuiltPage, file), path.join(folder, file));
    }
    const server = await harness.startServer(folder);
    const browser = await harness.launchBrowser();
    try {
      const page = await harness.openPage(await harness.openContext(browser), server.url);
      assert.equal(await harness.pageState(page), 'failed');
      assert.match(await text(page, '#message'), /could not be loaded/);
    } finally {
      await browser.close();
      await server.close();
      await rm(folder, { recursive: true, force: true });
    }
  });
});

describe('a browser restarted on the same profile', () => {
  test('keeps what the page stored, and hands over what it saves', async () => {
    const server = await harness.startServer();
    const folder = await harness.makeProfileFolder();
    try {
      let context = await harness.launchWithProfile(folder);
      let page = await harness.openPage(context, server.url);
      await page.click('#mute');
      const saved = await harness.downloadDuring(page, () => harness.readPage(page, () => {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob(['a game to keep']));
        link.download = 'kept.txt';
        link.click();
      }));
      assert.deepEqual([saved.name, saved.bytes.toString()], ['kept.txt', 'a game to keep']);
      await context.close();

      context = await harness.launchWithProfile(folder);
      page = await harness.openPage(context, server.url);
      assert.equal(await attribute(page, '#mute', 'aria-pressed'), 'true');
      await context.close();
    } finally {
      await server.close();
      await harness.removeProfileFolder(folder);
    }
  });
});
