// The oxagent program end to end: each test spawns the built program on a temporary copy of
// the example directory and a temporary database file.
#include "sp/oxSpDatabase.h"
#include "tests/agent/oxAgentProcess.h"
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* componentIdClass = "DMTF|ComponentID|001";

class oxAgentProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("oxagent-test-" + std::to_string(random()));
        fs::create_directories(folder_);
        os_ = (folder_ / "os").string();
        fs::copy(fs::path(OX_BIN_DIR) / ".." / "examples" / "os", os_);
        db_ = (folder_ / "agent.db").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    oxAgentResult agent(std::vector<std::string> arguments) {
        return oxAgentRun(arguments, folder_);
    }
    // Installed components as `list --json` gives them.
    json listed() {
        const oxAgentResult r = agent({"list", "--db", db_, "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return json::parse(r.out);
    }
    // Waits until `list` shows at least one component (a run has started up).
    bool waitUntilListed(std::chrono::seconds timeout = std::chrono::seconds(30)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!listed().empty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    std::string dir(const char* name) {
        const fs::path p = folder_ / name;
        fs::create_directories(p);
        return p.string();
    }

    fs::path folder_;
    std::string os_;
    std::string db_;
};

bool everyLineStartsWith(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) != 0)
            return false;
    return true;
}

