// oxagent run --agentx against a real snmpd as master on loopback: the DMI MIB's tables, a live
// attribute value, a walk that ends, unknown instances, a refused SET, and the subagent finding
// the master when it appears late and again after it was killed and started anew.
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

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
        folder.write("snmpd.conf", "master agentx\nagentXSocket " + socket +
                                       "\nrocommunity public 127.0.0.1\n"
                                       "rwcommunity private 127.0.0.1\n");
    }
    std::unique_ptr<oxAgentProcess_c> startMaster() {
        return std::make_unique<oxAgentProcess_c>(
            std::vector<std::string>{"-f", "-C", "-c", folder.file("snmpd.conf"), "-Lf",
                                     folder.file("snmpd.log"), address},
            folder, "/usr/sbin/snmpd");
    }
    // A client tool's answer: one try, one second.
    oxAgentResult client(const char* tool, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"-v2c", "-c", "public", "-On", "-m", "", "-t", "1",
                                             "-r", "0", address});
        return oxAgentProcess_c(arguments, folder, tool).wait();
    }
    std::string get(const std::string& oid) { return client("/usr/bin/snmpget", {oid}).out; }
    // Until the value of Verify comes through the master (at most 20 s).
    bool verifyAnswers() {
        for (int tries = 0; tries < 100; ++tries) {
            if (get(verify).find("INTEGER: 7") != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }

    std::string socket = folder.file("agentx");
    std::string address = "udp:127.0.0.1:" + std::to_string(freePort());
};

TEST_F(oxSnmpSubagentTest, ServesTheDmiMibThroughTheMasterAndFindsItAgainAfterARestart) {
    oxAgentProcess_c run({"run", os, "--db", db, "--agentx", socket}, folder);
    // No master yet: said once, and the subagent serves on until one appears.
    for (int tries = 0; tries < 100 && contents(run.err).find("no AgentX") == std::string::npos;
         ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::unique_ptr<oxAgentProcess_c> master = startMaster();
    ASSERT_TRUE(verifyAnswers()) << contents(run.err);

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
    };
    for (const auto& [oid, value] : answers) {
        SCOPED_TRACE(oid);
        EXPECT_EQ(get(oid), oid + " = " + value + "\n");
    }

    // The walk ends (the tool fails on OIDs out of order) with the last attribute value.
    const oxAgentResult walk = client("/usr/bin/snmpwalk", {dmi});
    EXPECT_EQ(walk.exitCode, 0) << walk.err;
    EXPECT_EQ(occurrences(walk.out, "\n"), 104u) << walk.out;
    EXPECT_NE(walk.out.find(dmi + ".1.1.2.1.1.2.1 = STRING: \"Operating System\"\n"),
              std::string::npos);
    EXPECT_EQ(walk.out.substr(walk.out.rfind('\n', walk.out.size() - 2) + 1),
              verify + " = INTEGER: 7\n");

    const oxAgentResult set = oxAgentProcess_c({"-v2c", "-c", "private", "-On", "-t", "1", "-r",
                                                "0", address, verify, "i", "3"},
                                               folder, "/usr/bin/snmpset").wait();
    EXPECT_NE(set.err.find("notWritable"), std::string::npos) << set.err;

    // The master killed and started again: the subagent reconnects and answers.
    kill(master->pid, SIGKILL);
    master->wait();
    master = startMaster();
    EXPECT_TRUE(verifyAnswers()) << contents(run.err);

    kill(run.pid, SIGTERM);
    const oxAgentResult r = run.wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(occurrences(r.err, "no AgentX master at " + socket), 1u) << r.err;
    EXPECT_EQ(occurrences(r.err, " lost; reconnecting\n"), 1u) << r.err;
    EXPECT_EQ(occurrences(r.err, "AgentX master at " + socket + " connected\n"), 2u) << r.err;
}

} // namespace
