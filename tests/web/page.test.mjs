// The page around the game, and the harness checked against it: the field
// fitted to the window, the download's progress, the mouse and a finger where
// they are, the mute and full screen controls, and the pages that cannot run.
import assert from 'node:assert/strict';
import { cp, mkdir, mkdtemp, rm, stat, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { describe, test } from 'node:test';

import { fullScreenFailures, playFailures } from './desktop_measures.mjs';
import * as harness from './harness.mjs';
import { decodePng, isNear as coloursNear } from './picture.mjs';

const kSilenceRms = 1e-4;
// Long enough for the sound already on its way through the graph to come out.
const kSettleMilliseconds = 200;
// The wind blows well above silence.
const kWindRms = 0.02;
const kGestureSteps = 10;
// The page as a player sees it, for the README.
const kPagePicture = path.join(harness.kBuiltPage, 'screenshots', 'page.png');
const kControlBackground = [0x22, 0x22, 0x22];
const kColourTolerance = 2; // the screen's colour rounding

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

// Two fingers spread apart over the field, then one swept across it.
async function pinchAndSweep(page) {
  const pinched = { x: -30, y: 60 };
  const apart = (step) => [{ x: pinched.x - step, y: pinched.y - step / 2 },
                           { x: pinched.x + step, y: pinched.y + step / 2 }];
  await harness.touch(page, 'touchStart', ...apart(1));
  for (let step = 2; step <= kGestureSteps; ++step) {
    await harness.touch(page, 'touchMove', ...apart(2 * step));
    await harness.waitForFrames(page, 1);
  }
  await harness.touch(page, 'touchEnd');
  await harness.touch(page, 'touchStart', { x: 10, y: 55 });
  for (let step = 1; step <= kGestureSteps; ++step) {
    await harness.touch(page, 'touchMove', { x: 10 + 3 * step, y: 55 + step });
    await harness.waitForFrames(page, 1);
  }
  await harness.touch(page, 'touchEnd');
  await page.waitForTimeout(kSettleMilliseconds);
}

function overlap(a, b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

describe('the page', () => {
  const suite = harness.gameSuite();

  test('fits a 4:3 field to the window, its backing store at the screen density', async () => {
    const viewports = [harness.kDesktopViewport, { width: 390, height: 844, pixelRatio: 2 },
                       harness.kPhoneViewport];
    for (const viewport of viewports) {
      await suite.withGame(viewport, async (page) => {
        const name = `${viewport.width}x${viewport.height}@${viewport.pixelRatio}`;
        const { backing, field, controls, window, title } = await pageGeometry(page);
        assert.equal(title, 'Vantorel');
        assert.equal(backing[0] * 3, backing[1] * 4, `${name}: 4:3`);
        assert.deepEqual(backing, [field.width, field.height].map(
          (size) => Math.round(size * viewport.pixelRatio)), `${name}: CSS size x ratio`);
        assert.ok(field.left >= 0 && field.top >= 0 && field.right <= window[0] &&
                  field.bottom <= window[1], `${name}: inside the window`);
        assert.ok(!overlap(field, controls), `${name}: the controls are outside the field`);
        const shot = await harness.lastFrame(page);
        assert.deepEqual([shot.width, shot.height], backing, `${name}: drawn at the field's size`);
        assert.deepEqual(fullScreenFailures(shot, 'title'), [], `${name}: the title over the field`);
      });
    }
  });

  test('shows the progress of the data download to its end', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      const { size } = await stat(path.join(harness.kBuiltPage, 'vantorel.data'));
      const progress = await harness.readPage(page, () => {
        const bar = document.getElementById('progress');
        return [bar.value, bar.max, getComputedStyle(bar.parentElement).display];
      });
      assert.deepEqual(progress, [size, size, 'none']);
    });
  });

  // The game takes the pointer where the last motion left it: a release after
  // a drag one event behind would send the ship back to where the drag began.
  // Every point lies above the sun, so no flight passes near it.
  test('follows quick clicks and drags of the mouse, and a finger, where they are', async () => {
    const clicked = { x: -30, y: 60 };
    const pressed = { x: 20, y: 65 };
    const dragged = { x: 40, y: 55 };
    for (const pointer of [harness.kMouse, harness.kFinger]) {
      await suite.withGame(pointer.viewport, async (page) => {
        for (let screen = 0; screen < 2; ++screen) {
          await harness.clickToNextScreen(page, clicked, pointer.click);
        }
        const atStart = await harness.screenshotField(page);
        assert.ok(harness.isNear(harness.shipSeen(atStart), harness.kShipStart),
                  `${pointer.name}: the ship waits at its start`);

        await pointer.click(page, clicked);
        assert.ok(harness.isNear(await harness.shipArriving(page, clicked), clicked),
                  `${pointer.name}: clicked`);

        await pointer.down(page, pressed);
        await harness.waitForFrames(page);
        await pointer.move(page, dragged);
        await pointer.up(page);
        const seen = await harness.shipArriving(page, dragged);
        assert.ok(harness.isNear(seen, dragged), `${pointer.name}: released where dragged, ` +
                  `not one event behind: ${JSON.stringify(seen)}`);
      });
    }
  });

  // Away from the sun: the ship follows the sweeping finger up and to the right.
  test('a finger on the field in play neither scrolls, zooms nor selects the page', async () => {
    const loosened = () => document.addEventListener('DOMContentLoaded', () => {
      document.querySelector('meta[name=viewport]').content = 'width=device-width, initial-scale=1';
      const style = document.createElement('style');
      style.textContent = 'html, body, #canvas { touch-action: auto !important; }';
      document.head.append(style);
    });
    const kept = [1, 0, 0, 0, 0, ''];
    // The check's control: a page that lets a finger zoom it is seen zoomed.
    const pages = [['the page', () => {}, true], ['loosened', loosened, false]];
    for (const [name, prepare, held] of pages) {
      await suite.withGame(harness.kFinger.viewport, async (page) => {
        await harness.reachPlay(page, harness.kFinger.click);
        await pinchAndSweep(page);
        const view = await harness.readPage(page, () => [visualViewport.scale,
          visualViewport.offsetLeft, visualViewport.offsetTop, window.scrollX, window.scrollY,
          String(getSelection())]);
        assert.equal(JSON.stringify(view) === JSON.stringify(kept), held, `${name}: ${view}`);
      }, prepare);
    }
  });

  test('plays nothing while muted, even after a reload', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      await harness.click(page, { x: 0, y: 20 });
      await page.waitForTimeout(kSettleMilliseconds);
      const heard = await harness.hear(page, 0.5);
      assert.ok(heard.rms > kWindRms, `the wind: ${heard.rms}`);

      await page.click('#mute');
      await page.waitForTimeout(kSettleMilliseconds);
      const muted = await harness.hear(page, 0.3);
      assert.ok(muted.samples > 0 && muted.rms < kSilenceRms, `muted: ${muted.rms}`);

      await page.reload();
      await harness.waitUntil(page, () => document.body.dataset.state === 'running');
      assert.equal(await attribute(page, '#mute', 'aria-pressed'), 'true');
    });
  });

  test('is seen whole in play: the field, and its controls beside it', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      await harness.reachPlay(page);
      const bytes = await harness.screenshotPage(page);
      const shot = decodePng(bytes);
      assert.deepEqual(playFailures(harness.cropPicture(shot, await harness.fieldBox(page))), []);
      const control = await harness.readPage(page, () =>
        document.getElementById('mute').getBoundingClientRect().toJSON());
      const inside = harness.cropPicture(shot, { x: control.x + 3, y: control.y + control.height / 2,
                                                 width: 1, height: 1 });
      assert.ok(coloursNear([...inside.rgba.subarray(0, 3)], kControlBackground, kColourTolerance),
                'the mute button');
      await mkdir(path.dirname(kPagePicture), { recursive: true });
      await writeFile(kPagePicture, bytes);
    });
  });

  test('its full screen control fills the screen and gives it back', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
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
      // The title's check itself sees that nothing is drawn.
      assert.notDeepEqual(fullScreenFailures(await harness.lastFrame(page), 'title'), []);
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
