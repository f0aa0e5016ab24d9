#include "engine/platform/stopsignals.h"

#include <csignal>
#include <ctime>
#include <initializer_list>
#include <unistd.h>

namespace tsv {
namespace {

volatile sig_atomic_t g_stopSignal = 0;

extern "C" void OnGraceOver(int) { _exit(128 + (g_stopSignal != 0 ? g_stopSignal : SIGALRM)); }

volatile sig_atomic_t g_firstSecond = 0;

long MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now); // safe in a signal handler
    return static_cast<long>(now.tv_sec);
}

extern "C" void OnStopSignal(int signal)
{
    if (g_stopSignal != 0) {
        // A second signal a moment later (a supervisor often sends one to
        // the process and one to its group at once) is the same request.
        if (MonotonicSeconds() - g_firstSecond >= 2) {
            _exit(128 + signal);
        }
        return;
    }
    g_firstSecond = static_cast<sig_atomic_t>(MonotonicSeconds());
    g_stopSignal = signal;
    alarm(kStopGraceSeconds);
}

void Handle(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

void InstallStopSignals()
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        Handle(signal, &OnStopSignal);
    }
    Handle(SIGALRM, &OnGraceOver);
}

int StopSignal() { return g_stopSignal; }

void ClearStopSignal()
{
    alarm(0);
    g_stopSignal = 0;
}

} // namespace tsv
