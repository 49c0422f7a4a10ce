#include "console/Application.h"

#include "Version.h"
#include "call/NumberEntry.h"
#include "console/Phone.h"
#include "console/frmPhone.h"
#include "desktop/CallerNotifier.h"
#include "desktop/ModemManagerAdvice.h"
#include "history/CallHistory.h"
#include "platform/ClassicStyle.h"
#include "platform/Fonts.h"
#include "platform/Resources.h"
#include "platform/UnixSignals.h"
#include "windows/SideWindows.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <utility>

Application::Application()
    : m_waiter(m_clock)
    , m_services{m_settings, m_shared, m_clock, m_waiter, m_messages}
    , m_modemManager(std::make_unique<ModemManagerAdvice>(m_waiter)) {
    m_settings.reportWriteFailuresTo(m_messages);
    m_services.heldDeviceAdvice = m_modemManager.get();
}

Application::~Application() = default;

namespace {

// Tells of the window's first close event, before the window's own handler starts the unload.
class CloseWatch : public QObject {
public:
    CloseWatch(QObject* watched, std::function<void()> action)
        : QObject(watched)
        , m_action(std::move(action)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && m_action) {
            std::exchange(m_action, nullptr)();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

} // namespace

void Application::handOver(const QStringList& links, const Activation& activation) {
    if (!m_loaded) {
        m_handedOver = true;
        m_pendingLinks += links;
        m_pendingActivation = activation;
        return;
    }
    raiseWindow(activation);
    enterLinks(links);
}

void Application::whileLoading() {
    // A telephone that is closing already opens nothing more.
    if (m_phone->phone().state.Unloading || m_waiter.aborting()) {
        return;
    }
    // Reading the icon's SVG loads Qt's SVG support, a few milliseconds that the load need not wait
    // for; windows already open take the icon up now.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/brisvane/telephone.svg")));
    m_splash = new frmSplash(m_clock, frmSplash::telephonePicture(*m_phone));
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    SideWindows::centreOnScreen(*m_splash);
    m_splash->Form_Load(frmSplash::timeOfDay());
    // What the load opened before this (the setup dialog of a first start, a message box) stays
    // in front of the splash.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != m_splash && window->isVisible()) {
            window->raise();
        }
    }
    // The main window's own window is made now, still hidden, so that showing it after the wait
    // only puts it on the screen.
    m_phone->winId();
}

void Application::raiseWindow(const Activation& activation) {
    // A Wayland compositor brings a window forward only with a token it handed out for that: Qt's
    // Wayland plugin takes it from the environment as the window asks. On X11 a startup id goes
    // unused: Qt's X11 plugin takes one only as it connects, and the window asks as it always did.
    activation.offerToWindow();
    m_phone->bringToFront();
    // Left there by a compositor that does not activate, it would pass to a program started later.
    Activation::clearEnvironment();
}

void Application::openHistory() {
    m_history = std::make_unique<CallHistory>();
    if (m_history->open()) {
        m_services.history = m_history.get();
        m_historyProblem = m_history->setAsideMessage();
    } else {
        m_historyProblem = m_history->problem();
    }
    QObject::connect(m_history.get(), &CallHistory::problemFound, m_history.get(),
                     [this](const QString& problem) { tellLater(problem); });
}

void Application::tellLater(const QString& text) {
    // From the event loop, not inside the handler that found it: the telephone works on meanwhile.
    QTimer::singleShot(0, m_phone.get(),
                       [this, text] { m_messages.show(MessageBoxes::Icon::Warning, ApplicationTitle, text); });
}

void Application::enterLinks(const QStringList& links) {
    for (const QString& link : links) {
        m_phone->phone().numberEntry().enterLink(link);
    }
}

int Application::run(const QStringList& links) {
    initResources();
    QApplication::setApplicationName(QStringLiteral("Brisvane"));
    QApplication::setApplicationVersion(QLatin1String(brisvane::version::text));
    // Before any window is made: a Wayland window takes it as its app id once, when it is made.
    QGuiApplication::setDesktopFileName(QLatin1String(brisvane::desktopEntry));
    if (QStyle* style = ClassicStyle::create()) {
        QApplication::setStyle(style);
    }
    Fonts::registerSubstitutes();
    QApplication::setQuitOnLastWindowClosed(false);

    openHistory();
    m_phone = std::make_unique<frmPhone>(m_services);
    // A caller is told on the desktop while the user works in another window.
    m_notifier = std::make_unique<CallerNotifier>(m_phone->phone(), [this] { return m_phone->isActiveWindow(); });
    QObject::connect(m_notifier.get(), &CallerNotifier::windowWanted, m_phone.get(), [this](const QString& token) {
        raiseWindow({token, {}});
    });
    // Quitting does nothing before the event loop runs, so an end that comes during the load is
    // remembered, and the event loop is then never entered.
    bool ended = false;
    QObject::connect(m_phone.get(), &frmPhone::closed, qApp, [&ended] {
        ended = true;
        QApplication::closeAllWindows();
        QApplication::quit();
    });

    // A termination signal closes the window as the user would; a second one ends at once.
    UnixSignals unixSignals;
    int received = 0;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, qApp, [&](int) {
        if (++received == 1) {
            m_phone->close();
        } else {
            // Ends every event loop, a modal box's too, also before the main loop has started.
            ended = true;
            m_waiter.abortAll();
            QApplication::exit(0);
        }
    });

    // The splash opens beside the main window once the load waits its second, so that drawing it
    // does not hold up the load; neither waits for the other.
    QTimer::singleShot(0, m_phone.get(), [this] { whileLoading(); });

    if (m_onClosing) {
        new CloseWatch(m_phone.get(), m_onClosing);
    }

    m_phone->Form_Load();
    // The load has shown the window; what came for it meanwhile is done now.
    if (!ended && !m_waiter.aborting()) {
        m_loaded = true;
        if (std::exchange(m_handedOver, false)) {
            raiseWindow(std::exchange(m_pendingActivation, {}));
        }
        enterLinks(links + std::exchange(m_pendingLinks, {}));
        if (!m_historyProblem.isEmpty()) {
            tellLater(std::exchange(m_historyProblem, {}));
        }
    }
    const int result = ended || m_waiter.aborting() ? 0 : QApplication::exec();
    delete m_splash.data();
    return result;
}
