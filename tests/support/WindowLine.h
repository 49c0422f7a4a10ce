#pragma once

#include "PhoneLine.h"

#include <QWidget>
#include <Qt>
#include <memory>

class frmPhone;

// The control named `name` ("cmdOK", ...) among the children of `window`, or null.
template <typename T> T* child(const QObject* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
}

// PhoneLine with the real main window as the telephone's view, for tests of the window itself:
// that it shows what the telephone holds and hands each control's action to its handler. The
// window's controls are found by their design names.
class WindowLine : public PhoneLine {
    Q_OBJECT
public:
    explicit WindowLine(Line line = Line::Scripted, double speedup = 20);
    ~WindowLine() override;

    frmPhone& window();
    // The same, as a widget.
    QWidget& widget();

    // The window's control named `name` ("cmdSend", "picInuse_1", ...), or null.
    template <typename T = QWidget> T* control(const QString& name) { return widget().findChild<T*>(name); }

    // Shows the window and makes it active, so that keys typed at it arrive as a user's would.
    bool activate();
    // Types one key at the window, into the control that has the focus.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(char character);

protected:
    Phone& create(std::unique_ptr<SerialTransport> transport) override;

private:
    QWidget* focused();

    std::unique_ptr<frmPhone> m_window;
};
