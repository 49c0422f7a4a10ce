#include "vmodem/SignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write to a descriptor; the watcher reads it on the event loop.
int g_pipe[2] = {-1, -1};
constexpr int watchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

SignalWatcher::SignalWatcher(QObject* parent)
    : QObject(parent) {
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);
    struct sigaction action {};
    action.sa_handler = &SignalWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : watchedSignals) {
        ::sigaction(number, &action, nullptr);
    }
    // A reader of the traffic log that goes away must not take the modem down with it.
    ::signal(SIGPIPE, SIG_IGN);
}

SignalWatcher::~SignalWatcher() {
    for (const int number : watchedSignals) {
        ::signal(number, SIG_DFL);
    }
}

void SignalWatcher::handle(int signalNumber) {
    const auto byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

void SignalWatcher::readPipe() {
    char byte = 0;
    while (::read(g_pipe[1], &byte, 1) == 1) {
        emit terminationRequested(static_cast<unsigned char>(byte));
    }
}
