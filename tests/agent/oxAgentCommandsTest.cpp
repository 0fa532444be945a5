// oxagent's one-shot subcommands end to end: show (with the default database), get, inspect, help,
// and the messages and exit statuses of bad input and of running out of memory.
#include "tests/agent/oxAgentProcess.h"
#include <sqlite3.h>

namespace {

using nlohmann::json;

// A directory without a module, whose MIF holds table rows.
std::string drivesDirectory(const oxSpTestFolder& folder) {
    folder.write("drives/Drives.mif", R"(Start Component Name = "Drives"
  Start Group Name = "Drive" Class = "ACME|Drive|001" ID = 2 Key = 1, 2
    Start Attribute Name = "Index" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "Media" ID = 2 Type = Start Enum 1 = "Fixed" 2 = "Removable" End Enum
    End Attribute Start Attribute Name = "Label" ID = 3 Type = String(8) End Attribute End Group
  Start Table Class = "ACME|Drive|001" {1, 1, "sys"} {1, 2, "usb"} {2, 1, } End Table
End Component)");
    return folder.file("drives");
}

TEST_F(oxAgentProgramTest, ShowPrintsTheComponentWithEveryValueOrWhyItHasNone) {
    setenv("XDG_STATE_HOME", folder.file("state").c_str(), 1); // where the default database lives
    oxAgentResult r = agent({"show", os});
    unsetenv("XDG_STATE_HOME");
    EXPECT_TRUE(std::filesystem::exists(folder.file("state/ox/oxagent.db")));
    EXPECT_EQ(std::tuple(r.exitCode, r.err), std::tuple(0, ""));
    EXPECT_EQ(r.out, "Component 1: Operating System\n  The operating system that runs this machine\n"
                     "  modules loaded: 1\n  Group 1: DMTF|ComponentID|001 \"ComponentID\"\n"
                     "    1  Manufacturer = Ox Project\n    2  Product = Operating System\n"
                     "    3  Version = 1.0\n    4  Serial Number: no value, 0xC008 (no component "
                     "answers the attribute and it has no static value)\n    5  Installation: no "
                     "value, 0x2007 (the component does not serve that attribute)\n    6  Verify = "
                     "7 (This component exists, and is functioning correctly)\n");
    const json a = json::parse(agent({"show", os, "--db", db, "--json"}).out)["groups"][0]["attributes"];
    EXPECT_EQ(std::tuple(a[0]["source"], a[4]["status"], a[5]["source"], a[5]["value"]),
              std::tuple("mif", 0x2007, "component", "7"));
    r = agent({"show", drivesDirectory(folder), "--db", db});
    EXPECT_NE(r.out.find("  modules loaded: 0\n  Group 2: ACME|Drive|001 \"Drive\"\n    Row 1\n"
                         "      1  Index = 1\n      2  Media = 1 (Fixed)\n      3  Label = sys\n"
                         "    Row 2\n      1  Index = 1\n      2  Media = 2 (Removable)\n"),
              std::string::npos) << r.out;
    EXPECT_TRUE(listed().empty()) << "every show tore its kernel down";
}

// One MIF with every construct of the language, as an 8-bit (ISO 8859-1) and as a Unicode file.
TEST_F(oxAgentProgramTest, ShowGivesWhatAMifWithEveryConstructSays) {
    const std::string mif = "Start Component Name = \"Every\" \" Construct\" // concatenated\n"
        "  Description = \"Caf\xE9 \\x41\\102C\\tend\"\n"
        "  Start Path Name = \"inst\" OS2 = direct-interface Win32 = \"every.dll\" End Path\n"
        "  Start Enum Name = \"Level\" Type = Integer -1 = \"Low\" 0x10 = \"High\" End Enum\n"
        "  Start Group Name = \"Facts\" Class = \"ACME|Facts|001\" ID = 1\n"
        "    Start Attribute Name = \"Maker\" ID = 1 Type = String(4) Value = \"Caf\xE9\" End Attribute\n"
        "    Start Attribute Name = \"Count\" ID = 2 Access = READ-ONLY Storage = Common\n"
        "      Type = Counter64 Value = 0777 End Attribute\n"
        "    Start Attribute Name = \"Level\" ID = 3 Type = \"level\" Value = \"Low\" End Attribute\n"
        "    Start Attribute Name = \"When\" ID = 4 Type = Date\n"
        "      Value = \"20261203123456.123456-300\" End Attribute\n"
        "    Start Attribute Name = \"Serial\" ID = 5 Type = String(8) Value = Unknown End Attribute\n"
        "    Start Attribute Name = \"Raw\" ID = 6 Type = OctetString(3) Value = \"\\377\\001A\"\n"
        "    End Attribute\n"
        "  End Group\n"
        "  Start Group Name = \"Slot\" Class = \"ACME|Slot|001\" Key = 1, 2 // a template\n"
        "    Start Attribute Name = \"Label\" ID = 3 Type = String(8) Value = \"spare\" End Attribute\n"
        "    Start Attribute Name = \"Bus\" ID = 1 Type = Integer End Attribute\n"
        "    Start Attribute Name = \"Media\" ID = 2 Type = Start Enum 1 = \"Fixed\" 02 = \"Removable\"\n"
        "      End Enum Value = \"Fixed\" End Attribute\n"
        "  End Group\n"
        "  Start Table Name = \"Slots\" Class = \"ACME|Slot|001\" ID = 011\n"
        "    {-7, \"Removable\", \"usb\"} {-7, , } {1} End Table\n"
        "End Component\r\n\x1A";
    std::string wide = "\xFF\xFE";
    for (char c : mif)
        wide += std::string{c, '\0'};
    const auto a = [](int id, const char* name, const char* value, const char* meaning = nullptr) {
        json j = {{"id", id}, {"name", name}, {"value", value}, {"source", "mif"}};
        if (meaning)
            j["meaning"] = meaning;
        return j;
    };
    const auto row = [&](const char* bus, const char* media, const char* meaning,
                         const char* label) {
        return json::array({a(3, "Label", label), a(1, "Bus", bus), a(2, "Media", media, meaning)});
    };
    const json expected = {
        {"id", 1}, {"name", "Every Construct"}, {"description", "Caf\xC3\xA9 ABC\tend"},
        {"modules", 0},
        {"groups",
         {{{"id", 1}, {"class", "ACME|Facts|001"}, {"name", "Facts"},
           {"attributes",
            {a(1, "Maker", "Caf\xC3\xA9"), a(2, "Count", "511"), a(3, "Level", "-1", "Low"),
             a(4, "When", "20261203123456.123456-300"),
             {{"id", 5}, {"name", "Serial"}, {"status", 0x7005}, // Unknown: no value
              {"error", "0x7005 (no component object serves that group)"}},
             a(6, "Raw", "ff0141")}}},
          {{"id", 9}, {"class", "ACME|Slot|001"}, {"name", "Slots"},
           {"rows", {row("-7", "2", "Removable", "usb"), row("-7", "1", "Fixed", "spare"),
                     row("1", "1", "Fixed", "spare")}}}}}};
    for (const std::string& bytes : {mif, wide}) {
        SCOPED_TRACE(bytes == mif ? "ISO 8859-1" : "Unicode");
        std::filesystem::remove_all(folder.file("every"));
        folder.write("every/Every.mif", bytes);
        const oxAgentResult r = agent({"show", folder.file("every"), "--db", ":memory:", "--json"});
        ASSERT_EQ(std::tuple(r.exitCode, r.err), std::tuple(0, ""));
        const json shown = json::parse(r.out);
        EXPECT_EQ(shown, expected) << json::diff(shown, expected).dump(1);
    }
}

// Each case: the arguments, the exit status, the exact standard output and a part of standard
// error, where every line starts with "oxagent: " (boxes too).
TEST_F(oxAgentProgramTest, GetAnswersOneRequestAndBadInputIsRefusedWithTheReason) {
    const std::string drives = drivesDirectory(folder);
    const std::string missing = folder.file("missing"), copy = folder.file("copy");
    const std::string empty = folder.file("empty"), broken = folder.file("broken");
    std::filesystem::create_directory(empty);
    std::filesystem::copy(os, copy);
    folder.write("broken/Os.mif", oxSpExampleMif() + "\nStart Group\n  Name = \"Broken\"\n");
    const struct { std::vector<std::string> arguments; int exitCode; std::string out, errorPart; } cases[] = {
        {{"get", os, "--group", "1", "--attr", "1"}, 0, "Ox Project\n", ""},
        {{"get", os, "--group", "DMTF|ComponentID|001", "--attr", "5"}, 2, "",
         "oxagent: 0x2007: the component does not serve that attribute\n"},
        {{"get", os, "--group", "1", "--attr", "99"}, 2, "", "0xC007"},
        {{"get", os, "--group", "DMTF|No|001", "--attr", "6"}, 1, "", "no group DMTF|No|001"},
        {{"get", drives, "--group", "2", "--attr", "3", "--key", "1", "--key", "Removable"}, 0,
         "usb\n", ""},
        {{"get", drives, "--group", "2", "--attr", "3", "--key", "3", "--key", "1"}, 2, "", "0x9005"},
        {{"get", drives, "--group", "2", "--attr", "3", "--key", "2", "--key", "1"}, 2, "", "0x7005"},
        {{"get", drives, "--group", "2", "--attr", "3", "--key", "1"}, 1, "", "--key: group 2 takes 2"},
        {{"get", drives, "--group", "2", "--attr", "3", "--key", "x", "--key", "1"}, 1, "", "32-bit"},
        {{"get", os, "--group", "1", "--attr", "6", "--json"}, 0, R"j({"group":1,"attribute":6,"status":0,
          "value":"7","kind":6,"meaning":"This component exists, and is functioning correctly"})j", ""},
        {{"get", os, "--group", "1", "--attr", "5", "--json"}, 2, R"j({"group":1,"attribute":5,"status":8199,
          "error":"0x2007 (the component does not serve that attribute)"})j", "0x2007"},
        {{"show", missing}, 1, "", "oxagent: " + missing + ": no such directory\n"},
        {{"show", empty}, 1, "", "start-up failed with 0x1000 (the directory has no *.mif"},
        {{"show", broken}, 1, "",
         "start-up failed with 0xC001 (the description file is malformed): " + broken + "/Os.mif:"},
        {{"show", broken}, 1, "", "refused to install the component from " + broken + "/Os.mif.\n"},
        {{"run", os, os + "/"}, 1, "", "given twice"},
        {{"run", os, copy}, 1, "", copy + ": describes the component \"Operating System\" as " + os},
        {{"inspect", missing}, 1, "", "oxagent: " + missing + ": no such directory\n"},
        {{"list", "--db", folder.write("junk.db", std::string(4096, 'j'))}, 1, "", "junk.db"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        if (arguments[0] != "inspect" && arguments[0] != "list")
            arguments.insert(arguments.end(), {"--db", db});
        SCOPED_TRACE(testing::PrintToString(arguments));
        const oxAgentResult r = agent(arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        if (c.arguments.back() == "--json")
            EXPECT_EQ(json::parse(r.out), json::parse(c.out));
        else
            EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.empty(), c.errorPart.empty()) << r.err;
        EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
        std::istringstream lines(r.err);
        for (std::string line; std::getline(lines, line);)
            EXPECT_EQ(line.rfind("oxagent: ", 0), 0u) << line;
    }
    EXPECT_TRUE(listed().empty()) << "every kernel was torn down";
    EXPECT_EQ(agent({"frobnicate"}).exitCode, 1);
    for (const char* command : {"show", "get", "run", "list", "inspect"}) {
        const oxAgentResult r = agent({command, "--help"});
        EXPECT_EQ(std::tuple(r.exitCode, r.out.find(std::string("oxagent ") + command) != r.out.npos),
                  std::tuple(0, true)) << r.out;
    }
}

