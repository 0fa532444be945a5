// oxagent run as the service: clients over its control socket answer from the one copy it holds,
// bad requests and other users are refused while it goes on (and its clients refuse a service
// of another user), a killed service blocks no
// successor, set reaches the component through it and an events client follows what it raises.
#include "tests/agent/oxAgentProcess.h"
#include <functional>
#include <regex>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace {

using nlohmann::json;

// A connection to the socket that has sent the text, -1 when none; a refusal may close the
// connection before all of the text went.
int sendTo(const std::string& path, const std::string& text) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        close(std::exchange(fd, -1));
    else
        send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    return fd;
}

// Sends the text on a new connection, says it sent all, and reads that many answer lines (""
// for each missing).
std::vector<std::string> askSocket(const std::string& path, const std::string& text, int lines) {
    std::vector<std::string> answers;
    const int fd = sendTo(path, text);
    shutdown(fd, SHUT_WR);
    std::string buffer;
    char c = 0;
    while (static_cast<int>(answers.size()) < lines && recv(fd, &c, 1, 0) == 1)
        c == '\n' ? answers.push_back(std::exchange(buffer, "")) : buffer.push_back(c);
    close(fd);
    answers.resize(static_cast<std::size_t>(lines));
    return answers;
}

const std::string listRequest = "{\"op\":\"list\"}\n";

