#include "app/record_keeper.h"

#include "records/records_report.h"
#include "render/hud.h"
#include "world/world.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kNoRecordStatus = 1;

} // namespace

bool RecordKeeper::open(const RecordStore& store) {
    if (!store.prepare()) {
        return false;
    }
    store_ = store;
    lastRead_ = store.load();
    return true;
}

void RecordKeeper::afterDraw(const World& world) {
    if (!store_) {
        return;
    }
    if (!world.isGameOver()) {
        if (gameCounted_) {
            // The world has restarted: a new game, whose end is still to come.
            gameCounted_ = false;
            getHud().setRecordLine("");
        }
        return;
    }
    if (gameCounted_) {
        return; // the world goes on under the end picture; that game is already counted
    }
    gameCounted_ = true;
    FinishedGame game;
    game.won = world.showsWin();
    game.planets = world.planetsFormed();
    game.milliseconds = std::llround(world.gameSeconds() * kMillisecondsPerSecond);
    getHud().setRecordLine(count(game));
}

// The games not yet written go with this one; a save that fails keeps them all
// for the next, so a full disk or a busy lock loses no game.
std::string RecordKeeper::count(const FinishedGame& game) {
    unsaved_.push_back(game);
    const std::optional<Records> found = store_->save(unsaved_);
    Records before = found ? *found : lastRead_;
    for (std::size_t i = 0; i + 1 < unsaved_.size(); ++i) {
        before.add(unsaved_[i]);
    }
    if (found) {
        lastRead_ = before;
        lastRead_.add(game);
        unsaved_.clear();
    }
    return endOfGameLine(game, before);
}

int printRecords() {
    const RecordStore store(recordsFolder());
    if (store.folder().empty()) {
        std::fputs("vantorel: no folder for the records (neither XDG_DATA_HOME nor HOME is set)\n",
                   stderr);
        return kNoRecordStatus;
    }
    const ParsedRecords kept = store.peek();
    if (!kept.records) {
        std::fprintf(stderr, "vantorel: the records in %s cannot be read (%s)\n",
                     store.filePath().c_str(), kept.problem.c_str());
        return kNoRecordStatus;
    }
    std::fputs(recordsReport(*kept.records, store.filePath()).c_str(), stdout);
    return 0;
}

RecordKeeper& getRecordKeeper() {
    static RecordKeeper* const keeper = new RecordKeeper();
    return *keeper;
}
