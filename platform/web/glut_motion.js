// Emscripten's GLUT (3.1.6) hands glutMotionFunc and glutPassiveMotionFunc the
// pointer's previous position, so a drag is always one event behind. Linked
// with --js-library, this replaces its mousemove handler, once the GLUT
// object exists and before glutInit listens, with one that hands them the
// position the event reports.
function reportCurrentMotion() {
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
}

mergeInto(LibraryManager.library, {
  $GLUT__postset: '(' + reportCurrentMotion.toString() + ')();',
});
