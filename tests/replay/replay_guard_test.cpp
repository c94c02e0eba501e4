// Hostile inputs: outputs aimed at the files the run reads, tick files that
// block or never end a line, and stop requests while a read waits.
#include "history_folder.h"
#include "replay/replay_run.h"
#include "replay/tick_file.h"
#include "replay/tick_lines.h"

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <pthread.h>
#endif
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vz::testing {
namespace {

namespace fs = std::filesystem;

const std::string TICK =
    "09:00:00,1.0030,1.0,100.20,1.0,1.0,100.0,100.0,0.9990,100.50,1.0,100.0,1.0,100.0,1.0";

struct RunResult {
    int status = 0;
    std::string errors;
};

struct ReplayGuardTest : ::testing::Test {
    HistoryFolder folder{{.dailyLines = 3, .fourHourLines = 2, .oneHourLines = 2}};
    fs::path outside = fs::path(folder.file("outside"));

    void SetUp() override {
        folder.write("ticks.csv", TICK + "\r\n" + TICK + "\r\n");
        fs::create_directory(outside);
    }
    std::vector<std::string> args(const std::string& ticks, const std::string& more = {}) {
        std::vector<std::string> line{"--folder", folder.path(),     "--ticks",
                                      ticks,      "--reference-day", "0"};
        if (!more.empty()) {
            line.insert(line.end(), {more, (outside / "out.csv").string()});
        }
        return line;
    }
    RunResult run(const std::vector<std::string>& line, std::istream* input = nullptr,
                  const StopFlag* stop = nullptr) {
        std::istringstream none;
        std::ostringstream out, err;
        const int status = replayMain(line, input ? *input : none, out, err, stop);
        return {status, err.str()};
    }
    // Nothing was written next to the outputs, finished or not.
    void expectNoOutputs() {
        EXPECT_TRUE(fs::is_empty(outside)) << fs::directory_iterator(outside)->path();
    }
};

TEST_F(ReplayGuardTest, OutputsThatAreFilesTheRunReadsAreRefusedAndLeftAsTheyWere) {
    const std::string history = folder.file("GBPUSD.csv");
    const std::string before = readFile(history);
    fs::create_hard_link(history, outside / "hard.csv");
    // The temporary name an output is written under is opened for writing too.
    fs::create_hard_link(history, outside / "out.csv.partial");
    std::vector<std::array<std::string, 2>> clashes = {
        {"--events", history},
        {"--snapshots", folder.path() + "./GBPUSD_H4.csv"},
        {"--columns-out", (outside / "hard.csv").string()},
        {"--snapshots", folder.file("CHFJPY_RT.csv")},
        {"--columns-out", (outside / "out.csv").string()},
    };
#ifndef _WIN32
    // Symbolic links need a privilege on Windows.
    fs::create_symlink(folder.file("EURJPY_H1.csv"), outside / "soft.csv");
    clashes.push_back({"--events", (outside / "soft.csv").string()});
#endif
    for (const auto& [option, output] : clashes) {
        SCOPED_TRACE(option + " " + output);
        std::vector<std::string> line = args(folder.file("ticks.csv"));
        line.insert(line.end(), {option, output});
        const RunResult result = run(line);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.errors.find("which this run reads"), std::string::npos) << result.errors;
        EXPECT_EQ(readFile(history), before);
    }
    EXPECT_FALSE(fs::exists(folder.file("CHFJPY_RT.csv.partial")));
    fs::remove(outside / "out.csv.partial");
    fs::remove(outside / "hard.csv");
    fs::remove(outside / "soft.csv");
    // A file of the same name in another folder is no clash.
    fs::copy_file(history, outside / "GBPUSD.csv");
    std::vector<std::string> line = args(folder.file("ticks.csv"));
    line.insert(line.end(), {"--events", (outside / "GBPUSD.csv").string()});
    EXPECT_EQ(run(line).status, 0);
}

TEST_F(ReplayGuardTest, TickLinesPastTheLimitEndTheRunWithTheirLineNumber) {
    const std::string limit = std::to_string(MAX_TICK_LINE_BYTES);
    // The CR before the LF counts towards the line.
    const std::string longest(MAX_TICK_LINE_BYTES - TICK.size() - 1, 'x');
    folder.write("longest.csv", TICK + "\n" + longest + TICK + "\r\n" + TICK);
    EXPECT_EQ(run(args(folder.file("longest.csv"), "--snapshots")).status, 0);
    EXPECT_NE(readFile((outside / "out.csv").string()).find(longest + "09:00:00,"),
              std::string::npos);
    fs::remove(outside / "out.csv");

    folder.write("long.csv", TICK + "\n\n" + "xx" + longest + TICK + "\n" + TICK + "\n");
    RunResult result = run(args(folder.file("long.csv"), "--snapshots"));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.errors.find("long.csv: line 3: longer than " + limit), std::string::npos)
        << result.errors;
    expectNoOutputs();

#ifndef _WIN32
    // Endless zero bytes: the limit is what bounds the memory the run takes.
    result = run(args("/dev/zero", "--events"));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.errors.find("/dev/zero: line 1: longer than"), std::string::npos)
        << result.errors;
    expectNoOutputs();
