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

mode_t modeOf(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 ? status.st_mode & 0777 : 0;
}

// Empty when `path` is no link.
std::string linkTextOf(const std::string& path) {
    char text[4096];
    const ssize_t length = readlink(path.c_str(), text, sizeof text);
    return length < 0 ? "" : std::string(text, static_cast<std::size_t>(length));
}

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
    RecordStore store{folder};

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
        RecordStore store(folder.path());
        folder.write("records.bad", "an older bad file\n");
        bad.put(folder);

        testing::internal::CaptureStderr();
        EXPECT_EQ(store.load(), Records{}) << bad.name;
        const std::string complaint = testing::internal::GetCapturedStderr();
        EXPECT_EQ(linesIn(complaint), 1) << bad.name << ": " << complaint;
        EXPECT_NE(complaint.find("moved aside to records.bad.1"), std::string::npos) << complaint;
        EXPECT_EQ(store.peek().records, Records{}) << bad.name;
        EXPECT_EQ(folder.read("records.bad"), "an older bad file\n") << bad.name;
        EXPECT_TRUE(folder.has("records.bad.1")) << bad.name;

        const std::optional<Records> before = store.save({kLoss});
        ASSERT_TRUE(before) << bad.name;
        EXPECT_EQ(*before, Records{}) << bad.name;
        EXPECT_EQ(store.load(), recordOf(1)) << bad.name;
    }
}

TEST_F(RecordStoreTest, MovedAsideFilesAreNeverDeletedAndTheLastNameIsNeverPassed) {
    constexpr int kBadEvents = 5;
    const auto damaged = [](int event) { return "damaged " + std::to_string(event); };
    const auto movedAside = [](int number) {
        return number == 0 ? std::string("records.bad") : "records.bad." + std::to_string(number);
    };
    ASSERT_TRUE(store.prepare());
    testing::internal::CaptureStderr();
    for (int event = 0; event < kBadEvents; ++event) {
        home.write(inFolder("records"), damaged(event));
        EXPECT_EQ(store.load(), Records{});
        ASSERT_TRUE(store.save({kLoss}));
    }
    for (int event = 0; event < kBadEvents; ++event) {
        EXPECT_EQ(home.read(inFolder(movedAside(event))), damaged(event));
    }

    for (int number = kBadEvents; number <= RecordStore::kLastMovedAsideNumber; ++number) {
        home.write(inFolder(movedAside(number)), damaged(number));
    }
    home.write(inFolder("records"), "damaged at last");
    EXPECT_EQ(store.load(), Records{});
    EXPECT_FALSE(store.save({kLoss}));
    const std::string complaints = testing::internal::GetCapturedStderr();
    EXPECT_NE(complaints.find("records.bad to records.bad.99 are all taken"), std::string::npos)
        << complaints;
    EXPECT_EQ(home.read(inFolder("records")), "damaged at last");
    for (int number = 0; number <= RecordStore::kLastMovedAsideNumber; ++number) {
        EXPECT_EQ(home.read(inFolder(movedAside(number))), damaged(number)) << number;
    }
    EXPECT_FALSE(home.has(inFolder(movedAside(RecordStore::kLastMovedAsideNumber + 1))));
}

