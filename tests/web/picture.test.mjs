import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { deflateSync } from 'node:zlib';

import { colourAt, decodePng, decodeTga, shareAlike } from './picture.mjs';

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

// A 2 by 2 TGA: the header, then the pixel bytes as stored (blue, green, red[, alpha]).
function tga({ type, bits, topRowFirst }, body) {
  const header = Buffer.alloc(18);
  header[2] = type;
  header.writeUInt16LE(2, 12);
  header.writeUInt16LE(2, 14);
  header[16] = bits;
  header[17] = topRowFirst ? 0x20 : 0;
  return Buffer.concat([header, Buffer.from(body)]);
}

test("reads the game's pictures: plain and run-length, either row order", () => {
  // Stored rows: red, green / blue, white; the red row is the top one when stored first.
  const red = [0, 0, 255];
  const green = [0, 255, 0];
  const blue = [255, 0, 0];
  const white = [255, 255, 255];
  const topDown = [255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255];
  const bottomUp = [0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255];
  const cases = [
    [{ type: 2, bits: 24, topRowFirst: true }, [...red, ...green, ...blue, ...white], topDown],
    [{ type: 2, bits: 24, topRowFirst: false }, [...red, ...green, ...blue, ...white], bottomUp],
    [{ type: 2, bits: 32, topRowFirst: true }, [...red, 255, ...green, 255, ...blue, 255, ...white, 255],
      topDown],
    // One run of two reds, then a raw packet of blue and white.
    [{ type: 10, bits: 24, topRowFirst: true }, [0x81, ...red, 0x01, ...blue, ...white],
      [255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255]],
  ];
  for (const [format, body, expected] of cases) {
    const picture = decodeTga(tga(format, body));
    assert.deepEqual([picture.width, picture.height, ...picture.rgba], [2, 2, ...expected],
                     JSON.stringify(format));
  }
  assert.throws(() => decodeTga(tga({ type: 3, bits: 8, topRowFirst: true }, [0, 0, 0, 0])),
                /only 24- or 32-bit/);
});
