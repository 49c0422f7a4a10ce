#include "WindowLine.h"

#include "console/Phone.h"
#include "console/frmPhone.h"

#include <QApplication>
#include <QTest>

WindowLine::WindowLine(Line line, double speedup)
    : PhoneLine(line, speedup) {}

WindowLine::~WindowLine() = default;

Phone& WindowLine::create(std::unique_ptr<SerialTransport> transport) {
    m_window = std::make_unique<frmPhone>(services, std::move(transport));
    return m_window->phone();
}

frmPhone& WindowLine::window() {
    phone();
    return *m_window;
}

QWidget& WindowLine::widget() {
    return window();
}

bool WindowLine::activate() {
    window().show();
    window().activateWindow();
    return QTest::qWaitForWindowActive(&window());
}

QWidget* WindowLine::focused() {
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget : &window();
}

// Press and release each go to whatever has the focus at that moment, as they do from a real
// keyboard: the window moves the focus between the two.
void WindowLine::type(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyPress(focused(), key, modifiers);
    QTest::keyRelease(focused(), key, modifiers);
}

void WindowLine::type(char character) {
    QTest::keyPress(focused(), character);
    QTest::keyRelease(focused(), character);
}
