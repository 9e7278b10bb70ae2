// What the program tells the page around it (platform/web/platform.cpp).
// Linked with --js-library.
var LibraryWebPage = {
  // A line for the player outside the field: the page's Module.onOutcome
  // shows it; the console keeps it too.
  vantorel_show_outcome: function(line, trouble) {
    var text = UTF8ToString(line);
    (trouble ? err : out)('vantorel: ' + text);
    if (typeof Module['onOutcome'] == 'function') {
      Module['onOutcome'](text, !!trouble);
    }
  },
};

mergeInto(LibraryManager.library, LibraryWebPage);
