// The whole game in a real browser, played with real mouse events: what it
// draws against what the desktop's screenshot tests ask, how the mouse plays
// it, what it sounds like, and the pace of its frames. Each check returns what
// it found wrong, and is also run on a page broken the way it must catch.
import assert from 'node:assert/strict';
import { fileURLToPath } from 'node:url';
import { describe, test } from 'node:test';

import * as desktop from './desktop_measures.mjs';
import * as harness from './harness.mjs';

const kSound = (name) => fileURLToPath(new URL(`../../sound/${name}.mp3`, import.meta.url));
const kWindFile = kSound('hollowwind');
const kExplosionFile = kSound('shipexplode');

const kFrameMilliseconds = 1000 / 60;

// The desktop's measures of what a player hears (tests/program/heard_game_test.cpp).
const kSilenceRms = 1e-4;
const kAboutTheSameDb = 3;
const kExplosionAboveWindDb = 10;
const kFallBackGraceSeconds = 0.5;
const kWindWindowSeconds = 1;
const kWindGustCycleSeconds = 3.4;
const kLimiterCeiling = 0.891;
const kAtTheCeiling = 0.001;
const kLongestRunOfAPeak = 3;
const kBeforeTheFirstClick = 500;
const kSettleMilliseconds = 300; // the wind's first buffers on their way out

// A ship spun up by a second and a half's hold turns many degrees a frame;
// one at rest turns less than one, and only its rim moves. A busy machine's
// slow frames spin it up less, and some angles change less than others: the
// most that a few frames in a row change is measured.
const kSpinUpHold = 1500;
const kFramesMeasured = 4;
const kShipSideUnits = 4;
const kRestingChange = 5; // mean change per channel between two frames
const kSpinningChange = 8;
const kRestSettles = 1500;

function shipChangeOverAFrame(frames) {
  return Math.max(...frames.slice(1).map((frame, i) =>
    harness.changeAround(frames[i], frame, harness.kShipStart, kShipSideUnits)));
}

// Every screen on the way from the title to the lose picture, as a player
// meets them.
async function screensAlongTheWay(page) {
  const title = await harness.lastFrame(page);
  const instructions = await harness.clickToNextScreen(page);
  await harness.clickToNextScreen(page);
  const play = await harness.screenshotField(page);
  return { title, instructions, play, lose: await harness.flyIntoTheSun(page) };
}

function screenFailures(shots) {
  return [
    ...desktop.fullScreenFailures(shots.title, 'title', ['instructions']),
    ...desktop.fullScreenFailures(shots.instructions, 'instructions', ['title']),
    ...desktop.playFailures(shots.play),
    ...desktop.endPictureFailures(shots.lose, 'lose'),
  ];
}

// What a player hears on the way into play and into the sun: nothing before
// the first click, the wind after it, the explosion at the death.
async function soundAlongTheWay(page) {
  const wind = await harness.soundFileLevel(page, kWindFile);
  const explosion = await harness.soundFileLevel(page, kExplosionFile);
  const beforeClick = await harness.listenFor(page, kBeforeTheFirstClick);
  await harness.clickToNextScreen(page);
  await page.waitForTimeout(kSettleMilliseconds);
  const windHeard = await harness.hear(page, kWindGustCycleSeconds);
  await harness.clickToNextScreen(page);

  await harness.startListening(page);
  await harness.flyIntoTheSun(page);
  const backToWind = explosion.seconds + kFallBackGraceSeconds;
  await page.waitForTimeout(1000 * (backToWind + kWindWindowSeconds + 1));
  const death = await harness.stopListening(page);

  return { wind, explosion, beforeClick, windHeard, death };
}

function levelOver(levels, fromSecond, toSecond) {
  const windows = levels.slice(Math.round(fromSecond * 100), Math.round(toSecond * 100));
  const mean = windows.reduce((sum, level) => sum + 10 ** (level / 10), 0) / windows.length;
  return 10 * Math.log10(mean);
}

function silenceFailures(heard) {
  return heard.rms < kSilenceRms ? [] : [`heard before the first click: rms ${heard.rms}`];
}

