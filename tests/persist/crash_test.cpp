// A save killed at any moment never loses the table: a child process saves two tables in turn
// without pause and is killed at random moments; the file must always hold one of the two
// complete tables.
#include "persist/prefs.h"
#include "persist/scores.h"
#include "tempfolder.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class CrashTest : public TempFolder {
  protected:
    // Kills a child running save(0), save(1), save(0), ... many times and checks the file
    // after every kill.
    void killsaves(const char* file, const std::function<void(int)>& save) {
        save(1);
        const std::string one = readfile(file);
        save(0);
        const std::string zero = readfile(file);
        ASSERT_NE(zero, one);

        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> wait(0, 3000);
        for (int round = 0; round < 200; ++round) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (int i = 0;; i ^= 1) save(i);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(wait(random)));
            kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended on its own";
            const std::string now = readfile(file);
            ASSERT_TRUE(now == zero || now == one)
                << "round " << round << ": " << now.size() << " bytes";
        }
    }
};

TEST_F(CrashTest, KilledScoreSavesLeaveAWholeTable) {
    TList<Tscore> tables[2];
    defaultscores(tables[0]);
    defaultscores(tables[1]);
    addscore("CRASHPROOF", 123456, tables[1]);
    killsaves("scores.txt", [&](int which) { savescores(tables[which]); });
}

TEST_F(CrashTest, KilledPrefsSavesLeaveWholePreferences) {
    Prefs prefs[2];
    prefs[1].resolution = 1;
    prefs[1].unlockedlevel = 36;
    killsaves("prefs.txt", [&](int which) { saveprefs(prefs[which]); });
}

} // namespace
