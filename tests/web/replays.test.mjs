// Recordings both ways between the page and the desktop: a game played in
// the page with the mouse, downloaded, checks on the desktop to the state it
// ended in; the desktop's recordings, given in the page's address or chosen
// as a file, play in the page at their pace to the end the desktop's own
// replay reaches, which the page says above the field in the desktop's words.
import assert from 'node:assert/strict';
import { copyFile, mkdir, mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { endPictureFailures } from './desktop_measures.mjs';
import * as harness from './harness.mjs';

const kCorpus = path.join(harness.kRepository, 'tests', 'data', 'replays');
const kServedRecordings = 'recordings'; // below the page, on the same site
const kSameEnd = /the final state is the recorded one$/;
// Off the sun's way and the ship's start: the player flies there and spins.
const kAside = { x: -25, y: 55 };
const kSpinHold = 1500; // ms
const kElsewhere = { x: 30, y: 60 };
// A replay at its pace takes its game time, the title's and a busy machine's
// slower frames besides.
const kReplayAllowance = (gameSeconds) => 5 * 1000 * gameSeconds + 60000;
// ...but not much more than its game time: where the page draws fewer frames
// than the recording holds, it runs the late ones without drawing them. The
// page's start and the recorded stays on the title and instructions come on
// top of the game time.
const kAtItsPace = (gameSeconds) => 1.3 * 1000 * gameSeconds + 10000;

// The recording with its last byte, the final state's digest, changed.
function altered(bytes) {
  const copy = Buffer.from(bytes);
  copy[copy.length - 1] ^= 0xff;
  return copy;
}

// The desktop's two readings of a recording: the checker's line (without
// the file's name and the digest) and `--replay --fast`'s, with their status.
function desktopReadings(file) {
  const checked = harness.runDesktop('vantorel-check-replay', [file]);
  const replayed = harness.runDesktop('vantorel', ['--replay', file, '--fast'], { display: true });
  return {
    checker: { status: checked.status,
               line: checked.stdout.trim().replace(/^.*?: /, '').replace(/ digest \w+;/, '') },
    replay: { status: replayed.status, line: replayed.stdout.trim() },
  };
}

// A copy of the built page with `recordings` ({ name: bytes }) below it.
async function pageWithRecordings(recordings) {
  const folder = await mkdtemp(path.join(tmpdir(), 'vantorel-site-'));
  for (const entry of await readdir(harness.kBuiltPage, { withFileTypes: true })) {
    if (entry.isFile()) {
      await copyFile(path.join(harness.kBuiltPage, entry.name), path.join(folder, entry.name));
    }
  }
  await mkdir(path.join(folder, kServedRecordings));
  for (const [name, bytes] of Object.entries(recordings)) {
    await writeFile(path.join(folder, kServedRecordings, name), bytes);
  }
  return folder;
}

// The end of a replay in the page: the line above the field and the state
// of the replay, the last frame, and how long the replay took.
async function replayEnd(page, started, gameSeconds) {
  await harness.waitUntil(page, () => ['ended', 'refused'].includes(document.body.dataset.replay),
                          undefined, kReplayAllowance(gameSeconds));
  const took = Date.now() - started;
  const [state, line] = await harness.readPage(page, () =>
    [document.body.dataset.replay, document.getElementById('replay-line').textContent]);
  return { state, line, took, shot: await harness.lastFrame(page) };
}

// Opens the page on a recording as the player may: given in its address, or
// a file chosen with its control, which starts the page afresh on it.
async function openOnRecording(context, site, { name, file, opened }) {
  if (opened === 'address') {
    return harness.openPage(context, `${site}?replay=${kServedRecordings}/${name}`);
  }
  const page = await harness.openGame(context, site);
  await page.setInputFiles('#recording-file', file);
  await page.waitForURL(/[?&]opened=/);
  await harness.waitUntil(page, () => document.body.dataset.state !== 'loading');
  return page;
}

describe('recordings between the page and the desktop', () => {
  const suite = harness.gameSuite();
  let folder;
  before(async () => {
    folder = await mkdtemp(path.join(tmpdir(), 'vantorel-replays-'));
  });
  after(() => folder && rm(folder, { recursive: true, force: true }));

  test('a game played in the page with the mouse checks on the desktop to the state it ended in',
       async (t) => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      await harness.reachPlay(page);
      await harness.click(page, kAside);
      assert.ok(harness.isNear(await harness.shipArriving(page, kAside), kAside), 'flown aside');
      await harness.hold(page, kAside, kSpinHold);
      await harness.flyIntoTheSun(page);
      await harness.playAgain(page);
      await harness.click(page, kElsewhere);
      await page.waitForTimeout(kSpinHold);

      const saved = await harness.downloadDuring(page, () => page.click('#save-game'));
      assert.match(saved.name, /^vantorel-\d{8}-\d{6}\.replay$/);
      const recording = path.join(folder, saved.name);
      const changed = path.join(folder, `changed-${saved.name}`);
      await writeFile(recording, saved.bytes);
      await writeFile(changed, altered(saved.bytes));

      const { checker, replay } = desktopReadings(recording);
      t.diagnostic(`the desktop's check of the page's game: ${checker.line}`);
      assert.deepEqual(checker, { status: 0, line: checker.line });
      assert.match(checker.line, /^unfinished: 0 planets formed in [\d.]+ s of game time;/);
      assert.match(checker.line, kSameEnd);
      assert.deepEqual(replay, checker, 'the replay and the checker agree');

      const control = desktopReadings(changed);
      assert.notEqual(control.checker.status, 0, 'an altered recording');
      assert.doesNotMatch(control.checker.line, kSameEnd);
      assert.deepEqual(control.replay, control.checker);
    });
  });

  test('the desktop’s recordings play in the page at their pace to the desktop’s end, and it says so',
       async (t) => {
    const lost = await readFile(path.join(kCorpus, 'lost_in_the_sun.replay'));
    const cases = [
      { name: 'won_game.replay', bytes: await readFile(path.join(kCorpus, 'won_game.replay')),
        opened: 'address', picture: 'win', sameEnd: true },
      { name: 'lost_on_a_planet.replay', opened: 'chosen', picture: 'lose', sameEnd: true,
        bytes: await readFile(path.join(kCorpus, 'lost_on_a_planet.replay')) },
      // The check's control: the page must not say an altered recording ends as recorded.
      { name: 'changed_lost_in_the_sun.replay', bytes: altered(lost), opened: 'address',
        picture: 'lose', sameEnd: false },
    ];
    const recordings = Object.fromEntries(cases.map(({ name, bytes }) => [name, bytes]));
    const site = await pageWithRecordings(recordings);
    const server = await harness.startServer(site);
    try {
      for (const wanted of cases) {
        wanted.file = path.join(site, kServedRecordings, wanted.name);
        const { replay } = desktopReadings(wanted.file);
        const gameSeconds = Number(/in ([\d.]+) s of game time/.exec(replay.line)[1]);
        const context = await harness.openContext(suite.browser);
        try {
          const started = Date.now();
          const page = await openOnRecording(context, server.url, wanted);
          const end = await replayEnd(page, started, gameSeconds);
          const took = (end.took / 1000).toFixed(1);
          t.diagnostic(`${wanted.name} in the page, ${took} s: ${end.line}`);
          assert.deepEqual([end.state, end.line], ['ended', replay.line], wanted.name);
          assert.equal(kSameEnd.test(end.line), wanted.sameEnd, wanted.name);
          assert.ok(end.took >= 1000 * gameSeconds && end.took <= kAtItsPace(gameSeconds),
                    `${wanted.name}: at its pace (${end.took} ms)`);
          assert.deepEqual(endPictureFailures(end.shot, wanted.picture), [], wanted.name);
        } finally {
          await context.close();
        }
      }
    } finally {
      await server.close();
      await rm(site, { recursive: true, force: true });
    }
  });
});
