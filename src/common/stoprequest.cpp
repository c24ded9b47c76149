#include "common/stoprequest.h"

#include <csignal>

namespace quendra {

namespace {

// The number of the signal that asked for a stop; 0: none did.
volatile std::sig_atomic_t g_stop = 0;

extern "C" void onStopSignal(int signal)
{
    g_stop = signal;
}

} // namespace

void installStopSignals()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // A second signal of the same kind ends the process at once, for a run that hangs
    // in a call that never returns to the record loop (a database server that does
    // not answer). Interrupted reads and writes resume.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A parent may start the program with the signals blocked; they would wait for ever.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
}

bool stopRequested()
{
    return g_stop != 0;
}

int stopSignal()
{
    return g_stop > 0 ? int(g_stop) : 0;
}

QString stoppedBySignal()
{
    switch (stopSignal()) {
    case SIGTERM:
        return QStringLiteral(" durch das Signal SIGTERM");
    case SIGINT:
        return QStringLiteral(" durch das Signal SIGINT");
    default:
        return {};
    }
}

} // namespace quendra
