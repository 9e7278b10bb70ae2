// The measures the desktop's screenshot tests take (tests/program/
// stretched_picture.cpp, play_field.cpp, hud_test.cpp), with their tolerances,
// for pictures of the field of any size: the page is held to what the desktop is.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { decodeTga } from './picture.mjs';

const kImages = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../images');

// Share of samples that must match for a full-window picture to count as shown.
export const kWholePicture = 0.97;
// In play the bodies and the planet counter are drawn over the backdrop.
export const kMostOfTheBackdrop = 0.85;
// Share of the end picture's opaque texels a screenshot must show.
export const kMostOfTheEndPicture = 0.9;

const kTolerance = 40; // per channel, for filtering and stretching
const kDesktopWidth = 1024; // the desktop's window, whose pixels the steps below count
const kStep = 16; // spacing of the sample grid
const kEdgeStep = 4;
const kEndSampleStep = 8;
// The play field in world units, as the game places it: x across, y up.
export const kField = { left: -50, right: 50, bottom: 0, top: 75 };
const kSunCentre = { x: 0, y: 40 };
const kEndImageSize = 45;

export function gamePicture(name) {
  return decodeTga(readFileSync(path.join(kImages, name)));
}

// The game's full-window pictures.
export const screens = {
  title: gamePicture('titlescreen.tga'),
  instructions: gamePicture('instructions.tga'),
  backdrop: gamePicture('background.tga'),
};

function texel(picture, column, row, channel) {
  const x = Math.min(Math.max(column, 0), picture.width - 1);
  const y = Math.min(Math.max(row, 0), picture.height - 1);
  return picture.rgba[4 * (y * picture.width + x) + channel];
}

// The picture as the game stretches it over a width by height field: bilinear
// sampling at the centre of pixel (x, y), y down.
export function stretchedAt(picture, x, y, width, height) {
  const u = ((x + 0.5) / width) * picture.width - 0.5;
  const v = ((y + 0.5) / height) * picture.height - 0.5;
  const u0 = Math.floor(u);
  const v0 = Math.floor(v);
  const fu = u - u0;
  const fv = v - v0;
  return [0, 1, 2].map((channel) => {
    const top = texel(picture, u0, v0, channel) * (1 - fu) + texel(picture, u0 + 1, v0, channel) * fu;
    const bottom = texel(picture, u0, v0 + 1, channel) * (1 - fu) +
                   texel(picture, u0 + 1, v0 + 1, channel) * fu;
    return Math.round(top * (1 - fv) + bottom * fv);
  });
}

export function pixelAt(shot, x, y) {
  const at = 4 * (y * shot.width + x);
  return [shot.rgba[at], shot.rgba[at + 1], shot.rgba[at + 2]];
}

function matchesAt(shot, picture, x, y) {
  const expected = stretchedAt(picture, x, y, shot.width, shot.height);
  return pixelAt(shot, x, y).every((value, c) => Math.abs(value - expected[c]) <= kTolerance);
}

function samplePoints(shot) {
  const step = Math.max(1, Math.round((kStep * shot.width) / kDesktopWidth));
  const points = [];
  for (let y = step >> 1; y < shot.height; y += step) {
    for (let x = step >> 1; x < shot.width; x += step) {
      points.push([x, y]);
    }
  }
  return points;
}

// Share of a grid of samples over the whole field that show the picture.
export function shareMatching(shot, picture) {
  const points = samplePoints(shot);
  return points.filter(([x, y]) => matchesAt(shot, picture, x, y)).length / points.length;
}

// Mean difference per channel over the same grid: lowest for the picture shown.
export function meanError(shot, picture) {
  const points = samplePoints(shot);
  let sum = 0;
  for (const [x, y] of points) {
    const expected = stretchedAt(picture, x, y, shot.width, shot.height);
    pixelAt(shot, x, y).forEach((value, c) => { sum += Math.abs(value - expected[c]); });
  }
  return sum / (3 * points.length);
}

