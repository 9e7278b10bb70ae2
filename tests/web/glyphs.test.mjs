import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { kBuiltPage } from './harness.mjs';

const kFont = fileURLToPath(new URL('../../fonts/FRESHBOT.ttf', import.meta.url));
const kHudPointSize = 48;
// The desktop's rasteriser and the WebAssembly one round a few edge pixels
// differently, by one level of 255; a difference a player could see is larger.
const kCoverageTolerance = 1;

// Each glyph as { metrics, coverage }, from one of the two builds of glyph_dump.
function glyphsFrom(command, args) {
  const lines = execFileSync(command, args, { encoding: 'utf8', maxBuffer: 1 << 24 }).trim();
  return lines.split('\n').map((line) => {
    const [metrics, hex] = line.split(':');
    return { metrics, coverage: Buffer.from(hex, 'hex') };
  });
}

function desktopGlyphs(pointSize) {
  return glyphsFrom(path.join(kBuiltPage, 'tools/glyph_dump'), [kFont, String(pointSize)]);
}

function webGlyphs(pointSize) {
  return glyphsFrom(process.execPath, ['--no-experimental-fetch',
    path.join(kBuiltPage, 'tools/glyph_dump.js'), kFont, String(pointSize)]);
}

// The first glyph the two sets draw differently, or null.
function firstDifference(glyphs, reference) {
  if (glyphs.length !== reference.length) {
    return `${glyphs.length} glyphs against ${reference.length}`;
  }
  for (const [i, glyph] of glyphs.entries()) {
    const wanted = reference[i];
    const apart = glyph.coverage.some((level, at) =>
      Math.abs(level - wanted.coverage[at]) > kCoverageTolerance);
    if (glyph.metrics !== wanted.metrics || apart) {
      return `glyph ${glyph.metrics} against ${wanted.metrics}`;
    }
  }
  return null;
}

test('the web build of FreeType draws the heads-up font as the desktop does', () => {
  const web = webGlyphs(kHudPointSize);
  assert.equal(web.length, 128);
  assert.equal(firstDifference(web, desktopGlyphs(kHudPointSize)), null);
  // The comparison sees a glyph set a point smaller.
  assert.notEqual(firstDifference(web, desktopGlyphs(kHudPointSize - 1)), null);
});
