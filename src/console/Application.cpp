#include "console/Application.h"

#include "Version.h"
#include "console/frmPhone.h"
#include "platform/Fonts.h"
#include "platform/Resources.h"
#include "platform/UnixSignals.h"
#include "windows/SideWindows.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QStyleFactory>

Application::Application()
    : m_waiter(m_clock)
    , m_services{m_settings, m_shared, m_clock, m_waiter, m_messages} {
    m_settings.reportWriteFailuresTo(m_messages);
}

Application::~Application() = default;

int Application::run() {
    initResources();
    QApplication::setApplicationName(QStringLiteral("Brisvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(brisvane::version::major)
                                            .arg(brisvane::version::minor)
                                            .arg(brisvane::version::revision));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/brisvane/telephone.svg")));
    // The classic bevelled look of the telephone's buttons and panels.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(style);
    }
    Fonts::registerSubstitutes();
    QApplication::setQuitOnLastWindowClosed(false);

    m_phone = std::make_unique<frmPhone>(m_services);
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

    // The splash stands beside the main window for its few seconds; the load does not wait for it.
    QPointer<frmSplash> splash = new frmSplash(m_clock, frmSplash::telephonePicture(*m_phone));
    splash->setAttribute(Qt::WA_DeleteOnClose);
    SideWindows::centreOnScreen(*splash);
    splash->Form_Load(frmSplash::timeOfDay());

    m_phone->Form_Load();
    const int result = ended || m_waiter.aborting() ? 0 : QApplication::exec();
    delete splash.data();
    return result;
}