function soundFailures(heard) {
  const failures = silenceFailures(heard.beforeClick);
  const windDb = 20 * Math.log10(Math.max(heard.windHeard.rms, 1e-10));
  if (Math.abs(windDb - heard.wind.levelDb) > kAboutTheSameDb) {
    failures.push(`the wind at ${windDb.toFixed(1)} dB, its file at ${heard.wind.levelDb.toFixed(1)}`);
  }
  const { levels } = heard.death;
  const bang = levels.findIndex((level) => level > heard.wind.levelDb + kExplosionAboveWindDb) / 100;
  if (bang < 0) {
    failures.push('no explosion heard at the death');
  } else {
    const explosionDb = levelOver(levels, bang, bang + heard.explosion.seconds);
    if (Math.abs(explosionDb - heard.explosion.levelDb) > 2 * kAboutTheSameDb) {
      failures.push(`the explosion at ${explosionDb.toFixed(1)} dB, its file at ` +
                    `${heard.explosion.levelDb.toFixed(1)}`);
    }
    const back = bang + heard.explosion.seconds + kFallBackGraceSeconds;
    const afterDb = levelOver(levels, back, back + kWindWindowSeconds);
    if (Math.abs(afterDb - heard.wind.levelDb) > kAboutTheSameDb) {
      failures.push(`${afterDb.toFixed(1)} dB after the explosion, not the wind alone`);
    }
  }
  for (const [what, sound] of [['the wind', heard.windHeard], ['the death', heard.death]]) {
    if (sound.fullScale > 0) {
      failures.push(`${what}: ${sound.fullScale} samples at full scale`);
    }
  }
  return failures;
}

// A tone `gain` times full scale, rendered offline in the page through
// `route`: the game's limiter as the page runs it on the audio thread
// ('limiter'), a hard clamp at the limiter's ceiling ('clamp'), or nothing;
// measured as the probe measures what the page plays.
function loudToneThrough(page, route, gain = 2) {
  return harness.readPage(page, async ({ through, ceiling, within, loudness }) => {
    const rate = 48000;
    const context = new OfflineAudioContext(2, rate / 2, rate);
    const tone = new OscillatorNode(context, { frequency: 441 });
    const level = new GainNode(context, { gain: loudness });
    tone.connect(level);
    let out = level;
    if (through === 'limiter') {
      await context.audioWorklet.addModule('limiter_worklet.js');
      const code = await (await fetch('limiter.wasm')).arrayBuffer();
      out = new AudioWorkletNode(context, 'limiter', {
        outputChannelCount: [2], channelCount: 2, channelCountMode: 'explicit',
        processorOptions: { code } });
    } else if (through === 'clamp') {
      out = new WaveShaperNode(context, { curve: new Float32Array(2049).map(
        (_, i) => Math.max(-ceiling, Math.min(ceiling, i / 1024 - 1))) });
    }
    if (out !== level) {
      level.connect(out);
    }
    out.connect(context.destination);
    tone.start();
    const sound = await context.startRendering();
    return window.__measureSound([sound.getChannelData(0), sound.getChannelData(1)], rate,
                                 { ceiling, within });
  }, { through: route, ceiling: kLimiterCeiling, within: kAtTheCeiling, loudness: gain });
}

// A tone twice full scale must come out peaking at the ceiling, its peaks
// round, and nothing at full scale.
function limiterFailures(heard) {
  const failures = [];
  if (heard.fullScale > 0) {
    failures.push(`${heard.fullScale} samples at full scale`);
  }
  if (Math.abs(heard.peak - kLimiterCeiling) > kAtTheCeiling) {
    failures.push(`peaks at ${heard.peak.toFixed(4)}, not the ceiling`);
  }
  if (heard.longestRunAtCeiling > kLongestRunOfAPeak) {
    failures.push(`peaks flat for ${heard.longestRunAtCeiling} samples`);
  }
  return failures;
}

