#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class frmAbout;
class frmPhone;
class frmSetup;
struct Services;

// The windows the main window opens from its menu: the modem setup dialog and the About window.
// Each is modeless and open at most once; opening it again brings the open one to the front.
// Both are created afresh for each opening and destroyed when they close, or with the main window.
class SideWindows : public QObject {
    Q_OBJECT
public:
    SideWindows(frmPhone& form, Services& services);
    ~SideWindows() override;

    void showSetupDialog();
    void showAboutWindow();

    // The open windows, or null.
    frmSetup* setupDialog() const;
    frmAbout* aboutWindow() const;

    // Puts a window in the middle of the screen the main window is on.
    static void centreOnScreen(QWidget& window, const QWidget* reference = nullptr);

private:
    frmPhone& m_form;
    Services& m_services;
    QPointer<frmSetup> m_setup;
    QPointer<frmAbout> m_about;
};
