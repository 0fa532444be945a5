// oxagent run end to end: holding directories while list reads the database from another
// process, stopping on a signal or after the given seconds, events as they are raised, and
// processes that share the database leaving one another's components alone.
#include "tests/agent/oxAgentProcess.h"
#include <regex>
#include <sqlite3.h>

namespace {

TEST_F(oxAgentProgramTest, RunHoldsTheComponentUntilASignalThenTearsItDown) {
    int id = 0;
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        oxAgentProcess_c run({"run", os, "--db", db}, folder);
        for (int tries = 0; tries < 300 && listed().empty(); ++tries) // until it holds the component
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(listed().at(0)["id"], ++id); // IDs are not reused
        EXPECT_EQ(agent({"list", "--db", db}).out,
                  "Component " + std::to_string(id) + ": Operating System (Os.mif)\n"
                  "  Group 1: DMTF|ComponentID|001 \"ComponentID\"\n");
        kill(run.pid, signal);
        const oxAgentResult r = run.wait();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("stopped on signal " + std::to_string(signal) +
                             "; 1 kernel(s) torn down, 0 event(s)\n"), std::string::npos) << r.out;
        EXPECT_EQ(r.err.find('\r'), std::string::npos) << "no live line when stderr is a file";
        EXPECT_EQ(agent({"list", "--db", db}).out, "No components installed.\n");
    }
}

TEST_F(oxAgentProgramTest, RunPrintsEventsAsTheyAreRaisedAndStopsAfterTheGivenSeconds) {
    const std::string ticker = folder.file("ticker");
    folder.write("ticker/Ticker.mif", R"(Start Component Name = "Ticker"
  Start Group Name = "Ticker" Class = "FA|Ticker|001" ID = 1
    Start Attribute Name = "Ticks" ID = 1 Type = Integer End Attribute End Group
  Start Group Name = "Tick Event" Class = "FA|TickerEvent|001" ID = 2
    Start Attribute Name = "Count" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "Source" ID = 5 Type = String(64) End Attribute End Group
End Component)");
    std::filesystem::copy_file(OX_BIN_DIR "/faTicker.dll", ticker + "/faTicker.dll");
    const auto begin = std::chrono::steady_clock::now();
    const oxAgentResult r = agent({"run", ticker, os, "--db", db, "--seconds", "3"});
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // One event a second, each with the tick count and the source's class.
    EXPECT_TRUE(std::regex_match(r.out, std::regex(
        "holding " + ticker + ": component 1, 1 module\\(s\\)\nholding " + os + ": component 2, "
        "1 module\\(s\\)\nevent 1 at [-0-9]+ [:0-9]+: component 1 group 2 \\(FA\\|TickerEvent\\|001\\) "
        "1=1 5=FA\\|Ticker\\|001\nevent 2 .* 1=2 [^]*\nstopped; 2 kernel\\(s\\) torn down, [1-9] "
        "event\\(s\\)\n"))) << r.out;
    EXPECT_TRUE(listed().empty());
}

// The File Systems example with threshold 0 and a one-second check: every used file system is
// above it, so the first check, within two periods, raises the event; lines it cannot use are named.
TEST_F(oxAgentProgramTest, RunPrintsTheFileSystemsEventWithinTwoPeriodsOfAZeroThreshold) {
    const std::string fs = folder.file("fs");
    std::filesystem::copy(OX_BIN_DIR "/../examples/filesystems", fs);
    folder.write("fs/fsComp.conf", "threshold = 0 # percent\nperiod = 1\nperiod = 0\nlimit = 5\nperiod = 2s\n");
    const oxAgentResult r = agent({"run", fs, "--db", db, "--seconds", "2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(
        "\nevent 1 at [-0-9]+ [:0-9]+: component 1 group 3 \\(OX\\|File System Event\\|001\\) "
        "1=/.* 2=[1-9][0-9]* 3=0 4=1 5=OX\\|File System\\|001\n"))) << r.out;
    EXPECT_NE(r.err.find("fsComp.conf:3: ignored (out of range)\nfsComp.conf:4: ignored (unknown "
                         "name)\nfsComp.conf:5: ignored (not a number)\n"), std::string::npos) << r.err;
}

// Processes sharing the database: twenty gets at once beside a run remove no one's copy, list reads
// beside a writer, a killed run's copy is a leftover the next get removes, and list leaves a file it
// may not change byte for byte.
TEST_F(oxAgentProgramTest, ProcessesSharingTheDatabaseKeepLiveCopiesAndListOnlyReads) {
    const std::vector<std::string> get = {"get", os, "--group", "1", "--attr", "6", "--db", db};
    oxAgentProcess_c run({"run", os, "--db", db}, folder);
    for (int tries = 0; tries < 300 && listed().empty(); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const nlohmann::json held = listed();
    std::vector<std::unique_ptr<oxAgentProcess_c>> gets;
    for (int i = 0; i < 20; ++i)
        gets.push_back(std::make_unique<oxAgentProcess_c>(get, folder));
    for (const auto& process : gets) {
        const oxAgentResult r = process->wait();
        EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(0, "7\n")) << r.err;
    }
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &writer), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE; DELETE FROM event", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(listed(), held) << "the run's copy stays";
    sqlite3_close(writer); // rolled back
    kill(run.pid, SIGKILL);
    run.wait();
    EXPECT_EQ(agent(get).out, "7\n");
    std::filesystem::permissions(db, static_cast<std::filesystem::perms>(0444));
    const std::string before = oxReadFile(db);
    EXPECT_TRUE(listed().empty()) << "the next get removed the killed run's copy";
    EXPECT_EQ(oxReadFile(db), before);
}

} // namespace