describe('the game in the page', () => {
  const suite = harness.gameSuite();

  test('shows the title, the instructions, play and the lose picture as the desktop does', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      assert.deepEqual(screenFailures(await screensAlongTheWay(page)), []);
    });
  });

  // A finger plays on a phone held sideways as the mouse does: a tap flies the
  // ship, a press held on it spins it, and a tap on the end picture plays again
  // once, not twice: a second click would send the new ship away at once.
  test('plays with the mouse and a finger: a spin on the ship, into the sun, and a quick click ' +
       'plays again', async () => {
    for (const pointer of [harness.kMouse, harness.kFinger]) {
      await suite.withGame(pointer.viewport, async (page) => {
        await harness.reachPlay(page, pointer.click);
        await page.waitForTimeout(kRestSettles);
        const atRest = shipChangeOverAFrame(await harness.nextFrames(page, kFramesMeasured));
        assert.ok(atRest < kRestingChange, `${pointer.name}: the waiting ship changes ${atRest}`);

        await pointer.down(page, harness.kShipStart);
        await page.waitForTimeout(kSpinUpHold);
        await pointer.up(page);
        const spinning = shipChangeOverAFrame(await harness.nextFrames(page, kFramesMeasured));
        assert.ok(spinning > kSpinningChange, `${pointer.name}: the spun ship changes ${spinning}`);

        const lose = await harness.flyIntoTheSun(page, pointer.click);
        assert.deepEqual(desktop.endPictureFailures(lose, 'lose'), [], pointer.name);
        await harness.playAgain(page, pointer.click);
        await harness.waitForFrames(page, 2);
        const again = await harness.screenshotField(page);
        assert.notDeepEqual(desktop.endPictureFailures(again, 'lose'), [],
                            `${pointer.name}: a new game began`);
        await page.waitForTimeout(kRestSettles);
        for (const shot of [again, await harness.screenshotField(page)]) {
          const seen = harness.shipSeen(shot);
          const away = seen && Math.hypot(seen.x - harness.kShipStart.x, seen.y - harness.kShipStart.y);
          assert.ok(seen && away < 1,
                    `${pointer.name}: the new ship waits at its start: ${JSON.stringify(seen)}`);
        }
      });
    }
  });

  test('is heard after the first click: the wind, the explosion at the death, never full scale',
       async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      assert.deepEqual(soundFailures(await soundAlongTheWay(page)), []);
    });
  });

  // The check's controls: the same tone unlimited, and clamped flat.
  test("runs the desktop's limiter: a sound past full scale peaks at the ceiling, round", async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      assert.deepEqual(limiterFailures(await loudToneThrough(page, 'limiter')), []);
      assert.match(limiterFailures(await loudToneThrough(page, 'nothing')).join(), /full scale/);
      assert.match(limiterFailures(await loudToneThrough(page, 'clamp')).join(), /flat/);
    });
  });

  test('draws no frames while it stays on the title, and one after another in play', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      const still = await harness.readPage(page, () => window.__framesShown);
      await page.waitForTimeout(1000);
      assert.equal(await harness.readPage(page, () => window.__framesShown), still);

      await harness.reachPlay(page);
      const start = await harness.readPage(page, () => window.__framesShown);
      await page.waitForTimeout(1000);
      const played = (await harness.readPage(page, () => window.__framesShown)) - start;
      assert.ok(played > 1000 / (4 * kFrameMilliseconds), `${played} frames in a second of play`);
    });
  });
});

describe('the checks, on pages broken the way they must catch', () => {
  const suite = harness.gameSuite();
  const withBrokenGame = (prepare, use) => suite.withGame(harness.kDesktopViewport, use, prepare);

  test('a page that draws no pictures fails every screen', async () => {
    const noPictures = () => {
      WebGLRenderingContext.prototype.texImage2D = () => {};
      WebGLRenderingContext.prototype.texSubImage2D = () => {};
    };
    await withBrokenGame(noPictures, async (page) => {
      const failures = screenFailures(await screensAlongTheWay(page));
      for (const screen of ['title', 'instructions', 'play', 'lose']) {
        assert.ok(failures.some((failure) => failure.startsWith(`${screen}:`)),
                  `${screen}: ${failures.join('; ')}`);
      }
    });
  });

  test('a page with its sound off fails the wind and the explosion', async () => {
    const muted = () => localStorage.setItem('vantorel.muted', 'true');
    await withBrokenGame(muted, async (page) => {
      const failures = soundFailures(await soundAlongTheWay(page));
      assert.ok(failures.some((failure) => failure.startsWith('the wind at')), failures.join('; '));
      assert.ok(failures.includes('no explosion heard at the death'), failures.join('; '));
    });
  });
});

describe('the silence before the first click, where the browser lets pages sound at once', () => {
  const suite = harness.gameSuite(['--autoplay-policy=no-user-gesture-required']);

  test('fails', async () => {
    await suite.withGame(harness.kDesktopViewport, async (page) => {
      await page.waitForTimeout(kBeforeTheFirstClick);
      assert.notDeepEqual(silenceFailures(await harness.listenFor(page, kBeforeTheFirstClick)), []);
    });
  });
});