// Share of samples along the outermost rows and columns that show the picture.
export function shareMatchingAtTheEdges(shot, picture) {
  const right = shot.width - 1;
  const bottom = shot.height - 1;
  let matching = 0;
  let samples = 0;
  for (let x = 0; x < shot.width; x += kEdgeStep) {
    matching += matchesAt(shot, picture, x, 0) + matchesAt(shot, picture, x, bottom);
    samples += 2;
  }
  for (let y = 0; y < shot.height; y += kEdgeStep) {
    matching += matchesAt(shot, picture, 0, y) + matchesAt(shot, picture, right, y);
    samples += 2;
  }
  return matching / samples;
}

// Share of the opaque texels of an end picture (drawn 45 by 45 units over the
// sun) that the screenshot shows.
export function shareOfEndPicture(shot, picture) {
  const pixelsPerUnit = shot.width / (kField.right - kField.left);
  const left = (kSunCentre.x - kEndImageSize / 2 - kField.left) * pixelsPerUnit;
  const top = (kField.top - (kSunCentre.y + kEndImageSize / 2)) * pixelsPerUnit;
  const side = kEndImageSize * pixelsPerUnit;
  const step = Math.max(1, Math.round((kEndSampleStep * shot.width) / kDesktopWidth));
  let opaque = 0;
  let matching = 0;
  for (let y = Math.trunc(top) + 2; y < top + side - 2; y += step) {
    for (let x = Math.trunc(left) + 2; x < left + side - 2; x += step) {
      const u = Math.trunc(((x + 0.5 - left) / side) * picture.width);
      const v = Math.trunc(((y + 0.5 - top) / side) * picture.height);
      const at = 4 * (v * picture.width + u);
      if (picture.rgba[at + 3] !== 255) {
        continue;
      }
      ++opaque;
      matching += pixelAt(shot, x, y).every(
        (value, c) => Math.abs(value - picture.rgba[at + c]) <= kTolerance) ? 1 : 0;
    }
  }
  return opaque ? matching / opaque : 0;
}

// The ship's cyan eye, at its centre: found within 80 desktop pixels of a
// field pixel, as tests/program/ship_pilot.cpp finds it.
const kEye = { red: 132, green: 212, leastBlue: 205, tolerance: 36, leastPixels: 4, searchRadius: 80 };

// The centre of the ship's eye near pixel (x, y) of the shot, or null.
export function shipEyeNear(shot, x, y) {
  const radius = Math.round((kEye.searchRadius * shot.width) / kDesktopWidth);
  let found = 0;
  let sumX = 0;
  let sumY = 0;
  for (let row = Math.max(0, y - radius); row < Math.min(shot.height, y + radius); ++row) {
    for (let column = Math.max(0, x - radius); column < Math.min(shot.width, x + radius); ++column) {
      const [red, green, blue] = pixelAt(shot, column, row);
      if (Math.abs(red - kEye.red) <= kEye.tolerance && Math.abs(green - kEye.green) <= kEye.tolerance &&
          blue >= kEye.leastBlue) {
        ++found;
        sumX += column + 0.5;
        sumY += row + 0.5;
      }
    }
  }
  return found >= kEye.leastPixels ? { x: sumX / found, y: sumY / found } : null;
}

// "Planets Formed: 0", white at half opacity: its box in desktop pixels.
const kCounter = { left: 640, top: 50, right: 1016, bottom: 88 };
const kSameTolerance = 12; // levels within which a pixel is half way to white
const kLighterBy = 24; // this much lighter than the backdrop, something is on it
const kLeastInk = 300; // pixels of the counter's text at the desktop's size
const kLeastHalfWhite = 50;
const kMostOverHalf = 0.1; // of the ink: a speck of debris, not the text drawn opaque

