// The browser's side of the files the game keeps (platform/web/storage.cpp):
// a folder of the program's memory copied from the site's IndexedDB
// (emscripten's IDBFS) before main() runs, and copied back after each change,
// since this emscripten keeps nothing by itself. Linked with --js-library.
//
// The page reads Module.keptFiles: { ready, pending, syncs, lastSyncMs,
// failure, persisted } (pending while a change is still to be copied back,
// syncs counts the copies back that have finished), and may call
// Module.keepChanges(done) after changing the files itself.
var LibraryWebStorage = {
  $WebStorage__deps: ['$FS', '$IDBFS'],
  $WebStorage__postset: 'WebStorage.mount();',
  $WebStorage: {
    kFolder: '/kept', // keptFilesRoot() in storage.cpp
    kDependency: 'kept-files',

    state: { ready: false, pending: false, syncs: 0, lastSyncMs: 0, failure: '', persisted: null },
    syncing: false,
    syncAgain: false,
    waiting: [], // called once the copy that takes the latest changes ends
    finishing: [],
    persistenceAsked: false,

    // Copied in while the program and its data download: main() waits for it.
    mount: function() {
      Module['keptFiles'] = WebStorage.state;
      Module['keepChanges'] = WebStorage.sync;
      addRunDependency(WebStorage.kDependency);
      var done = function(error) {
        if (error) {
          WebStorage.fail('read', error);
        }
        WebStorage.state.ready = true;
        removeRunDependency(WebStorage.kDependency);
      };
      try {
        FS.mkdir(WebStorage.kFolder);
        FS.mount(IDBFS, {}, WebStorage.kFolder);
        FS.syncfs(true, done);
      } catch (error) {
        done(error);
      }
    },

    fail: function(what, error) {
      WebStorage.state.failure = what + ': ' + (error && error.message || error);
      err('vantorel: the browser could not ' + what + ' the kept files (' +
          WebStorage.state.failure + '): they last only while the page is open');
    },

    // One copy at a time: a change made during a copy is copied once it ends.
    sync: function(done) {
      if (done) {
        WebStorage.waiting.push(done);
      }
      WebStorage.state.pending = true;
      if (WebStorage.syncing) {
        WebStorage.syncAgain = true;
        return;
      }
      WebStorage.syncing = true;
      WebStorage.finishing = WebStorage.waiting.splice(0);
      var start = performance.now();
      FS.syncfs(false, function(error) {
        WebStorage.syncing = false;
        if (error) {
          WebStorage.fail('store', error);
        }
        WebStorage.state.lastSyncMs = performance.now() - start;
        WebStorage.state.syncs += 1;
        WebStorage.finishing.splice(0).forEach(function(finished) {
          finished(error);
        });
        if (WebStorage.syncAgain) {
          WebStorage.syncAgain = false;
          WebStorage.sync();
        } else {
          WebStorage.state.pending = false;
        }
      });
      WebStorage.askToPersist();
    },

    // Browsers may clear a site's storage when space runs short unless asked
    // to keep it; asked once there is something to keep, not at the first visit.
    askToPersist: function() {
      if (WebStorage.persistenceAsked || !navigator.storage || !navigator.storage.persist) {
        return;
      }
      WebStorage.persistenceAsked = true;
      navigator.storage.persist().then(function(granted) {
        WebStorage.state.persisted = granted;
      }, function() {
        WebStorage.state.persisted = false;
      });
    },
  },

  vantorel_keep_changes: function() {
    WebStorage.sync();
  },
};

autoAddDeps(LibraryWebStorage, '$WebStorage');
mergeInto(LibraryManager.library, LibraryWebStorage);
