#include "common/stop_signal.h"

#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vz {

namespace {

// A signal handler can reach nothing but a lock-free flag of static storage.
StopFlag stopSignal{0};
static_assert(StopFlag::is_always_lock_free);

#ifdef _WIN32

// How long a closing console waits for the tool to tidy up; the system ends
// the process a few seconds after the close event whatever happens.
constexpr DWORD CLOSE_GRACE_MS = 4500;

// The thread that installed the handler, whose blocking read (a pipe or a
// console with no more lines yet) a stop request cuts short, as a signal
// does elsewhere.
HANDLE toolThread = nullptr;

// Runs on a thread of its own. Ctrl-C and Ctrl-Break count as SIGINT, a
// closing console, logoff or shutdown as SIGTERM; a second event ends the
// program at once, as a second signal does elsewhere.
BOOL WINAPI recordConsoleEvent(DWORD event) {
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    int expected = 0;
    if (!stopSignal.compare_exchange_strong(expected, interrupt ? SIGINT : SIGTERM)) {
        return FALSE;
    }
    if (toolThread != nullptr) {
        CancelSynchronousIo(toolThread);
    }
    if (!interrupt) {
        // Returning would end the process now; the main thread ends it
        // earlier once its files are in order.
        Sleep(CLOSE_GRACE_MS);
    }
    return TRUE;
}

#else

extern "C" void recordStopSignal(int signal) {
    stopSignal.store(signal);
    std::signal(signal, SIG_DFL); // the next one ends the program at once
}

#endif

} // namespace

const StopFlag& installStopSignalHandlers() {
#ifdef _WIN32
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &toolThread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    SetConsoleCtrlHandler(recordConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = recordStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
    return stopSignal;
}

} // namespace vz
