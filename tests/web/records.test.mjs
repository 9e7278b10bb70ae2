// The player's records in the page: kept in the browser's storage through a
// reload and a browser restarted on the same profile, in the desktop's own
// text format, with the desktop's line under the end picture; a newer
// version's file left alone and a damaged one kept aside, as the desktop does.
import assert from 'node:assert/strict';
import { mkdir, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { describe, test } from 'node:test';

import { kRecordsLinePixels, recordsLineInk } from './desktop_measures.mjs';
import * as harness from './harness.mjs';

const kRecordsFile = '/kept/vantorel/records';
const kMovedAside = '/kept/vantorel/records.bad';
const kNewerRecords = 'vantorel-records 9\ngames_played 5\nsomething_new yes\n';
const kDamagedRecords = 'vantorel-records 1\ngames_played 4\ngames_wo';
// A game the records pass by leaves nothing to wait for: this long is plenty
// for a save that should not be there to show.
const kNoSaveComing = 1000;

// Times each save and its copy into the browser's storage, from the lock
// taken to the copy's end; `breakSync` makes the copy do nothing at all.
function instrumentStorage(page, breakSync = false) {
  return harness.readPage(page, (broken) => {
    const FS = Module.FS;
    window.__saves = [];
    const open = FS.open;
    FS.open = function openTimed(path, ...rest) {
      if (String(path).endsWith('/records.lock')) {
        window.__saves.push({ start: performance.now() });
      }
      return open.call(this, path, ...rest);
    };
    const syncfs = FS.syncfs;
    FS.syncfs = function syncTimed(populate, done) {
      const finished = (error) => {
        const save = window.__saves.at(-1);
        if (save && save.end === undefined) {
          save.end = performance.now();
        }
        done(error);
      };
      return broken ? finished(null) : syncfs.call(this, populate, finished);
    };
  }, breakSync);
}

// A lost game from the title: the first frame of the lose picture, once what
// the game saved as it showed has reached the browser's storage.
async function loseAGame(page, saves = true) {
  await harness.reachPlay(page);
  const shot = await harness.flyIntoTheSun(page);
  if (!saves) {
    await page.waitForTimeout(kNoSaveComing);
  }
  await harness.waitUntil(page, () => !Module.keptFiles.pending);
  return shot;
}

async function reloadGame(page) {
  await page.reload();
  await harness.waitUntil(page, () => document.body.dataset.state === 'running' &&
                                      window.__lastFrameFits());
}

// What the records control shows.
async function recordsShown(page) {
  await page.click('#records');
  const shown = await harness.readPage(page, () =>
    document.getElementById('records-text').textContent);
  await page.click('#close-records');
  return shown;
}

function keptFile(page, file) {
  return harness.readPage(page, (wanted) => (Module.FS.analyzePath(wanted).exists
    ? Module.FS.readFile(wanted, { encoding: 'utf8' }) : null), file);
}

// Puts a file among the kept ones, as an earlier visit would have left it.
function keepFile(page, file, text) {
  return harness.readPage(page, ([wanted, contents]) => new Promise((resolve) => {
    Module.FS.mkdirTree(wanted.slice(0, wanted.lastIndexOf('/')));
    Module.FS.writeFile(wanted, contents);
    Module.keepChanges(resolve);
  }), [file, text]);
}

// What `vantorel --records` on the desktop makes of an exported file.
async function desktopReport(exported) {
  const dataHome = await mkdtemp(path.join(tmpdir(), 'vantorel-data-'));
  try {
    await mkdir(path.join(dataHome, 'vantorel'));
    await writeFile(path.join(dataHome, 'vantorel', 'records'), exported);
    return harness.runDesktop('vantorel', ['--records'], { env: { XDG_DATA_HOME: dataHome } });
  } finally {
    await rm(dataHome, { recursive: true, force: true });
  }
}

function lineFailures(shot, when) {
  const ink = recordsLineInk(shot);
  return ink >= kRecordsLinePixels ? [] : [`${when}: no records line (${Math.round(ink)} pixels)`];
}

// Two lost games, a reload between them and a browser restarted after them,
// on one profile: what the records did not keep. `saves` collects each
// save's time.
async function recordsKeptFailures({ breakSync = false, saves = [] } = {}) {
  const server = await harness.startServer();
  const profile = await harness.makeProfileFolder();
  const failures = [];
  let context;
  try {
    context = await harness.launchWithProfile(profile);
    let page = await harness.openGame(context, server.url);
    await instrumentStorage(page, breakSync);
    failures.push(...lineFailures(await loseAGame(page), 'the first game'));
    saves.push(...await harness.readPage(page, () => window.__saves));
    await reloadGame(page);
    const afterReload = await recordsShown(page);
    if (!afterReload.includes('Games played: 1\n')) {
      return [...failures, `after a reload: ${afterReload}`];
    }
    await instrumentStorage(page);
    failures.push(...lineFailures(await loseAGame(page), 'after a reload'));
    saves.push(...await harness.readPage(page, () => window.__saves));
    await context.close();

    context = await harness.launchWithProfile(profile);
    page = await harness.openGame(context, server.url);
    const afterRestart = await recordsShown(page);
    if (!afterRestart.includes('Games played: 2\n')) {
      failures.push(`after a restart: ${afterRestart}`);
    }
    await page.click('#records');
    const exported = await harness.downloadDuring(page, () => page.click('#export-records'));
    const desktop = await desktopReport(exported.bytes);
    if (desktop.status !== 0 || !desktop.stdout.includes('Games played: 2\n')) {
      failures.push(`the desktop reads the exported ${exported.name}: ` +
                    `${desktop.stdout}${desktop.stderr}`);
    }
  } finally {
    await context?.close();
    await server.close();
    await harness.removeProfileFolder(profile);
  }
  return failures;
}

describe('the records in the page', () => {
  test('survive a reload and a browser restarted on the same profile, as the desktop reads them',
       async (t) => {
    const saves = [];
    assert.deepEqual(await recordsKeptFailures({ saves }), []);
    const times = saves.map((save) => (save.end - save.start).toFixed(1));
    assert.equal(times.length, 2, 'one save a game');
    t.diagnostic(`save and copy into the browser's storage: ${times.join(' ms, ')} ms`);
  });

  test('are lost when nothing copies them into the browser’s storage (the check’s control)',
       async () => {
    const failures = await recordsKeptFailures({ breakSync: true });
    assert.match(failures.join('\n'), /after a reload: .*Games played: 0/s);
  });

  test('leave a newer version’s file alone and keep a damaged one aside', async () => {
    const cases = [
      { name: 'newer', text: kNewerRecords, saves: false, said: /left as they are/,
        kept: { [kRecordsFile]: kNewerRecords, [kMovedAside]: null } },
      { name: 'damaged', text: kDamagedRecords, saves: true, said: /moved aside to records\.bad/,
        kept: { [kMovedAside]: kDamagedRecords } },
    ];
    const server = await harness.startServer();
    const browser = await harness.launchBrowser();
    try {
      for (const wanted of cases) {
        const context = await harness.openContext(browser);
        const page = await harness.openGame(context, server.url);
        await keepFile(page, kRecordsFile, wanted.text);
        await reloadGame(page);
        const shot = await loseAGame(page, wanted.saves);
        const lines = lineFailures(shot, wanted.name);
        assert.deepEqual(lines.length === 0, wanted.saves, `${wanted.name}: ${lines}`);
        await reloadGame(page);
        for (const [file, text] of Object.entries(wanted.kept)) {
          assert.equal(await keptFile(page, file), text, `${wanted.name}: ${file}`);
        }
        assert.match(page.messages.join('\n'), wanted.said, wanted.name);
        if (wanted.saves) {
          assert.match(await recordsShown(page), /Games played: 1\n/, wanted.name);
        }
        await context.close();
      }
    } finally {
      await browser.close();
      await server.close();
    }
  });
});
