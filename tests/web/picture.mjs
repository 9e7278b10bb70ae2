// Pictures as the browser tests see them: PNG screenshots of the page and the
// desktop's screenshots, read into RGBA pixels, and the ways they are compared.
import { inflateSync } from 'node:zlib';

const kSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const kChannelsOfType = { 0: 1, 2: 3, 4: 2, 6: 4 }; // grey, RGB, grey+alpha, RGBA

function paeth(left, up, upLeft) {
  const estimate = left + up - upLeft;
  const toLeft = Math.abs(estimate - left);
  const toUp = Math.abs(estimate - up);
  const toUpLeft = Math.abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) {
    return left;
  }
  return toUp <= toUpLeft ? up : upLeft;
}

// The value a scanline's filter predicts for a byte from its neighbours.
function predictor(filter) {
  switch (filter) {
    case 0: return () => 0;
    case 1: return (left) => left;
    case 2: return (left, up) => up;
    case 3: return (left, up) => (left + up) >> 1;
    case 4: return paeth;
    default: throw new Error(`PNG: unknown filter ${filter}`);
  }
}

// Undoes the filter of each scanline; returns the unfiltered rows.
function unfilter(filtered, rowBytes, rows, bytesPerPixel) {
  const out = new Uint8Array(rowBytes * rows);
  for (let row = 0; row < rows; ++row) {
    const predict = predictor(filtered[row * (rowBytes + 1)]);
    const source = row * (rowBytes + 1) + 1;
    const target = row * rowBytes;
    for (let i = 0; i < rowBytes; ++i) {
      const left = i >= bytesPerPixel ? out[target + i - bytesPerPixel] : 0;
      const up = row > 0 ? out[target + i - rowBytes] : 0;
      const upLeft = row > 0 && i >= bytesPerPixel ? out[target + i - rowBytes - bytesPerPixel] : 0;
      out[target + i] = (filtered[source + i] + predict(left, up, upLeft)) & 0xff;
    }
  }
  return out;
}

// Reads an 8-bit, non-interlaced PNG into { width, height, rgba }.
export function decodePng(file) {
  if (!file.subarray(0, 8).equals(kSignature)) {
    throw new Error('PNG: not a PNG file');
  }
  let header = null;
  const compressed = [];
  for (let at = 8; at + 8 <= file.length;) {
    const length = file.readUInt32BE(at);
    const type = file.toString('latin1', at + 4, at + 8);
    const data = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      header = { width: data.readUInt32BE(0), height: data.readUInt32BE(4), depth: data[8],
                 colourType: data[9], interlaced: data[12] !== 0 };
    } else if (type === 'IDAT') {
      compressed.push(data);
    }
    at += 12 + length;
  }
  const channels = header && kChannelsOfType[header.colourType];
  if (!channels || header.depth !== 8 || header.interlaced) {
    throw new Error('PNG: only 8-bit non-interlaced grey or RGB(A) pictures are read');
  }
  const { width, height } = header;
  const pixels = unfilter(inflateSync(Buffer.concat(compressed)), width * channels, height,
                          channels);
  const rgba = new Uint8Array(width * height * 4);
  const [green, blue] = channels <= 2 ? [0, 0] : [1, 2];
  const hasAlpha = channels % 2 === 0;
  for (let i = 0, from = 0; i < rgba.length; i += 4, from += channels) {
    rgba[i] = pixels[from];
    rgba[i + 1] = pixels[from + green];
    rgba[i + 2] = pixels[from + blue];
    rgba[i + 3] = hasAlpha ? pixels[from + channels - 1] : 255;
  }
  return { width, height, rgba };
}

// The colour at a fraction of the picture's width and height (0 to 1, from the top left).
export function colourAt(picture, across, down) {
  const x = Math.min(picture.width - 1, Math.max(0, Math.floor(across * picture.width)));
  const y = Math.min(picture.height - 1, Math.max(0, Math.floor(down * picture.height)));
  const at = (y * picture.width + x) * 4;
  return [...picture.rgba.subarray(at, at + 3)];
}

export function isNear(colour, expected, tolerance) {
  return colour.every((channel, i) => Math.abs(channel - expected[i]) <= tolerance);
}

// Share of a grid of samples, taken at the same fractions of both pictures,
// whose colours agree within the tolerance: pictures of different sizes
// (another window size, another pixel density) compare as the player sees them.
export function shareAlike(picture, reference, tolerance, samplesAcross = 64) {
  const samplesDown = Math.round((samplesAcross * reference.height) / reference.width);
  let alike = 0;
  for (let row = 0; row < samplesDown; ++row) {
    for (let column = 0; column < samplesAcross; ++column) {
      const across = (column + 0.5) / samplesAcross;
      const down = (row + 0.5) / samplesDown;
      alike += isNear(colourAt(picture, across, down), colourAt(reference, across, down),
                      tolerance) ? 1 : 0;
    }
  }
  return alike / (samplesAcross * samplesDown);
}

const kTgaHeaderBytes = 18;
const kTgaRunLength = 10;
const kTgaTopRowFirst = 0x20;

// Reads the game's own pictures, Truevision TGA of 24 or 32 bits, plain or
// run-length, into { width, height, rgba }, top row first.
export function decodeTga(file) {
  const type = file[2];
  const width = file.readUInt16LE(12);
  const height = file.readUInt16LE(14);
  const bytesPerPixel = file[16] / 8;
  if ((type !== 2 && type !== kTgaRunLength) || (bytesPerPixel !== 3 && bytesPerPixel !== 4)) {
    throw new Error('TGA: only 24- or 32-bit colour pictures are read');
  }
  const stored = new Uint8Array(width * height * 4);
  let at = kTgaHeaderBytes;
  const readPixel = (to) => {
    stored[to] = file[at + 2];
    stored[to + 1] = file[at + 1];
    stored[to + 2] = file[at];
    stored[to + 3] = bytesPerPixel === 4 ? file[at + 3] : 255;
    at += bytesPerPixel;
  };
  for (let pixel = 0; pixel < width * height;) {
    const packet = type === kTgaRunLength ? file[at++] : 0;
    const count = type === kTgaRunLength ? (packet & 0x7f) + 1 : 1;
    if (packet & 0x80) {
      readPixel(pixel * 4);
      for (let i = 1; i < count; ++i) {
        stored.copyWithin((pixel + i) * 4, pixel * 4, pixel * 4 + 4);
      }
    } else {
      for (let i = 0; i < count; ++i) {
        readPixel((pixel + i) * 4);
      }
    }
    pixel += count;
  }
  if (file[17] & kTgaTopRowFirst) {
    return { width, height, rgba: stored };
  }
  const rgba = new Uint8Array(stored.length);
  for (let row = 0; row < height; ++row) {
    rgba.set(stored.subarray((height - 1 - row) * width * 4, (height - row) * width * 4),
             row * width * 4);
  }
  return { width, height, rgba };
}
