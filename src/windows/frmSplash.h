#pragma once

// The splash window: product name, version and the operating system, for about five seconds at
// start, beside the main window (which does not wait for it). A click on its frame ends it early.
// It changes no shared state and leaves the main window to its own load.

#include <QFrame>
#include <QPixmap>

class Clock;
class QLabel;
class QTimer;

class frmSplash : public QFrame {
    Q_OBJECT
public:
    static constexpr int DesignClientWidth = 7380;
    static constexpr int DesignClientHeight = 4245;
    static inline const QString DesignPlatformText = QStringLiteral("Windows95/NT");

    // `logo` is a picture of the telephone (the main window in its narrow form).
    frmSplash(const Clock& clock, const QPixmap& logo, QWidget* parent = nullptr);

    // Shows the window, fills its labels and starts its time; `timeOfDay` in seconds since
    // midnight decides how long it stays.
    void Form_Load(double timeOfDay);
    // The time of day now.
    static double timeOfDay();
    // The telephone as it shows in its narrow form, for the splash's picture.
    static QPixmap telephonePicture(QWidget& phone);
    void Frame1_Click();

signals:
    // The splash has gone, by its time or by a click.
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Controls, by their design names.
    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblCompany = nullptr;

    void buildFace(const QPixmap& logo);
    void unload();

    const Clock& m_clock;
    QTimer* m_timer = nullptr;
    bool m_unloaded = false;
};
