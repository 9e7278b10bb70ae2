// Emscripten's GLUT (3.1.6), mended for the game. Linked with --js-library;
// the mends are made once the GLUT object exists, before glutInit listens.
//
// GLUT hands glutMotionFunc and glutPassiveMotionFunc the pointer's previous
// position, so a drag is always one event behind: its mousemove handler is
// replaced with one that hands them the position the event reports.
//
// The game takes a button's position from the motion before it, as a mouse
// always moves to where it clicks. A finger does not: it lands. So a touch
// that starts is first reported as a move to where it landed.
//
// GLUT sets the canvas's size at start and the page on every change, and a
// size set again, even the same, throws the drawing buffer away and makes it
// anew, which takes a software renderer tens of milliseconds: a size that has
// not changed is only reported.
function mendGlut() {
  GLUT.onMousemove = function(event) {
    var lastX = Browser.mouseX;
    var lastY = Browser.mouseY;
    Browser.calculateMouseEvent(event);
    var x = Browser.mouseX;
    var y = Browser.mouseY;
    if (x == lastX && y == lastY) return;
    var callback = 0;
    if (GLUT.buttons == 0 && event.target == Module['canvas']) {
      callback = GLUT.passiveMotionFunc;
    } else if (GLUT.buttons != 0) {
      callback = GLUT.motionFunc;
    }
    if (!callback) return;
    event.preventDefault();
    GLUT.saveModifiers(event);
    {{{ makeDynCall('vii', 'callback') }}}(x, y);
  };

  var reportTouch = GLUT.touchHandler;
  GLUT.touchHandler = function(event) {
    if (event.type == 'touchstart' && event.target == Module['canvas']) {
      var touch = event.changedTouches[0];
      var landed = document.createEvent('MouseEvent');
      landed.initMouseEvent('mousemove', true, true, window, 1, touch.screenX, touch.screenY,
                            touch.clientX, touch.clientY, false, false, false, false, 0, null);
      touch.target.dispatchEvent(landed);
    }
    reportTouch(event);
  };

  var setCanvasSize = Browser.setCanvasSize;
  Browser.setCanvasSize = function(width, height, noUpdates) {
    var canvas = Module['canvas'];
    if (canvas.width != width || canvas.height != height) {
      setCanvasSize(width, height, noUpdates);
    } else if (!noUpdates) {
      Browser.updateResizeListeners();
    }
  };
}

mergeInto(LibraryManager.library, {
  $GLUT__postset: '(' + mendGlut.toString() + ')();',
});