TEST_F(RecordStoreTest, ANewerVersionsFileIsLeftAsItIsAndToldOfOnce) {
    const std::string rest =
        recordsText(recordOf(3)).substr(std::string("vantorel-records 1\n").size());
    const std::string newerFiles[] = {
        "vantorel-records 2\n" + rest + "longest_game_ms 5\n",
        "vantorel-records 2\nhigh_scores 1 2 3\n",
        "vantorel-records 3\n" + std::string(3 * kLargestRecordsFile, '#') + "\n",
    };
    for (const std::string& newer : newerFiles) {
        mkdir(folder.c_str(), 0700);
        home.write(inFolder("records"), newer);
        RecordStore store(folder);

        testing::internal::CaptureStderr();
        EXPECT_FALSE(store.prepare());
        const std::string refusal = testing::internal::GetCapturedStderr();
        EXPECT_EQ(linesIn(refusal), 1) << refusal;
        EXPECT_NE(refusal.find("written by a newer version of the game"), std::string::npos)
            << refusal;
        // Should a newer game write it while this one plays, its saves say so once too.
        testing::internal::CaptureStderr();
        for (int game = 0; game < 3; ++game) {
            EXPECT_FALSE(store.save({kWin}));
        }
        const std::string complaints = testing::internal::GetCapturedStderr();
        EXPECT_EQ(linesIn(complaints), 1) << complaints;
        EXPECT_TRUE(store.peek().newer);
        EXPECT_EQ(home.read(inFolder("records")), newer);
        EXPECT_FALSE(home.has(inFolder("records.bad")));
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

TEST_F(RecordStoreTest, ALinkedFileStaysLinkedAndTheFileItLeadsToIsReplacedWithItsMode) {
    mkdir(folder.c_str(), 0700);
    mkdir(home.pathOf("synced").c_str(), 0700);
    for (const std::string& linkText :
         {std::string("../synced/kept"), home.pathOf("synced/kept")}) {
        home.write("synced/kept", recordsText(recordOf(2)));
        chmod(home.pathOf("synced/kept").c_str(), 0640);
        unlink(home.pathOf(inFolder("records")).c_str());
        ASSERT_EQ(symlink(linkText.c_str(), home.pathOf(inFolder("records")).c_str()), 0);

        ASSERT_TRUE(store.prepare()) << linkText;
        EXPECT_EQ(store.load(), recordOf(2)) << linkText;
        ASSERT_TRUE(store.save({kLoss})) << linkText;
        ASSERT_TRUE(store.save({kLoss})) << linkText;
        EXPECT_EQ(linkTextOf(home.pathOf(inFolder("records"))), linkText);
        EXPECT_EQ(home.read("synced/kept"), recordsText(recordOf(4))) << linkText;
        EXPECT_EQ(modeOf(home.pathOf("synced/kept")), 0640u) << linkText;
        EXPECT_FALSE(home.has("synced/kept.tmp")) << linkText;
        EXPECT_FALSE(home.has(inFolder("records.tmp"))) << linkText;
    }
}

TEST_F(RecordStoreTest, ADamagedFileBehindALinkIsMovedAsideBesideIt) {
    mkdir(folder.c_str(), 0700);
    mkdir(home.pathOf("synced").c_str(), 0700);
    home.write("synced/kept", "a sync conflict's half file");
    ASSERT_EQ(symlink("../synced/kept", home.pathOf(inFolder("records")).c_str()), 0);

    ASSERT_TRUE(store.prepare());
    testing::internal::CaptureStderr();
    EXPECT_EQ(store.load(), Records{});
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(home.read("synced/kept.bad"), "a sync conflict's half file");
    // A new record begins at once, so the link never leads nowhere for the next start.
    EXPECT_EQ(RecordStore(folder).peek().records, Records{});
    ASSERT_TRUE(store.save({kLoss}));
    EXPECT_EQ(linkTextOf(home.pathOf(inFolder("records"))), "../synced/kept");
    EXPECT_EQ(home.read("synced/kept"), recordsText(recordOf(1)));
}

TEST_F(RecordStoreTest, ALinkThatLeadsToNoFileIsLeftAlone) {
    mkdir(folder.c_str(), 0700);
    mkdir(home.pathOf("synced").c_str(), 0700);
    home.write("synced/notes", "the player's own\n");
    struct Case {
        const char* linkText;
        const char* problem;
    };
    const Case cases[] = {
        {"../unmounted/kept", "a link to a missing file"},
        {"kept-here", "a link to a missing file"},
        {"records", "a link that loops"},
        {"../synced", "a link to something not a file"},
    };
    for (const Case& c : cases) {
        unlink(home.pathOf(inFolder("records")).c_str());
        ASSERT_EQ(symlink(c.linkText, home.pathOf(inFolder("records")).c_str()), 0);
        RecordStore store(folder);

        testing::internal::CaptureStderr();
        EXPECT_FALSE(store.prepare()) << c.linkText;
        EXPECT_FALSE(store.save({kLoss})) << c.linkText;
        const std::string complaints = testing::internal::GetCapturedStderr();
        EXPECT_EQ(linesIn(complaints), 2) << complaints;
        EXPECT_NE(complaints.find(c.problem), std::string::npos) << complaints;
        EXPECT_EQ(store.peek().problem, c.problem);
        EXPECT_EQ(linkTextOf(home.pathOf(inFolder("records"))), c.linkText);
    }
    EXPECT_FALSE(home.has("unmounted"));
    EXPECT_FALSE(home.has(inFolder("kept-here")));
    EXPECT_FALSE(home.has(inFolder("records.bad")));
    EXPECT_FALSE(home.has("synced.bad"));
    EXPECT_EQ(home.read("synced/notes"), "the player's own\n");
}

TEST_F(RecordStoreTest, ATemporaryNameTakenByALinkIsNeverWrittenThrough) {
    home.write("victim", "the player's own\n");
    const std::string links[] = {home.pathOf("victim"), home.pathOf("not-yet-there")};
    ASSERT_TRUE(store.prepare());
    for (const std::string& target : links) {
        ASSERT_EQ(symlink(target.c_str(), home.pathOf(inFolder("records.tmp")).c_str()), 0);
        ASSERT_TRUE(store.save({kLoss})) << target;
        EXPECT_EQ(linkTextOf(home.pathOf(inFolder("records"))), "") << target;
        EXPECT_FALSE(home.has(inFolder("records.tmp"))) << target;
    }
    EXPECT_EQ(store.load(), recordOf(2));
    EXPECT_EQ(home.read("victim"), "the player's own\n");
    EXPECT_FALSE(home.has("not-yet-there"));
}

TEST(RecordStore, WhatItMakesIsTheOwnersAloneAndAFilesModeIsKept) {
    const mode_t previousUmask = umask(022); // the one most players have
    const TemporaryFolder home;
    const std::string dataHome = home.pathOf(".local/share");
    RecordStore store(dataHome + "/vantorel");
    ASSERT_TRUE(store.prepare());
    ASSERT_TRUE(store.save({kLoss}));
    for (const std::string& made : {home.pathOf(".local"), dataHome, dataHome + "/vantorel"}) {
        EXPECT_EQ(modeOf(made), 0700u) << made;
    }
    EXPECT_EQ(modeOf(store.filePath()), 0600u);
    EXPECT_EQ(modeOf(dataHome + "/vantorel/records.lock"), 0600u);

    for (const mode_t kept : {0600u, 0640u, 0644u, 0400u}) {
        chmod(store.filePath().c_str(), kept);
        ASSERT_TRUE(store.save({kLoss})) << std::oct << kept;
        EXPECT_EQ(modeOf(store.filePath()), kept) << std::oct << kept;
    }
    umask(previousUmask);
}