#endif
}

#ifndef _WIN32
// Records SIGTERM in a flag, as the tools' handler does, without restarting
// the call it interrupts.
std::atomic<int> testStop{0};
extern "C" void recordTestStop(int signal) {
    testStop.store(signal);
}

// The replay runs in its own thread, which is sent SIGTERM until it ends: a
// signal that lands before the run starts to wait is recorded too, and the
// next one then interrupts the wait.
struct StoppedWhileWaiting : ReplayGuardTest {
    struct sigaction previous {};

    void SetUp() override {
        ReplayGuardTest::SetUp();
        testStop = 0;
        struct sigaction action {};
        action.sa_handler = recordTestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, &previous);
    }
    void TearDown() override { sigaction(SIGTERM, &previous, nullptr); }

    RunResult runUntilStopped(const std::vector<std::string>& line, std::istream* input = nullptr) {
        RunResult result;
        std::atomic<bool> done{false};
        std::thread replay([&] {
            result = run(line, input, &testStop);
            done = true;
        });
        while (!done) {
            pthread_kill(replay.native_handle(), SIGTERM);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        replay.join();
        return result;
    }
    void expectInterrupted(const RunResult& result) {
        EXPECT_EQ(result.status, 143);
        EXPECT_EQ(result.errors, "vurezer-replay: interrupted\n");
        expectNoOutputs();
    }
};

TEST_F(StoppedWhileWaiting, ForAFifoWriterOrMoreLinesIsAStopNotAReadError) {
    const std::string fifo = folder.file("ticks.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // No writer: the open itself waits.
    expectInterrupted(runUntilStopped(args(fifo, "--snapshots")));

    // A writer that sent two ticks and then went quiet: the read waits. Opened
    // for reading and writing, so this end's open does not wait for a reader.
    const int writer = ::open(fifo.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    const std::string ticks = TICK + "\n" + TICK + "\n";
    ASSERT_EQ(::write(writer, ticks.data(), ticks.size()), static_cast<ssize_t>(ticks.size()));
    expectInterrupted(runUntilStopped(args(fifo, "--events")));
    ::close(writer);
}

TEST_F(StoppedWhileWaiting, ForStandardInputIsAStop) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const std::string ticks = TICK + "\n";
    ASSERT_EQ(::write(pipeEnds[1], ticks.data(), ticks.size()), static_cast<ssize_t>(ticks.size()));
    {
        InterruptibleFileBuf buffer(pipeEnds[0], &testStop, false);
        std::istream input(&buffer);
        expectInterrupted(runUntilStopped(args("-", "--snapshots"), &input));
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

#else
// A stop request cuts the tool's blocking read short (the console handler
// cancels it); the cancelled read of a pipe that still holds the writer's
// promise of more lines is a stop, not a read error.
TEST_F(ReplayGuardTest, ACancelledPipeReadIsAStop) {
    int pipeEnds[2];
    ASSERT_EQ(::_pipe(pipeEnds, 4096, _O_BINARY), 0);
    const std::string ticks = TICK + "\n";
    ASSERT_EQ(::_write(pipeEnds[1], ticks.data(), static_cast<unsigned>(ticks.size())),
              static_cast<int>(ticks.size()));
    StopFlag stop{0};
    RunResult result;
    std::atomic<bool> done{false};
    InterruptibleFileBuf buffer(pipeEnds[0], &stop, false);
    std::istream input(&buffer);
    std::atomic<HANDLE> thread{nullptr};
    std::thread replay([&] {
        HANDLE own = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &own, 0,
                        FALSE, DUPLICATE_SAME_ACCESS);
        thread = own;
        result = run(args("-", "--snapshots"), &input, &stop);
        done = true;
    });
    while (thread == nullptr) {
        std::this_thread::yield();
    }
    stop = SIGINT;
    // Up to ten seconds of cancelling (a read may not have started yet);
    // then the writer closes, so a failing test still ends.
    for (int attempt = 0; attempt < 500 && !done; ++attempt) {
        CancelSynchronousIo(thread);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const bool cancelled = done;
    ::_close(pipeEnds[1]);
    replay.join();
    CloseHandle(thread);
    ::_close(pipeEnds[0]);
    EXPECT_TRUE(cancelled) << "the read waited for the writer";
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(result.errors, "vurezer-replay: interrupted\n");
    expectNoOutputs();
}
#endif

} // namespace
} // namespace vz::testing
