#include "app/program.h"

#include "app/camera.h"
#include "app/game.h"
#include "app/input_manager.h"
#include "app/record_keeper.h"
#include "app/replay_player.h"
#include "app/replay_recorder.h"
#include "app/version.h"
#include "audio/sound_manager.h"
#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "platform/platform.h"
#include "records/record_store.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <GL/glut.h>

#include <climits>
#include <cstdio>
#include <malloc.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLargestHeapBlock = 256 * 1024;
constexpr int kHeapKeptFree = 2 * 1024 * 1024;

void onReshape(int w, int h) {
    getCamera().reshape(w, h);
    redrawAfterReshape();
}

void onDisplay() {
    getGame().drawFrame();
    // Only play changes by itself. The title and the instructions are drawn when
    // shown or exposed.
    setFramesContinuous(currentScreen == GameScreen::Playing);
}

void onReplayIdle() {
    getReplayPlayer().advance();
}

void onReplayDisplay() {
    getReplayPlayer().show();
}

// The recording ends with the state the game ended in, when the window closes.
void onClose() {
    getReplayRecorder().finish(worldDigest(getWorld()));
}

void onMotion(int x, int y) {
    getInputManager().onMotion(x, y);
}

void onPassiveMotion(int x, int y) {
    getInputManager().onPassiveMotion(x, y);
}

void onMouse(int button, int state, int x, int y) {
    getInputManager().onMouse(button, state, x, y);
}

void onKeyboard(unsigned char key, int x, int y) {
    getInputManager().onKeyboard(key, x, y);
}

void onKeyboardUp(unsigned char key, int x, int y) {
    getInputManager().onKeyboardUp(key, x, y);
}

void onSpecial(int key, int x, int y) {
    getInputManager().onSpecial(key, x, y);
}

void onSpecialUp(int key, int x, int y) {
    getInputManager().onSpecialUp(key, x, y);
}

// Every picture, sound and the font is read as "./...", so the program moves
// into the data folder before anything is loaded. A path the player gives for a
// file to write must therefore be made absolute while the command line is read.
void enterDataFolder(const std::string& folder) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
        throw std::runtime_error("cannot enter the data folder " + folder);
    }
}

bool isFolder(const char* path) {
    struct stat status {};
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// The game plays on without its pictures or its sounds, but says once which
// folder it could not find: a wrong --data must not look like a broken game.
void tellOfMissingDataFolders(const Options& options) {
    char here[PATH_MAX];
    const std::string folder = getcwd(here, sizeof here) ? here : ".";
    if (!isFolder("./images")) {
        std::fprintf(stderr, "%s: %s has no images/ folder: every picture is a plain square\n",
                     kProgramName, folder.c_str());
    }
    if (!options.mute && !isFolder("./sound")) {
        std::fprintf(stderr, "%s: %s has no sound/ folder: the game plays in silence\n",
                     kProgramName, folder.c_str());
    }
}

// The player's mouse plays no part in a replay.
void registerReplayCallbacks() {
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onReplayDisplay);
    glutIdleFunc(onReplayIdle);
    glutKeyboardFunc(onKeyboard);
}

// Pictures, their resampled copies and decoded sounds are megabytes each, and
// many are let go after loading. glibc would otherwise raise its threshold for
// mapping blocks of their own after the first such free and carve the later
// ones from the heap, where freed space stays with the process: a fixed
// threshold hands every large block back to the system when it is freed.
// Fixing it fixes the heap's trim threshold too, at 128 kB, and the software
// renderer bins every frame into a megabyte of small blocks that it frees
// again: the heap was grown and cut back on every frame, about half the main
// thread's time. It now keeps up to 2 MB free at its top.
void keepLargeBlocksOffTheHeap() {
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kHeapKeptFree);
}

void registerCallbacks() {
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    callWhenWindowCloses(onClose);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onPassiveMotion);
    glutMouseFunc(onMouse);
    glutKeyboardFunc(onKeyboard);
    glutKeyboardUpFunc(onKeyboardUp);
    glutSpecialFunc(onSpecial);
    glutSpecialUpFunc(onSpecialUp);
}

} // namespace

std::string openReplayFiles(const Options& options) {
    if (!options.replayFile.empty()) {
        const std::string problem = getReplayPlayer().load(options.replayFile, options.fastReplay);
        return problem.empty() ? problem : "cannot replay " + options.replayFile + ": " + problem;
    }
    if (!options.recordFile.empty()) {
        const std::string problem = getReplayRecorder().prepare(options.recordFile);
        return problem.empty() ? problem
                               : "cannot record into " + options.recordFile + ": " + problem;
    }
    return {};
}

int runProgram(int argc, char** argv, const Options& options) {
    keepLargeBlocksOffTheHeap();
    enterDataFolder(options.dataFolder);
    if (options.mute) {
        getSoundManager().mute();
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE); // no depth buffer: play is drawn back to front
    openGameWindow(options);
    endAsClosingDoes(onClose);
    if (getReplayPlayer().loaded()) {
        registerReplayCallbacks();
        getReplayPlayer().begin();
    } else {
        registerCallbacks();
        getReplayRecorder().start(randomSeed(), takeElapsedMilliseconds());
        getGameRules().start();
    }
    getGame().init();
    tellOfMissingDataFolders(options); // the font, which ends the game without, is read
    if (options.keepRecords) {
        getRecordKeeper().open(RecordStore(recordsFolder()));
    }
    glutMainLoop();
    return 0;
}
