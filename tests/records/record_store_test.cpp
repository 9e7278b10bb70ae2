#include "records/record_store.h"

#include "support/scoped_environment.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr FinishedGame kLoss{false, 3, 61'000};
constexpr FinishedGame kWin{true, 12, 245'000};
constexpr std::chrono::milliseconds kNoPatience{0};
constexpr uid_t kNobody = 65534;
constexpr int kKillRounds = 12;
constexpr int kSavesPerGame = 25;

int linesIn(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

Records recordOf(int losses) {
    Records records;
    for (int i = 0; i < losses; ++i) {
        records.add(kLoss);
    }
    return records;
}

// Runs `check` in a child process; true if it held there.
bool holdsInAChild(const std::function<bool()>& check) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The same as a user without root's right to write anywhere, so that a
// folder's permissions mean what they say.
bool holdsForAPlainUser(const std::function<bool()>& check) {
    return holdsInAChild([&check] {
        const bool plain = geteuid() != 0 || (setgid(kNobody) == 0 && setuid(kNobody) == 0);
        return plain && check();
    });
}

// Bytes the child wrote to the pipe until it closed: one per save it finished.
long long acknowledgements(int reader) {
    long long count = 0;
    char chunk[256];
    for (ssize_t got; (got = read(reader, chunk, sizeof chunk)) > 0;) {
        count += got;
    }
    return count;
}

class RecordStoreTest : public ::testing::Test {
protected:
    TemporaryFolder home;
    const std::string folder = home.pathOf("vantorel");
    const RecordStore store{folder};

    std::string inFolder(const std::string& name) const { return "vantorel/" + name; }
};

} // namespace

TEST(RecordsFolder, FollowsXdgDataHomeThenHome) {
    struct Case {
        const char* dataHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/x/data", "/home/p", "/x/data/vantorel"},
        {"", "/home/p", "/home/p/.local/share/vantorel"},
        {"relative/data", "/home/p", "/home/p/.local/share/vantorel"},
        {"", "", ""},
        {"", "relative/home", ""},
    };
    for (const Case& c : cases) {
        const ScopedEnvironment dataHome("XDG_DATA_HOME", c.dataHome);
        const ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(recordsFolder(), c.folder) << "'" << c.dataHome << "', '" << c.home << "'";
    }
}

TEST(RecordStore, AFileThatCannotBeReadIsMovedAsideAndPlayGoesOn) {
    struct BadFile {
        const char* name;
        std::function<void(const TemporaryFolder& folder)> put;
    };
    const auto text = [](const std::string& bytes) {
        return [bytes](const TemporaryFolder& folder) { folder.write("records", bytes); };
    };
    const BadFile cases[] = {
        {"truncated", text("vantorel-records 1\ngames_played 4\ngames_wo")},
        {"binary junk", text(std::string("\0\x13\xff\xfeGIF89a\0\0", 12))},
        {"a newer format", text("vantorel-records 2\nhigh_scores 1 2 3\n")},
        {"a folder in its place",
         [](const TemporaryFolder& folder) {
             mkdir(folder.pathOf("records").c_str(), 0755);
             folder.write("records/inside", "something of the player's\n");
         }},
        {"a pipe in its place",
         [](const TemporaryFolder& folder) { mkfifo(folder.pathOf("records").c_str(), 0644); }},
    };
    for (const BadFile& bad : cases) {
        const TemporaryFolder folder;
        const RecordStore store(folder.path());
        folder.write("records.bad", "an older bad file\n");
        bad.put(folder);

        testing::internal::CaptureStderr();
        EXPECT_EQ(store.load(), Records{}) << bad.name;
        const std::string complaint = testing::internal::GetCapturedStderr();
        EXPECT_EQ(linesIn(complaint), 1) << bad.name << ": " << complaint;
        EXPECT_NE(complaint.find("moved aside to records.bad"), std::string::npos) << complaint;
        EXPECT_FALSE(folder.has("records")) << bad.name;
        EXPECT_TRUE(folder.has("records.bad")) << bad.name;
        EXPECT_EQ(folder.read("records.bad.1"), "an older bad file\n") << bad.name;

        const std::optional<Records> before = store.save({kLoss});
        ASSERT_TRUE(before) << bad.name;
        EXPECT_EQ(*before, Records{}) << bad.name;
        EXPECT_EQ(store.load(), recordOf(1)) << bad.name;
    }
}

TEST_F(RecordStoreTest, AFileThatCannotBeOpenedForNowIsLeftWhereItIs) {
    ASSERT_TRUE(store.prepare());
    ASSERT_TRUE(store.save({kLoss}));
    const std::string kept = home.read(inFolder("records"));
    // One file descriptor to spare: the save takes its lock, then cannot open the file.
    EXPECT_TRUE(holdsInAChild([this] {
        testing::internal::CaptureStderr();
        const int lowestFree = dup(STDIN_FILENO);
        close(lowestFree);
        const rlimit oneSpare{static_cast<rlim_t>(lowestFree + 1),
                              static_cast<rlim_t>(lowestFree + 1)};
        return setrlimit(RLIMIT_NOFILE, &oneSpare) == 0 && !store.save({kWin}).has_value();
    }));
    EXPECT_EQ(home.read(inFolder("records")), kept);
    EXPECT_FALSE(home.has(inFolder("records.bad")));
}

TEST(RecordStore, AFolderThatCannotBeWrittenMeansPlayingWithoutRecords) {
    const TemporaryFolder home;
    home.write("a-file", "not a folder\n");
    mkdir(home.pathOf("read-only").c_str(), 0555);
    chmod(home.path().c_str(), 0755); // a plain user may look in, not write

    struct Case {
        const char* name;
        std::string folder;
    };
    const Case cases[] = {
        {"no home at all", ""},
        {"below a file", home.pathOf("a-file/vantorel")},
        {"read-only", home.pathOf("read-only")},
        {"to be made in a read-only folder", home.pathOf("read-only/vantorel")},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(holdsForAPlainUser([&c] {
            testing::internal::CaptureStderr();
            const bool prepared = RecordStore(c.folder).prepare();
            const std::string complaint = testing::internal::GetCapturedStderr();
            return !prepared && linesIn(complaint) == 1 &&
                   complaint.find("playing without records") != std::string::npos;
        })) << c.name;
    }
    EXPECT_FALSE(home.has("read-only/vantorel"));
    EXPECT_FALSE(home.has("read-only/records.lock"));
}

TEST_F(RecordStoreTest, ALeftoverOfASaveKilledBeforeItsRenameChangesNothing) {
    ASSERT_TRUE(store.prepare());
    const std::string fiveGames = recordsText(recordOf(5));
    const std::string sixGames = recordsText(recordOf(6));
    for (const std::string& leftover : {sixGames, sixGames.substr(0, 30), std::string()}) {
        home.write(inFolder("records"), fiveGames);
        home.write(inFolder("records.tmp"), leftover);
        EXPECT_EQ(store.load(), recordOf(5));
        const std::optional<Records> before = store.save({kLoss});
        ASSERT_TRUE(before);
        EXPECT_EQ(*before, recordOf(5));
        EXPECT_EQ(home.read(inFolder("records")), sixGames);
        EXPECT_FALSE(home.has(inFolder("records.tmp")));
    }
}

TEST_F(RecordStoreTest, GamesKilledWhileSavingNeverLeaveABrokenFile) {
    ASSERT_TRUE(store.prepare());
    long long acknowledged = 0;
    for (int round = 0; round < kKillRounds; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(pipeEnds[0]);
            while (true) {
                if (store.save({kLoss}) && write(pipeEnds[1], "s", 1) != 1) {
                    _exit(1);
                }
            }
        }
        close(pipeEnds[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(1 + 4 * round));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        acknowledged += acknowledgements(pipeEnds[0]);
        close(pipeEnds[0]);

        const ParsedRecords kept = store.peek();
        ASSERT_TRUE(kept.records) << "round " << round << ": " << kept.problem;
        // A save killed after its rename but before it could say so counts too.
        EXPECT_GE(kept.records->gamesPlayed, acknowledged);
        EXPECT_LE(kept.records->gamesPlayed, acknowledged + round + 1);
    }
    EXPECT_GT(acknowledged, 0);
    EXPECT_FALSE(home.has(inFolder("records.bad")));
    EXPECT_TRUE(RecordStore(folder, kNoPatience).save({kLoss})) << "a killed saver kept the lock";
}

TEST_F(RecordStoreTest, GamesSavingAtTheSameTimeLoseNone) {
    ASSERT_TRUE(store.prepare());
    const auto saveMany = [this](long long winMilliseconds) {
        bool allSaved = true;
        for (int i = 0; i < kSavesPerGame; ++i) {
            allSaved =
                store.save({FinishedGame{true, 12, winMilliseconds + i}}).has_value() && allSaved;
        }
        return allSaved;
    };
    pid_t games[2];
    for (int i = 0; i < 2; ++i) {
        games[i] = fork();
        if (games[i] == 0) {
            _exit(saveMany(100'000 * (i + 1)) ? 0 : 1);
        }
    }
    for (const pid_t game : games) {
        int status = 0;
        waitpid(game, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const Records kept = store.load();
    EXPECT_EQ(kept.gamesPlayed, 2 * kSavesPerGame);
    EXPECT_EQ(kept.gamesWon, 2 * kSavesPerGame);
    EXPECT_EQ(kept.fastestWinMilliseconds, 100'000);
}