void waitFor(const std::function<bool()>& ready) {
    for (int tries = 0; tries < 300 && !ready(); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

void waitForService(const std::string& socket) {
    waitFor([&] { return !askSocket(socket, listRequest, 1)[0].empty(); });
}

TEST_F(oxAgentProgramTest, TheServiceAnswersClientsFromItsOneCopyAndOutlivesBadRequests) {
    const std::string socket = folder.file("run/ox/oxagent.sock");
    const std::vector<std::string> get = {"get", os, "--group", "1", "--attr", "6", "--db", db, "--verbose"};
    for (const int round : {1, 2}) { // the second after the first was killed
        SCOPED_TRACE(round);
        oxAgentProcess_c run({"run", os, "--db", db}, folder);
        waitForService(socket);
        struct stat file {}, dir {};
        stat(socket.c_str(), &file);
        stat(folder.file("run/ox").c_str(), &dir);
        EXPECT_EQ(std::tuple(file.st_mode & 0777, dir.st_mode & 0777), std::tuple(0600u, 0700u));
        std::vector<std::unique_ptr<oxAgentProcess_c>> gets;
        for (int i = 0; i < 20; ++i)
            gets.push_back(std::make_unique<oxAgentProcess_c>(get, folder));
        for (const auto& process : gets) {
            const oxAgentResult r = process->wait();
            EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err),
                      std::tuple(0, "7\n", "oxagent: answered by the service on " + socket + "\n"));
        }
        // IDs are not reused: one copy per service, none for the clients.
        EXPECT_EQ(listed().at(0)["id"], round);
        const std::vector<std::string> answers = askSocket(
            socket, "garbage\n" + std::string(10 << 20, 'x') + "\n{\"op\":\"get\",\"dir\":\"" +
                        std::filesystem::canonical(os).string() + "\",\"group\":\"1\",\"attr\":6}\n", 3);
        EXPECT_EQ(answers[0], "{\"error\":\"malformed request: not a JSON object\"}");
        EXPECT_EQ(answers[1], "{\"error\":\"request longer than 65536 bytes\"}");
        EXPECT_EQ(json::parse(answers[2].empty() ? "{}" : answers[2]).value("value", ""), "7");
        const oxAgentResult second = agent({"run", os, "--db", db});
        EXPECT_EQ(std::tuple(second.exitCode, second.err),
                  std::tuple(1, "oxagent: " + socket + ": another service already listens there\n"));
        kill(run.pid, SIGSTOP); // a service that takes requests and answers none
        std::vector<std::string> waiting = get;
        waiting.insert(waiting.end(), {"--timeout", "1"});
        EXPECT_EQ(agent(waiting).err, "oxagent: " + socket + ": the service gave no answer within 1 s\n");
        kill(run.pid, SIGKILL);
        run.wait();
        EXPECT_TRUE(std::filesystem::exists(socket)) << "a killed service leaves its socket";
    }
    const oxAgentResult r = agent(get);
    EXPECT_EQ(std::tuple(r.out, r.err), std::tuple("7\n", "oxagent: no service listens on " + socket +
                                                              "; answering in-process\n"));
    // A service claims the path before it makes the socket: another one starting then stays out.
    const int claim = open((socket + ".lock").c_str(), O_RDWR);
    EXPECT_EQ(flock(claim, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(agent({"run", os, "--db", db, "--seconds", "1"}).err,
              "oxagent: " + socket + ": another service already listens there\n");
    close(claim);
}

// A client that sends many requests and reads none of the answers holds up no other client;
// its answers wait for it, none lost.
TEST_F(oxAgentProgramTest, AClientThatReadsNothingHoldsUpNoOneAndLosesNoAnswer) {
    const std::string socket = folder.file("run/ox/oxagent.sock");
    oxAgentProcess_c run({"run", os, "--db", db}, folder);
    waitForService(socket);
    std::string requests;
    for (int i = 0; i < 5000; ++i)
        requests += listRequest;
    const int stalled = sendTo(socket, requests); // far more answers than the socket holds
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto begin = std::chrono::steady_clock::now();
    const oxAgentResult r = agent({"get", os, "--group", "1", "--attr", "6", "--verbose"});
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
    EXPECT_EQ(r.err, "oxagent: answered by the service on " + socket + "\n");
    std::string answers;
    char chunk[65536];
    for (ssize_t n = 0; std::count(answers.begin(), answers.end(), '\n') < 5000 &&
                        (n = recv(stalled, chunk, sizeof chunk, 0)) > 0;)
        answers.append(chunk, static_cast<std::size_t>(n));
    EXPECT_EQ(std::count(answers.begin(), answers.end(), '\n'), 5000);
    close(stalled);
}

TEST_F(oxAgentProgramTest, TheServiceAndItsClientsRefuseAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "not root: no other user to run a client as";
    char open[] = "/tmp/oxagent-peer-XXXXXX"; // a folder nobody may pass through
    ASSERT_NE(mkdtemp(open), nullptr);
    chmod(open, 0711);
    const std::string socket = std::string(open) + "/control.sock";
    oxAgentProcess_c run({"run", os, "--db", db, "--control", socket}, folder);
    waitForService(socket);
    chmod(socket.c_str(), 0666); // past the file's mode: the peer check alone refuses
    const pid_t child = fork();
    if (child == 0)
        _exit(setgid(65534) == 0 && setuid(65534) == 0 &&
                      askSocket(socket, listRequest, 1)[0] ==
                          "{\"error\":\"refused: the service answers only its own user and root\"}"
                  ? 0 : 1);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0) << "a client running as nobody is refused";
    EXPECT_EQ(json::parse(askSocket(socket, listRequest, 1)[0]).at(0)["id"], 1) << "its own user is not";
    kill(run.pid, SIGTERM);
    EXPECT_EQ(run.wait().exitCode, 0);
    // The other way round: a service of nobody's is no service for root's clients.
    const std::string theirs = std::string(open) + "/theirs.sock", dir = std::string(open) + "/os";
    std::filesystem::copy(os, dir);
    chmod(open, 0777);
    const pid_t service = fork();
    if (service == 0 && setgid(65534) == 0 && setuid(65534) == 0)
        execl(OX_BIN_DIR "/oxagent", "oxagent", "run", dir.c_str(), "--db", ":memory:", "--control",
              theirs.c_str(), nullptr);
    if (service == 0)
        _exit(127);
    waitForService(theirs);
    const oxAgentResult r = agent({"get", dir, "--group", "1", "--attr", "6", "--control", theirs});
    EXPECT_EQ(std::tuple(r.exitCode, r.err),
              std::tuple(1, "oxagent: " + theirs + ": the service there runs as another user\n"));
    kill(service, SIGTERM);
    waitpid(service, nullptr, 0);
    std::filesystem::remove_all(open);
}

// The File Systems example: attribute 7 of its table is the usage threshold, above 100 refused;
// at threshold 0 every used file system is above it and raises an event at the next check.
TEST_F(oxAgentProgramTest, SetReachesTheComponentThroughTheServiceAndEventsFollowWhatItRaises) {
    const std::string fs = folder.file("fs");
    std::filesystem::copy(OX_BIN_DIR "/../examples/filesystems", fs);
    folder.write("fs/fsComp.conf", "threshold = 100\nperiod = 1\n");
    oxAgentProcess_c run({"run", fs, "--db", db}, folder);
    waitForService(folder.file("run/ox/oxagent.sock"));
    oxAgentProcess_c events({"events"}, folder);
    waitFor([&] { return oxReadFile(events.err).find("following") != std::string::npos; });
    const auto set = [&](const char* value) {
        return agent({"set", fs, "--group", "2", "--attr", "7", "--key", "/", "--value", value, "--json"});
    };
    const auto threshold = [&] { return agent({"get", fs, "--group", "2", "--attr", "7", "--key", "/"}).out; };
    for (const bool service : {true, false}) {
        SCOPED_TRACE(service);
        oxAgentResult r = set("0");
        EXPECT_EQ(std::tuple(r.exitCode, json::parse(r.out).value("phase", "")), std::tuple(0, "set")) << r.err;
        EXPECT_EQ(threshold(), service ? "0\n" : "100\n"); // in-process, each command has its own copy
        r = set("150");
        EXPECT_EQ(std::tuple(r.exitCode, json::parse(r.out).value("phase", "")), std::tuple(2, "reserve"));
        EXPECT_NE(r.err.find("oxagent: reserve refused: 0xF001: a status of the component's own"),
                  std::string::npos) << r.err;
        EXPECT_EQ(threshold(), service ? "0\n" : "100\n") << "a refused set changes nothing";
        if (!service)
            continue;
        // show reads the rows the component's timer replaces each second (the thread sanitizer's
        // run names a race if both go at once).
        const std::string show = json{{"op", "show"}, {"dir", std::filesystem::canonical(fs)}}.dump() + "\n";
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < until)
            EXPECT_NE(askSocket(folder.file("run/ox/oxagent.sock"), show, 1)[0].find("\"rows\":[["),
                      std::string::npos);
        waitFor([&] { return oxReadFile(events.out).find('\n') != std::string::npos; });
        kill(run.pid, SIGTERM);
        EXPECT_EQ(run.wait().exitCode, 0);
        const oxAgentResult followed = events.wait();
        EXPECT_TRUE(std::regex_search(followed.out, std::regex(
            "^event [0-9]+ at [-0-9]+ [:0-9]+: component 1 group 3 \\(OX\\|File System Event\\|001\\) "
            "1=/.* 3=0 4=1 5=OX\\|File System\\|001\n"))) << followed.out;
        EXPECT_NE(followed.err.find("oxagent: the service stopped\n"), std::string::npos);
    }
}

} // namespace
