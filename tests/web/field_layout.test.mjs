import assert from 'node:assert/strict';
import { test } from 'node:test';

import { kControlsThickness, layoutField } from '../../platform/web/field_layout.mjs';

const kWindows = [
  // width, height, pixel ratio: where the controls go
  { view: [1112, 768, 1], controls: 'beside', device: [1024, 768] },
  { view: [1024, 812, 1], controls: 'below', device: [1024, 768] },
  { view: [1920, 1080, 1], controls: 'beside', device: [1440, 1080] },
  { view: [1920, 1080, 2], controls: 'beside', device: [2880, 2160] },
  { view: [844, 390, 3], controls: 'beside', device: [1560, 1170] },
  { view: [390, 844, 2], controls: 'below', device: [780, 585] },
  { view: [1280, 720, 2.625], controls: 'beside', device: [2520, 1890] },
  { view: [1366, 768, 1.25], controls: 'beside', device: [1280, 960] },
];

test('the field is the largest 4:3 rectangle that leaves the controls room', () => {
  for (const { view: [width, height, ratio], controls, device } of kWindows) {
    const layout = layoutField(width, height, ratio);
    const name = `${width}x${height}@${ratio}`;
    assert.equal(layout.controls, controls, name);
    assert.deepEqual([layout.deviceWidth, layout.deviceHeight], device, name);
    assert.equal(layout.deviceWidth * 3, layout.deviceHeight * 4, `${name}: exactly 4:3`);
    assert.equal(layout.width * ratio, layout.deviceWidth, `${name}: backing = CSS size x ratio`);
    for (const edge of [layout.left, layout.top]) {
      const pixels = edge * ratio;
      assert.ok(Math.abs(pixels - Math.round(pixels)) < 1e-9, `${name}: on a device pixel`);
    }
  }
});

test('the field stays inside the window, clear of the controls, and centred', () => {
  for (const { view: [width, height, ratio] } of kWindows) {
    const layout = layoutField(width, height, ratio);
    const name = `${width}x${height}@${ratio}`;
    const [freeWidth, freeHeight] = layout.controls === 'beside'
      ? [width - 2 * kControlsThickness, height] : [width, height - kControlsThickness];
    const leftOver = layout.controls === 'beside' ? kControlsThickness : 0;
    assert.ok(layout.left >= leftOver && layout.left + layout.width <= leftOver + freeWidth, name);
    assert.ok(layout.top >= 0 && layout.top + layout.height <= freeHeight, name);
    const offCentre = layout.left - leftOver - (freeWidth - layout.width) / 2;
    assert.ok(Math.abs(offCentre) <= 1 / ratio, `${name}: centred across`);
  }
});

test('a window too small for the field still gets one', () => {
  const layout = layoutField(20, 10, 1);
  assert.deepEqual([layout.deviceWidth, layout.deviceHeight], [4, 3]);
});
