#include "platform/UnixSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A handler may do little more than write to a descriptor; the watcher reads it on the event
// loop. Neither end blocks: a handler never waits, and the reader stops when it has all.
int g_pipe[2] = {-1, -1};
constexpr int watchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int signalNumber) {
    const auto byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

} // namespace

UnixSignals::UnixSignals(QObject* parent)
    : QObject(parent) {
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignals::readSignals);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : watchedSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

UnixSignals::~UnixSignals() {
    for (const int number : watchedSignals) {
        ::signal(number, SIG_DFL);
    }
}

void UnixSignals::readSignals() {
    char byte = 0;
    while (::read(g_pipe[1], &byte, 1) == 1) {
        emit terminationRequested(static_cast<unsigned char>(byte));
    }
}
