// Where the field goes in the browser window: the largest 4:3 rectangle that
// leaves the controls room beside it or below it, whichever gives the larger
// field. Its backing store is a whole number of device pixels in exactly 4:3,
// placed on a device pixel, so the picture maps texel for pixel onto the screen.

export const kControlsThickness = 44; // CSS pixels: one button and its margin
const kAspectWidth = 4;
const kAspectHeight = 3;

// The largest 4:3 size, in device pixels, inside width by height device pixels.
function fittedDeviceSize(width, height) {
  const steps = Math.max(1, Math.floor(Math.min(width / kAspectWidth, height / kAspectHeight)));
  return { width: steps * kAspectWidth, height: steps * kAspectHeight };
}

// The largest field centred in an area given in CSS pixels.
function placedField(area, pixelRatio) {
  const device = fittedDeviceSize(Math.floor(area.width * pixelRatio),
                                  Math.floor(area.height * pixelRatio));
  const leftPixels = Math.round((area.left + area.width / 2) * pixelRatio - device.width / 2);
  const topPixels = Math.round((area.top + area.height / 2) * pixelRatio - device.height / 2);
  return {
    left: leftPixels / pixelRatio,
    top: topPixels / pixelRatio,
    width: device.width / pixelRatio,
    height: device.height / pixelRatio,
    deviceWidth: device.width,
    deviceHeight: device.height,
  };
}

// viewWidth and viewHeight in CSS pixels; pixelRatio is the window's devicePixelRatio.
export function layoutField(viewWidth, viewHeight, pixelRatio) {
  const ratio = pixelRatio > 0 ? pixelRatio : 1;
  // Beside: a bar as wide as the controls on either side keeps the field centred.
  const beside = placedField({ left: kControlsThickness, top: 0,
                               width: Math.max(0, viewWidth - 2 * kControlsThickness),
                               height: viewHeight }, ratio);
  const below = placedField({ left: 0, top: 0, width: viewWidth,
                              height: Math.max(0, viewHeight - kControlsThickness) }, ratio);
  return beside.deviceWidth >= below.deviceWidth ? { ...beside, controls: 'beside' }
                                                 : { ...below, controls: 'below' };
}
