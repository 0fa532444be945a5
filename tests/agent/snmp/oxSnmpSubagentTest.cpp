// oxagent run --agentx against a real snmpd as master on loopback: the DMI MIB's tables, a live
// attribute value, a walk that ends, unknown instances, SET accepted and refused, table rows in
// order, events as notifications at a real snmptrapd, and the subagent finding the master when
// it appears late and again after it was killed and started anew.
#include "tests/agent/oxAgentProcess.h"
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

const std::string dmi = ".1.3.6.1.4.1.412";
const std::string verify = dmi + ".3.1.1.1.6.1"; // component 1, group 1, attribute 6, row 1

// A UDP port on loopback that nothing uses now.
int freePort() {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class oxSnmpSubagentTest : public oxAgentProgramTest {
  protected:
    void SetUp() override {
        for (const char* tool : {"/usr/sbin/snmpd", "/usr/bin/snmpget", "/usr/bin/snmpwalk"})
            if (access(tool, X_OK) != 0)
                GTEST_SKIP() << tool << " is missing: install snmpd and snmp to run this test";
        setenv("SNMP_PERSISTENT_DIR", folder.file("snmp").c_str(), 1);
        folder.write("snmpd.conf", "master agentx\nagentXTimeout 5\nagentXSocket " + socket +
                                       "\nrocommunity public 127.0.0.1\n"
                                       "rwcommunity private 127.0.0.1\n"
                                       "trap2sink " + trapAddress + " public\n");
    }
    std::unique_ptr<oxAgentProcess_c> startMaster() {
        return std::make_unique<oxAgentProcess_c>(
            std::vector<std::string>{"-f", "-C", "-c", folder.file("snmpd.conf"), "-Lf",
                                     folder.file("snmpd.log"), address},
            folder, "/usr/sbin/snmpd");
    }
    // A client tool's answer: one try (a SET must not repeat), five seconds for a loaded
    // machine; one second while waiting for a master that may not listen yet.
    oxAgentResult client(const char* tool, std::vector<std::string> arguments,
                         const char* seconds = "5") {
        arguments.insert(arguments.begin(), {"-v2c", "-c", "public", "-On", "-m", "", "-t", seconds,
                                             "-r", "0", address});
        return oxAgentProcess_c(arguments, folder, tool).wait();
    }
    std::string get(const std::string& oid, const char* seconds = "5") {
        return client("/usr/bin/snmpget", {oid}, seconds).out;
    }
    oxAgentResult set(const std::string& oid, const char* type, const char* value) {
        return oxAgentProcess_c({"-v2c", "-c", "private", "-On", "-t", "5", "-r", "0", address,
                                 oid, type, value}, folder, "/usr/bin/snmpset").wait();
    }
    // Until the value of Verify comes through the master (at most 10 s: it is looked for every
    // second).
    bool verifyAnswers() {
        for (int tries = 0; tries < 50; ++tries) {
            if (get(verify, "1").find("INTEGER: 7") != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }

    std::string socket = folder.file("agentx");
    std::string address = "udp:127.0.0.1:" + std::to_string(freePort());
    std::string trapAddress = "udp:127.0.0.1:" + std::to_string(freePort());
};

TEST_F(oxSnmpSubagentTest, ServesTheDmiMibThroughTheMasterAndFindsItAgainAfterARestart) {
    oxAgentProcess_c run({"run", os, "--db", db, "--agentx", socket}, folder);
    // No master yet: said once, and the subagent serves on until one appears.
    for (int tries = 0; tries < 100 && oxReadFile(run.err).find("no AgentX") == std::string::npos;
         ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::unique_ptr<oxAgentProcess_c> master = startMaster();
    ASSERT_TRUE(verifyAnswers()) << oxReadFile(run.err);

    const std::vector<std::pair<std::string, std::string>> answers = {
        {dmi + ".1.1.2.1.1.2.1", "STRING: \"Operating System\""},     // dmiCompName
        {dmi + ".1.1.2.1.1.4.1", "INTEGER: 1"},                      // dmiCompGroupCount
        {dmi + ".1.1.2.3.1.2.1.1", "STRING: \"DMTF|ComponentID|001\""}, // dmiGroupClassString
        {dmi + ".1.1.2.3.1.3.1.1", "INTEGER: 1"},                    // dmiGroupVersion
        {dmi + ".1.1.1.2.1.4.1.5", "INTEGER: 9"},                    // dmiAttrType: date
        {dmi + ".1.1.1.5.1.3.1.6.8", "STRING: \"This component exists, and is functioning correctly\""},
        {dmi + ".3.1.1.1.2.1", "STRING: \"Operating System\""},       // a static value
        {verify, "INTEGER: 7"},                                      // from osComp
        {dmi + ".3.1.1.1.6.2", "No Such Instance currently exists at this OID"},
        {dmi + ".1.1.2.1.1.2.9", "No Such Instance currently exists at this OID"},
        {dmi + ".1.1.3.1.0", "INTEGER: 2"},                          // dmiMappingLevel
    };
    for (const auto& [oid, value] : answers) {
        SCOPED_TRACE(oid);
        EXPECT_EQ(get(oid), oid + " = " + value + "\n");
    }

    // The walk ends (the tool fails on OIDs out of order) with the last attribute value.
    const oxAgentResult walk = client("/usr/bin/snmpwalk", {dmi});
    EXPECT_EQ(walk.exitCode, 0) << walk.err;
    EXPECT_EQ(occurrences(walk.out, "\n"), 105u) << walk.out;
    EXPECT_NE(walk.out.find(dmi + ".1.1.2.1.1.2.1 = STRING: \"Operating System\"\n"),
              std::string::npos);
    EXPECT_EQ(walk.out.substr(walk.out.rfind('\n', walk.out.size() - 2) + 1),
              verify + " = INTEGER: 7\n");

    EXPECT_NE(set(verify, "i", "3").err.find("notWritable"), std::string::npos);

    // The master killed and started again: the subagent reconnects and answers.
    kill(master->pid, SIGKILL);
    master->wait();
    master = startMaster();
    EXPECT_TRUE(verifyAnswers()) << oxReadFile(run.err);

    kill(run.pid, SIGTERM);
    const oxAgentResult r = run.wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(occurrences(r.err, "no AgentX master at " + socket), 1u) << r.err;
    EXPECT_EQ(occurrences(r.err, " lost; reconnecting\n"), 1u) << r.err;
    EXPECT_EQ(occurrences(r.err, "AgentX master at " + socket + " connected\n"), 2u) << r.err;
}

// A table group of MIF rows served by the role fixture (its cells answer "r<row>a<attribute>",
// attribute 4 answers 0x2008 in every slot); the store fixture's table, whose rows only it
// knows and whose attribute 3 tells the steps of each set; the ticker, whose events go out as
// notifications.
TEST_F(oxSnmpSubagentTest, SetsThroughTheGuardedReserveWalksRowsAndSendsEvents) {
    folder.write("rows/Rows.mif", R"(Start Component Name = "Rows"
  Start Group Name = "Row" Class = "FK|Table|001" ID = 2 Key = 1
    Start Attribute Name = "Index" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "Text" ID = 2 Type = String(8) Access = Read-Write End Attribute
    Start Attribute Name = "Mute" ID = 4 Type = String(8) Access = Read-Write End Attribute End Group
  Start Table Class = "FK|Table|001" {1, "a", "b"} {2, "c", "d"} End Table
End Component)");
    std::filesystem::copy_file(OX_BIN_DIR "/fkRoles.dll", folder.file("rows/table.dll"));
    folder.write("ticker/Ticker.mif", R"(Start Component Name = "Ticker"
  Start Group Name = "Tick Event" Class = "FA|TickerEvent|001" ID = 2
    Start Attribute Name = "Count" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "Source" ID = 5 Type = String(64) End Attribute End Group End Component)");
    std::filesystem::copy_file(OX_BIN_DIR "/faTicker.dll", folder.file("ticker/faTicker.dll"));
    folder.write("store/Store.mif", R"(Start Component Name = "Store"
  Start Group Name = "Store" Class = "FA|Store|001" ID = 2 Key = 1
    Start Attribute Name = "Index" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "Text" ID = 2 Type = String(8) Access = Read-Write End Attribute
    Start Attribute Name = "Steps" ID = 3 Type = String(64) End Attribute End Group End Component)");
    std::filesystem::copy_file(OX_BIN_DIR "/faStore.dll", folder.file("store/faStore.dll"));
    folder.write("trapd.conf", "disableAuthorization yes\n");
    oxAgentProcess_c traps({"-f", "-C", "-c", folder.file("trapd.conf"), "-On", "-Lf",
                            folder.file("traps.log"), trapAddress}, folder, "/usr/sbin/snmptrapd");
    const std::unique_ptr<oxAgentProcess_c> master = startMaster();
    oxAgentProcess_c run({"run", folder.file("rows"), folder.file("ticker"), folder.file("store"),
                          "--db", db, "--agentx", socket}, folder);
    const std::string row = dmi + ".3.1.2.1."; // component 1, group 2: <attribute>.<row>
    for (int tries = 0; tries < 100 && get(row + "1.1", "1").find("r1a1") == std::string::npos; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(client("/usr/bin/snmpwalk", {dmi + ".3.1"}).out,
              row + "1.1 = STRING: \"r1a1\"\n" + row + "1.2 = STRING: \"r2a1\"\n" + row +
              "2.1 = STRING: \"r1a2\"\n" + row + "2.2 = STRING: \"r2a2\"\n" + row +
              "4.1 = STRING: \"b\"\n" + row + "4.2 = STRING: \"d\"\n"); // 4: the MIF's value
    const oxAgentResult accepted = set(row + "2.2", "s", "new");
    EXPECT_EQ(accepted.out, row + "2.2 = STRING: \"new\"\n") << accepted.err;
    EXPECT_NE(set(row + "4.1", "s", "x").err.find("notWritable"), std::string::npos);
    EXPECT_NE(set(row + "2.1", "i", "5").err.find("wrongType"), std::string::npos);
    EXPECT_NE(set(row + "1.1", "s", "x").err.find("notWritable"), std::string::npos); // read-only

    const std::string store = dmi + ".3.3.2.1.", text = store + "2.3", steps = store + "3.1";
    EXPECT_EQ(client("/usr/bin/snmpwalk", {store + "2"}).out,
              store + "2.1 = STRING: \"one\"\n" + store + "2.2 = STRING: \"two\"\n" + text +
              " = STRING: \"three\"\n");
    const struct { const char* value; const char* error; const char* text; const char* steps; } sets[] = {
        {"new", "", "new", "reserve set"},
        {"no", "inconsistentValue", "new", "reserve set reserve"},   // refused by reserve
        {"late", "commitFailed", "new", "reserve set reserve reserve set release"}, // by set
        {"ninechars", "wrongLength", "new", "reserve set reserve reserve set release"}, // String(8)
    };
    for (const auto& s : sets) {
        SCOPED_TRACE(s.value);
        const oxAgentResult r = set(text, "s", s.value);
        EXPECT_NE(r.err.find(s.error), std::string::npos) << r.err;
        EXPECT_EQ(get(text), text + " = STRING: \"" + s.text + "\"\n");
        EXPECT_EQ(get(steps), steps + " = STRING: \"" + s.steps + "\"\n");
    }
    // oxagent set through the same service: a refused set releases what its reserve took.
    const oxAgentResult late = agent({"set", folder.file("store"), "--group", "2", "--attr", "2",
                                      "--key", "3", "--value", "late", "--verbose"});
    EXPECT_EQ(std::tuple(late.exitCode, late.err.find("answered by the service") != std::string::npos,
                         late.err.find("oxagent: set refused: 0xF00A") != std::string::npos),
              std::tuple(2, true, true)) << late.err;
    EXPECT_NE(get(steps).find("release reserve set release\""), std::string::npos);
    EXPECT_NE(agent({"set", folder.file("store"), "--group", "2", "--attr", "2", "--key", "3",
                     "--value", "ninechars"}).err.find("--value: longer than the attribute's 8 octets"),
              std::string::npos);
    std::string log;
    for (int tries = 0; tries < 50 && log.find("412.1.2.1.5.0") == std::string::npos; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        log = oxReadFile(folder.file("traps.log"));
    }
    for (const std::string part : {"OID: .1.3.6.1.4.1.412.1.2.0.1", ".1.3.6.1.4.1.412.1.2.1.13.0 = "
             "STRING: \"FA|TickerEvent|001\"", ".1.3.6.1.4.1.412.1.1.2.1.1.1.2 = Gauge32: 2",
             ".1.3.6.1.4.1.412.1.2.1.5.0 = STRING: \"FA|Ticker|001\""})
        EXPECT_NE(log.find(part), std::string::npos) << part << "\n" << log;
    kill(run.pid, SIGTERM);
    EXPECT_EQ(run.wait().exitCode, 0);
}

} // namespace