// How the counter's box compares with the backdrop alone, as the desktop's
// tests/program/hud_test.cpp compares it, in pixels of a desktop-sized field.
export function counterInk(shot) {
  const scale = shot.width / kDesktopWidth;
  let lighter = 0;
  let halfWhite = 0;
  let overHalf = 0;
  for (let y = Math.round(kCounter.top * scale); y < Math.round(kCounter.bottom * scale); ++y) {
    for (let x = Math.round(kCounter.left * scale); x < Math.round(kCounter.right * scale); ++x) {
      const expected = stretchedAt(screens.backdrop, x, y, shot.width, shot.height);
      const seen = pixelAt(shot, x, y);
      const halfWay = expected.map((value) => (255 + value) / 2);
      const isLighter = seen.every((value, c) => value - expected[c] >= kLighterBy);
      lighter += isLighter;
      halfWhite += isLighter && seen.every((value, c) => Math.abs(value - halfWay[c]) <= kSameTolerance);
      overHalf += seen.every((value, c) => value > halfWay[c] + 2 * kSameTolerance);
    }
  }
  const area = scale * scale;
  return { lighter: lighter / area, halfWhite: halfWhite / area, overHalf: overHalf / area };
}

// What a picture of a full-window screen does not show as the desktop's tests
// ask: `others` are the screens it must look less like.
export function fullScreenFailures(shot, name, others = []) {
  const failures = [];
  const share = shareMatching(shot, screens[name]);
  if (share < kWholePicture) {
    failures.push(`${name}: ${share.toFixed(3)} of the samples show it`);
  }
  const edges = shareMatchingAtTheEdges(shot, screens[name]);
  if (edges < kWholePicture) {
    failures.push(`${name}: ${edges.toFixed(3)} of its edges show it`);
  }
  for (const other of others) {
    if (meanError(shot, screens[other]) <= meanError(shot, screens[name])) {
      failures.push(`${name}: looks as much like the ${other}`);
    }
  }
  return failures;
}

// What the first picture of play does not show: the backdrop, and the counter
// over it, half white.
export function playFailures(shot) {
  const failures = [];
  const share = shareMatching(shot, screens.backdrop);
  if (share < kMostOfTheBackdrop) {
    failures.push(`play: ${share.toFixed(3)} of the samples show the backdrop`);
  }
  if (meanError(shot, screens.backdrop) >= meanError(shot, screens.instructions)) {
    failures.push('play: looks as much like the instructions as the backdrop');
  }
  const ink = counterInk(shot);
  if (ink.lighter < kLeastInk) {
    failures.push(`play: the counter has ${Math.round(ink.lighter)} pixels of ink`);
  }
  if (ink.halfWhite < kLeastHalfWhite) {
    failures.push(`play: ${Math.round(ink.halfWhite)} pixels of the counter are half white`);
  }
  if (ink.overHalf > kMostOverHalf * ink.lighter) {
    failures.push(`play: ${Math.round(ink.overHalf)} pixels of the counter are more than half white`);
  }
  return failures;
}

export function endPictureFailures(shot, name) {
  const share = shareOfEndPicture(shot, gamePicture(`${name}.tga`));
  return share > kMostOfTheEndPicture ? [] : [`${name}: ${share.toFixed(3)} of the picture shows`];
}

// The records line under the end picture, as tests/program/records_test.cpp
// finds it: white strokes in its box, which a star or a speck of debris
// lights only a few pixels of. Counted in pixels of a desktop-sized field.
const kRecordsLine = { left: -18, right: 18, bottom: 12, top: 17.5, bright: 200 };
export const kRecordsLinePixels = 300;

export function recordsLineInk(shot) {
  const column = (x) => Math.round(((x - kField.left) / (kField.right - kField.left)) * shot.width);
  const row = (y) => Math.round(((kField.top - y) / (kField.top - kField.bottom)) * shot.height);
  let bright = 0;
  for (let y = row(kRecordsLine.top); y <= row(kRecordsLine.bottom); ++y) {
    for (let x = column(kRecordsLine.left); x <= column(kRecordsLine.right); ++x) {
      bright += pixelAt(shot, x, y).every((value) => value > kRecordsLine.bright) ? 1 : 0;
    }
  }
  const scale = shot.width / kDesktopWidth;
  return bright / (scale * scale);
}