// Files the scan passes over: inspect says why, and show, get and run name them on standard error.
// Stray symbolic-link loops are no candidates at all.
TEST_F(oxAgentProgramTest, InspectTellsModulesFromOtherFilesAndTheOthersNameTheFilesPassedOver) {
    folder.write("os/junk.dll", "not a module at all");
    folder.write("os/ELF.DLL", "\x7f" "ELF truncated"); // listed first: sorted ignoring case
    folder.write("os/empty.dll", "");
    const std::string secret = folder.write("os/secret.dll", "x");
    std::filesystem::permissions(secret, std::filesystem::perms::none);
    const std::string unreadable = std::ifstream(secret) ? "no version block" // root reads it
                                                          : "cannot be read: Permission denied";
    std::filesystem::create_symlink("loop", os + "/loop");
    std::filesystem::create_symlink("b.dll", os + "/a.dll");
    std::filesystem::create_symlink("a.dll", os + "/b.dll");
    const std::string skipped = "oxagent: " + os + "/ELF.DLL: skipped (no version block)\noxagent: " +
        os + "/empty.dll: skipped (empty file)\noxagent: " + os + "/junk.dll: skipped (no version "
        "block)\noxagent: " + os + "/secret.dll: skipped (" + unreadable + ")\n";
    for (const std::vector<std::string>& command : {std::vector<std::string>{"show", os},
             {"get", os, "--group", "1", "--attr", "6"}, {"run", os, "--seconds", "1"}}) {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> arguments = command;
        arguments.insert(arguments.end(), {"--db", db});
        const oxAgentResult r = agent(arguments);
        EXPECT_EQ(std::tuple(r.exitCode, r.err), std::tuple(0, skipped));
        EXPECT_NE(r.out.find(command[0] == "show" ? "modules loaded: 1\n" : command[0] == "get"
                             ? "7\n" : "1 module(s)\n"), std::string::npos) << r.out;
    }
    oxAgentResult r = agent({"inspect", os});
    EXPECT_EQ(std::tuple(r.exitCode, r.err, r.out.rfind("ELF.DLL: not a component module\n  no version block\n"
                                                 "empty.dll: not a component module\n  empty file\n"
                                                 "junk.dll: not a component module\n  no version block\n"
                                                 "osComp.dll: component module\n", 0)),
              std::tuple(0, "", 0u)) << r.out << r.err;
    EXPECT_NE(r.out.find("\nsecret.dll: not a component module\n  " + unreadable + "\n"), r.out.npos);
    EXPECT_NE(r.out.find("\n  \\OXInfo\\coxBaseTag = coxBaseTag\n"), std::string::npos);
    EXPECT_TRUE(listed().empty()) << "inspect installs nothing";
    r = agent({"inspect", folder.path.string()});
    EXPECT_EQ(r.out, "No module candidates (*.DLL) in " + folder.path.string() + ".\n");
}

