#include "PhoneLine.h"

#include "ScriptedTransport.h"
#include "call/CallControl.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/ModemLink.h"
#include "modem/ModemResponses.h"
#include "modem/SerialControl.h"

#include <QTest>
#include <QTimer>
#include <vector>

namespace {
const QString ScriptedDevice = QStringLiteral("/dev/ttyScripted0");
} // namespace

PhoneLine::PhoneLine(Line line, double speedup)
    : clock(speedup)
    , waiter(clock)
    , services{temp.store(), shared, clock, waiter, messages, lockDir.path()}
    , m_line(line) {
    if (line == Line::Pty) {
        m_pty = std::make_unique<Pty>();
    }
}

PhoneLine::~PhoneLine() = default;

namespace {

// The usual modem set-up: port 1, the initialisation string, caller ID on.
std::vector<std::pair<Settings::Key, QString>> usualModem(bool autoOn) {
    return {{Settings::Port, QStringLiteral("1")},
            {Settings::IntString, QStringLiteral("AT#CLS=8#VLS=6")},
            {Settings::AutoOn, autoOn ? QStringLiteral("True") : QStringLiteral("False")},
            {Settings::CallerID, QStringLiteral("True")},
            {Settings::CallerIDString, QStringLiteral("#CID=1")}};
}

} // namespace

void PhoneLine::storeModem(SettingsStore& store, const QString& devicePath, bool autoOn) {
    store.setPortDevice(1, devicePath);
    for (const auto& [key, text] : usualModem(autoOn)) {
        store.write(key, text);
    }
}

void PhoneLine::storeModem(bool autoOn) {
    storeModem(store(), devicePath(), autoOn);
}

QString PhoneLine::devicePath() const {
    switch (m_line) {
    case Line::Scripted:
        return ScriptedDevice;
    case Line::Pty:
        return m_pty->devicePath();
    case Line::System:
        break;
    }
    return temp.store().portDevice(1);
}

Phone& PhoneLine::create(std::unique_ptr<SerialTransport> transport) {
    m_phone = std::make_unique<Phone>(services, view, std::move(transport));
    return *m_phone;
}

Phone& PhoneLine::phone() {
    if (m_made) {
        return *m_made;
    }
    std::unique_ptr<SerialTransport> transport;
    if (m_line == Line::Scripted) {
        auto scripted = std::make_unique<ScriptedTransport>(clock);
        m_modem = scripted.get();
        transport = std::move(scripted);
    }
    m_made = &create(std::move(transport));
    connect(&m_made->comModem(), &SerialControl::bytesWritten, this, [this](const QByteArray& bytes) {
        writes.append({clock.now(), bytes});
        m_all += bytes;
        runScript();
    });
    connect(&m_made->responses(), &ModemResponses::handled, this, [this] { ++handled; });
    // A telephone that waits for ever fails the test instead of hanging it: every wait ends.
    QTimer::singleShot(60000, this, [this] { waiter.abortAll(); });
    return *m_made;
}

void PhoneLine::load() {
    phone().Form_Load();
}

bool PhoneLine::attach() {
    SettingsStore& s = store();
    const QString device = devicePath();
    for (const auto& [key, text] : usualModem(true)) {
        if (!s.contains(key)) {
            s.write(key, text);
        }
    }
    s.setPortDevice(1, device);
    load();
    // The initialisation line is the attach's last, after any questions to the modem.
    if (!waitUntil([this] { return shared.ModemAttached && m_all.endsWith('\r'); }, 10)) {
        return false;
    }
    clearWritten();
    return shared.ModemAttached;
}

void PhoneLine::startCall(bool connected) {
    Phone& p = phone();
    const QString number = connected ? QStringLiteral("5551234") : QString();
    p.face().setText(PhoneFace::Box::NumberOut, number);
    if (connected) {
        when("ATDT" + number.toLatin1() + '\r', [this] { send("\r\nVCON\r\n"); });
    }
    p.calls().cmdSend_Click();
    p.face().setText(PhoneFace::Box::NumberOut, QString());
    clearWritten();
}

bool PhoneLine::setUpCall(bool callActive, bool connected) {
    if (callActive) {
        startCall(connected);
    } else if (connected) {
        reportConnection();
    }
    return shared.CallActive == callActive && phone().state.VoiceConnected == connected;
}

bool PhoneLine::reportConnection() {
    send("\r\nVCON\r\n");
    return waitUntil([this] { return phone().state.VoiceConnected; });
}

bool PhoneLine::ringIn() {
    send("\r\nRING\r\n\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n");
    return waitUntil([this] { return phone().state.IncomingCall; });
}

QByteArray PhoneLine::written() const {
    QByteArray all;
    for (const Write& w : writes) {
        all += w.bytes;
    }
    return all;
}

double PhoneLine::writtenAt(const QByteArray& bytes) const {
    for (const Write& w : writes) {
        if (w.bytes == bytes) {
            return w.at;
        }
    }
    return -1;
}

qsizetype PhoneLine::writeCount(const QByteArray& bytes) const {
    return std::count_if(writes.begin(), writes.end(), [&](const Write& w) { return w.bytes == bytes; });
}

double PhoneLine::send(const QByteArray& bytes) {
    const double now = clock.now();
    if (m_modem) {
        m_modem->feed(bytes);
    } else if (m_pty) {
        m_pty->send(bytes);
    }
    return now;
}

void PhoneLine::when(const QByteArray& line, std::function<void()> action) {
    m_script.append({line, std::move(action), m_all.size()});
    runScript();
}

void PhoneLine::answer(const QByteArray& line, const QByteArray& bytes) {
    when(line, [this, bytes] { send(bytes); });
}

void PhoneLine::letPass(double seconds) {
    waitUntil([] { return false; }, seconds);
}

bool PhoneLine::waitUntil(const std::function<bool()>& done, double seconds) {
    return QTest::qWaitFor(done, static_cast<int>(clock.realMilliseconds(seconds)));
}

void PhoneLine::runScript() {
    for (qsizetype i = 0; i < m_script.size(); ++i) {
        if (m_script[i].done || m_all.indexOf(m_script[i].line, m_script[i].from) < 0) {
            continue;
        }
        m_script[i].done = true;
        // From the event loop, not from inside the write: an action may wait.
        QTimer::singleShot(0, this, m_script[i].action);
    }
}
