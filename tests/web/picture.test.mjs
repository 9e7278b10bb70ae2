import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { deflateSync } from 'node:zlib';

import { colourAt, decodePng, shareAlike } from './picture.mjs';

const kShots = ['title', 'play', 'lose'].map((name) =>
  decodePng(readFileSync(new URL(`../../docs/screenshots/${name}.png`, import.meta.url))));

function chunk(type, data) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  return Buffer.concat([length, Buffer.from(type, 'latin1'), data, Buffer.alloc(4)]);
}

// A 2 by 2 RGB picture, each row under the given filter.
function filteredPng(filter, rows) {
  const header = Buffer.from([0, 0, 0, 2, 0, 0, 0, 2, 8, 2, 0, 0, 0]);
  const scanlines = Buffer.concat(rows.map((row) => Buffer.from([filter, ...row])));
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header), chunk('IDAT', deflateSync(scanlines)), chunk('IEND', Buffer.alloc(0))]);
}

test('reads every scanline filter', () => {
  // Each row, filtered, encodes the pixels [10,20,30] [40,50,60] / [70,80,90] [100,110,120].
  const filtered = [
    [0, [[10, 20, 30, 40, 50, 60], [70, 80, 90, 100, 110, 120]]],
    [1, [[10, 20, 30, 30, 30, 30], [70, 80, 90, 30, 30, 30]]],
    [2, [[10, 20, 30, 40, 50, 60], [60, 60, 60, 60, 60, 60]]],
    [3, [[10, 20, 30, 35, 40, 45], [65, 70, 75, 45, 45, 45]]],
    [4, [[10, 20, 30, 30, 30, 30], [60, 60, 60, 30, 30, 30]]],
  ];
  for (const [filter, rows] of filtered) {
    const picture = decodePng(filteredPng(filter, rows));
    assert.deepEqual([...picture.rgba], [10, 20, 30, 255, 40, 50, 60, 255,
                                         70, 80, 90, 255, 100, 110, 120, 255], `filter ${filter}`);
  }
});

test("reads the desktop's screenshots, and tells them apart", () => {
  for (const shot of kShots) {
    assert.deepEqual([shot.width, shot.height], [1024, 768]);
    assert.equal(shareAlike(shot, shot, 0), 1);
  }
  const [title, play] = kShots;
  assert.ok(shareAlike(title, play, 16) < 0.9);
  assert.deepEqual(colourAt(title, 0.5, 0.5), [...title.rgba.subarray(
    (384 * 1024 + 512) * 4, (384 * 1024 + 512) * 4 + 3)]);
});

test('refuses what it cannot read', () => {
  assert.throws(() => decodePng(Buffer.from('not a picture')), /not a PNG/);
  const sixteenBit = filteredPng(0, [[0, 0, 0, 0, 0, 0], [0, 0, 0, 0, 0, 0]]);
  sixteenBit[24] = 16; // the IHDR's bit depth
  assert.throws(() => decodePng(sixteenBit), /only 8-bit/);
});