// What PRAGMA integrity_check answers for a database file.
std::string integrity(const std::string& file) {
    sqlite3* handle = nullptr;
    std::string answer = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        sqlite3_exec(handle, "PRAGMA integrity_check", [](void* out, int, char** row, char**) {
            *static_cast<std::string*>(out) = row[0] ? row[0] : ""; return 0; }, &answer, nullptr);
    sqlite3_close(handle);
    return answer;
}

// show under an address-space limit stepped up through start-up. A run that never reached main
// failed in the dynamic loader (status 127) or in a library's static set-up, which aborts with
// the runtime's own "terminate called" (main's first act replaces that handler). Every other run
// ends 0, or 1 with the one line, and leaves the database sound.
TEST_F(oxAgentProgramTest, RunningOutOfMemoryEndsInOneLineAndLeavesTheDatabaseSound) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer reserves more address space than the limits tried";
#endif
#ifdef OX_COVERAGE_BUILD
    GTEST_SKIP() << "the coverage runtime writes its counts at exit, with memory the limits deny";
#endif
    const auto show = [&](int kib) {
        return oxAgentProcess_c({"-c", "ulimit -v " + std::to_string(kib) + "; exec \"$0\" \"$@\"",
                                 OX_BIN_DIR "/oxagent", "show", os, "--db", db}, folder, "/bin/sh").wait();
    };
    const auto beforeMain = [](const oxAgentResult& r) {
        return (r.exitCode == 127 && r.err.rfind("oxagent: ", 0) != 0) ||
               (r.exitCode == -1 && r.err.rfind("terminate called", 0) == 0);
    };
    int kib = 4096, outOfMemory = 0, done = 0;
    while (kib < 65536 && beforeMain(show(kib + 64))) // coarse steps up to where main is reached
        kib += 64;
    for (; done < 8 && kib < 65536; kib += 4) { // then page by page until runs keep succeeding
        SCOPED_TRACE(kib);
        const oxAgentResult r = show(kib);
        done = r.exitCode == 0 ? done + 1 : 0;
        if (beforeMain(r))
            continue;
        EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.exitCode << r.err;
        if (r.exitCode == 0) { // complete: osComp loaded and answering
            EXPECT_NE(r.out.find("Verify = 7"), std::string::npos) << r.out << r.err;
        }
        if (r.exitCode == 1) {
            EXPECT_EQ(r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1), "oxagent: out of memory\n");
            ++outOfMemory;
        }
        EXPECT_TRUE(!std::filesystem::exists(db) || integrity(db) == "ok") << integrity(db);
    }
    EXPECT_EQ(done, 8);
    EXPECT_GT(outOfMemory, 0) << "the sweep never ran out of memory inside main";
    EXPECT_TRUE(listed().empty()) << "the succeeding runs removed what failed ones left";
}

} // namespace