TEST_F(oxAgentProgramTest, ShowPrintsTheComponentItsGroupAndVerifyWithItsMeaning) {
    const oxAgentResult r = agent({"show", os_, "--db", ":memory:"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Component 1: Operating System\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Group 1: DMTF|ComponentID|001 \"ComponentID\""), std::string::npos);
    EXPECT_NE(r.out.find("1  Manufacturer = Ox Project\n"), std::string::npos);
    EXPECT_NE(r.out.find("6  Verify = 7 (This component exists, and is functioning correctly)"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(oxAgentProgramTest, ShowJsonTellsWhichAnswersCameFromTheComponent) {
    const oxAgentResult r = agent({"show", os_, "--db", db_, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json c = json::parse(r.out);
    EXPECT_EQ(c["name"], "Operating System");
    EXPECT_EQ(c["modules"], 1);
    const json& attributes = c["groups"][0]["attributes"];
    ASSERT_EQ(attributes.size(), 6u);
    EXPECT_EQ(attributes[5]["value"], "7");
    EXPECT_EQ(attributes[5]["source"], "component");
    EXPECT_EQ(attributes[0]["source"], "mif");
    EXPECT_EQ(attributes[4]["status"], 0x2007);
}

struct GetCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string out;       // exact standard output
    std::string errorPart; // a part of standard error ("" for none expected)
};

TEST_F(oxAgentProgramTest, GetAnswersOneRequestOrExplainsTheStatus) {
    const GetCase cases[] = {
        {{"--group", componentIdClass, "--attr", "6"}, 0, "7\n", ""},
        {{"--group", "1", "--attr", "6"}, 0, "7\n", ""},
        {{"--group", componentIdClass, "--attr", "1"}, 0, "Ox Project\n", ""},
        {{"--group", componentIdClass, "--attr", "5"},
         2,
         "",
         "0x2007: the component does not serve that attribute"},
        {{"--group", componentIdClass, "--attr", "99"}, 2, "", "0xC007"},
        {{"--group", "DMTF|Nothing|001", "--attr", "6"}, 1, "", "no group DMTF|Nothing|001"},
        {{"--group", "1", "--attr", "6", "--key", "3"}, 1, "", "--key"},
        {{"--attr", "6"}, 1, "", "--group"},
    };
    for (const GetCase& c : cases) {
        std::vector<std::string> arguments{"get", os_, "--db", db_};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const oxAgentResult r = agent(arguments);
        std::string label;
        for (const std::string& a : c.arguments)
            label += a + " ";
        EXPECT_EQ(r.exitCode, c.exitCode) << label << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << label;
        if (!c.errorPart.empty()) {
            EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << label << "\n" << r.err;
        }
    }
    EXPECT_TRUE(listed().empty()) << "every get tore its kernel down";
}

TEST_F(oxAgentProgramTest, GetJsonCarriesValueKindAndMeaningOrTheStatus) {
    oxAgentResult r = agent({"get", os_, "--db", db_, "--group", "1", "--attr", "6", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["value"], "7");
    EXPECT_EQ(j["kind"], 6);
    EXPECT_EQ(j["meaning"], "This component exists, and is functioning correctly");
    r = agent({"get", os_, "--db", db_, "--group", "1", "--attr", "5", "--json"});
    EXPECT_EQ(r.exitCode, 2);
    j = json::parse(r.out);
    EXPECT_EQ(j["status"], 0x2007);
}

TEST_F(oxAgentProgramTest, RunHoldsTheComponentOnceAndACleanStopRemovesIt) {
    oxAgentProcess_c run({"run", os_, "--db", db_, "--seconds", "60"}, folder_);
    ASSERT_TRUE(waitUntilListed());
    const json held = listed();
    ASSERT_EQ(held.size(), 1u) << held.dump();
    EXPECT_EQ(held[0]["name"], "Operating System");
    EXPECT_EQ(held[0]["groups"][0]["class"], componentIdClass);

    run.sendSignal(SIGTERM);
    const oxAgentResult r = run.wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("stopped on signal 15; 1 kernel(s) torn down"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << "no live line when stderr is a file";
    EXPECT_TRUE(listed().empty());
}

TEST_F(oxAgentProgramTest, RunStopsByItselfAfterTheGivenSecondsAndOnCtrlC) {
    const auto begin = std::chrono::steady_clock::now();
    oxAgentResult r = agent({"run", os_, "--db", db_, "--seconds", "2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
    EXPECT_NE(r.out.find("holding " + os_ + ": component 1, 1 module(s)"), std::string::npos)
        << r.out;
    EXPECT_TRUE(listed().empty());

    oxAgentProcess_c run({"run", os_, "--db", db_}, folder_);
    ASSERT_TRUE(waitUntilListed());
    run.sendSignal(SIGINT);
    r = run.wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("stopped on signal 2"), std::string::npos) << r.out;
    EXPECT_TRUE(listed().empty());
}

TEST_F(oxAgentProgramTest, AfterAKilledRunTheNextShowRemovesTheLeftCopy) {
    {
        oxAgentProcess_c run({"run", os_, "--db", db_}, folder_);
        ASSERT_TRUE(waitUntilListed());
        run.sendSignal(SIGKILL);
        EXPECT_EQ(run.wait().signal, SIGKILL);
    }
    const json left = listed();
    ASSERT_EQ(left.size(), 1u) << "a killed run cannot tear down";
    const oxAgentResult r = agent({"show", os_, "--db", db_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("6  Verify = 7"), std::string::npos) << r.out;
    EXPECT_TRUE(listed().empty()) << listed().dump();
}

TEST_F(oxAgentProgramTest, AfterAKilledRunTheNextRunStartsAndStopsCleanly) {
    {
        oxAgentProcess_c run({"run", os_, "--db", db_}, folder_);
        ASSERT_TRUE(waitUntilListed());
        run.sendSignal(SIGKILL);
        run.wait();
    }
    oxAgentProcess_c run({"run", os_, "--db", db_, "--seconds", "30"}, folder_);
    // The new run's duplicate check removes the old copy: one component while it holds.
    ASSERT_TRUE(waitUntilListed());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(listed().size(), 1u);
    run.sendSignal(SIGTERM);
    const oxAgentResult r = run.wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(listed().empty());
}

// A directory whose module raises an event every second.
constexpr const char* tickerMif = R"(Start Component
    Name = "Ticker"
    Start Group
        Name = "Ticker"
        Class = "FA|Ticker|001"
        ID = 1
        Start Attribute
            Name = "Ticks"
            ID = 1
            Type = Integer
            Access = Read-Only
        End Attribute
    End Group
    Start Group
        Name = "Tick Event"
        Class = "FA|TickerEvent|001"
        ID = 2
        Start Attribute
            Name = "Count"
            ID = 1
            Type = Integer
            Access = Read-Only
        End Attribute
        Start Attribute
            Name = "Source"
            ID = 5
            Type = String(64)
            Access = Read-Only
        End Attribute
    End Group
End Component
)";

TEST_F(oxAgentProgramTest, RunPrintsEventsAsTheComponentsRaiseThem) {
    const std::string ticker = dir("ticker");
    std::ofstream(fs::path(ticker) / "Ticker.mif") << tickerMif;
    fs::copy_file(fs::path(OX_BIN_DIR) / "faTicker.dll", fs::path(ticker) / "faTicker.dll");
    const oxAgentResult r = agent({"run", ticker, os_, "--db", db_, "--seconds", "3"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("holding " + ticker + ": component 1, 1 module(s)"), std::string::npos);
    EXPECT_NE(r.out.find("holding " + os_ + ": component 2, 1 module(s)"), std::string::npos);
    EXPECT_TRUE(std::regex_search(
        r.out, std::regex("event 1 at [-0-9]+ [:0-9]+: component 1 group 2 \\(FA\\|TickerEvent"
                          "\\|001\\) 1=1 5=FA\\|Ticker\\|001\n")))
        << r.out;
    EXPECT_NE(r.out.find(" 1=2 "), std::string::npos) << "one event a second";
    EXPECT_NE(r.out.find("; 2 kernel(s) torn down, "), std::string::npos) << r.out;
    EXPECT_TRUE(listed().empty());
}

TEST_F(oxAgentProgramTest, AMalformedMifNamesFileAndLineAndLeavesTheDatabaseAlone) {
    {
        oxSpDatabase_c db(db_);
        oxMifComponent other;
        other.name = "Other";
        db.installComponent(other, "Other.mif");
    }
    const json before = listed();
    {
        std::ofstream mif(fs::path(os_) / "Os.mif", std::ios::app);
        mif << "\nStart Group\n    Name = \"Broken\"\n    Class = \n";
    }
    const oxAgentResult r = agent({"show", os_, "--db", db_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(std::regex_search(r.err, std::regex("Os\\.mif:[0-9]+:"))) << r.err;
    EXPECT_NE(r.err.find("0xC001"), std::string::npos) << r.err;
    EXPECT_TRUE(everyLineStartsWith(r.err, "oxagent: ")) << r.err;
    EXPECT_EQ(listed(), before);
}

TEST_F(oxAgentProgramTest, AMissingDirectoryIsRefusedByEverySubcommand) {
    const std::string missing = (folder_ / "missing").string();
    const std::vector<std::vector<std::string>> commands = {
        {"show", missing, "--db", db_},
        {"get", missing, "--db", db_, "--group", "1", "--attr", "6"},
        {"run", missing, "--db", db_, "--seconds", "1"},
        {"inspect", missing},
    };
    for (const auto& command : commands) {
        const oxAgentResult r = agent(command);
        EXPECT_EQ(r.exitCode, 1) << command[0];
        EXPECT_EQ(r.err, "oxagent: " + missing + ": no such directory\n") << command[0];
    }
}

TEST_F(oxAgentProgramTest, ADirectoryWithoutDescriptionFileIsRefused) {
    const oxAgentResult r = agent({"show", dir("empty"), "--db", db_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("0x1000"), std::string::npos) << r.err;
    EXPECT_TRUE(listed().empty());
}

TEST_F(oxAgentProgramTest, AFileThatIsNotAModuleIsPassedOverAndInspectSaysSo) {
    std::ofstream(fs::path(os_) / "junk.dll") << "not a module at all";
    std::ofstream(fs::path(os_) / "ELF.DLL") << "\x7f"
                                                "ELF truncated";
    oxAgentResult r = agent({"show", os_, "--db", db_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("modules loaded: 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("6  Verify = 7"), std::string::npos);

    r = agent({"inspect", os_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("ELF.DLL: not a component module\n  no version block\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("junk.dll: not a component module\n  no version block\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("osComp.dll: component module\n"), std::string::npos);
    EXPECT_NE(r.out.find("\\OXInfo\\coxBaseTag = coxBaseTag"), std::string::npos);
    EXPECT_LT(r.out.find("ELF.DLL"), r.out.find("junk.dll")) << "sorted ignoring case";
    EXPECT_TRUE(listed().empty()) << "inspect installs nothing";
}

TEST_F(oxAgentProgramTest, RunRefusesTheSameDirectoryTwice) {
    const oxAgentResult r = agent({"run", os_, os_ + "/", "--db", db_, "--seconds", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("given twice"), std::string::npos) << r.err;
    EXPECT_TRUE(listed().empty());
}

TEST_F(oxAgentProgramTest, RunRefusesTwoDirectoriesOfOneComponent) {
    const std::string copy = (folder_ / "copy").string();
    fs::copy(os_, copy);
    const oxAgentResult r = agent({"run", os_, copy, "--db", db_, "--seconds", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(copy + ": describes the component \"Operating System\" as " + os_),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(listed().empty());
}

TEST_F(oxAgentProgramTest, TheDefaultDatabaseLivesInTheStateFolder) {
    const fs::path state = folder_ / "state";
    oxAgentProcess_c show({"show", os_}, folder_, {"XDG_STATE_HOME=" + state.string()});
    const oxAgentResult r = show.wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(state / "ox" / "oxagent.db"));
}

TEST_F(oxAgentProgramTest, EverySubcommandHasHelp) {
    for (const char* command : {"show", "get", "run", "list", "inspect"}) {
        const oxAgentResult r = agent({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    }
    const oxAgentResult r = agent({"frobnicate"});
    EXPECT_EQ(r.exitCode, 1);
}

} // namespace
