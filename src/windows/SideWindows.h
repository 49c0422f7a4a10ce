#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class frmAbout;
class frmCalls;
class frmSetup;
struct Services;

// The windows the main window opens from its menu: the modem setup dialog, the Calls window and the
// About window. Each is modeless and open at most once; opening it again brings the open one to the front.
// Each is created afresh for each opening and destroyed when they close, or with the main window.
//
// A handler of a side window may wait (a message box, a timed wait) while other events run, and the
// window may close during that wait. It is destroyed only once no such wait is running, so that
// the handler returns into a window that still exists; until then it is only hidden.
class SideWindows : public QObject {
    Q_OBJECT
public:
    // `mainWindow` is the window whose menu opens them.
    SideWindows(QWidget& mainWindow, Services& services, QObject* parent = nullptr);
    ~SideWindows() override;

    void showSetupDialog();
    void showAboutWindow();
    // Only with a call history (Services::history).
    void showCallsWindow();

    // The open windows, or null.
    frmSetup* setupDialog() const;
    frmAbout* aboutWindow() const;
    frmCalls* callsWindow() const;

    // Puts a window in the middle of the screen the main window is on. A Wayland compositor places
    // windows itself and ignores this: nothing may depend on where a window lands.
    static void centreOnScreen(QWidget& window, const QWidget* reference = nullptr);

signals:
    // What the Calls window asks of the telephone.
    void callBackRequested(const QString& number);
    void addToPhoneBookRequested(const QString& name, const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Brings the open `window` forward, or makes one with `make` (null: none can be made now),
    // destroyed when it closes and centred over the main window.
    template <typename W> void showOnce(QPointer<W>& window, const std::function<W*()>& make);
    // Sets `window` to be destroyed when it closes, once that is safe.
    void deleteOnClose(QWidget& window);
    // True while a wait or a modal box runs inside some handler.
    bool waiting() const;
    void deleteClosedWindows();

    QWidget& m_mainWindow;
    Services& m_services;
    QPointer<frmSetup> m_setup;
    QPointer<frmAbout> m_about;
    QPointer<frmCalls> m_calls;
    // Closed while a wait was running; destroyed once none is.
    QList<QPointer<QWidget>> m_closed;
    QMetaObject::Connection m_idleCheck;
};
