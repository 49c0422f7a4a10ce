#pragma once

// The window toolkit's pieces that the program's windows are drawn with: 3-D command buttons,
// panels with a caption, two-state ribbon buttons, sliders that tell a user's click from a value
// set by code, the borderless display boxes, and indicator lamps.

#include <QColor>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

// A push button whose caption has its own colour and font.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);
    void setCaptionColor(const QColor& color);
    QColor captionColor() const;
    // A button whose state is on (Hold, Mute, Handset) shows its caption red; off, black.
    void showLatched(bool on);
};

// A bevelled panel that may show a caption and holds other controls. A screen reader names it
// by its caption, since the caption is only painted.
class Panel3D : public QFrame {
    Q_OBJECT
public:
    explicit Panel3D(QWidget* parent = nullptr, const QString& caption = QString());
    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};

// A latching button: it stays down when clicked and reports its index and new state.
class RibbonButton : public QPushButton {
    Q_OBJECT
public:
    RibbonButton(int index, QWidget* parent = nullptr);
    int index() const { return m_index; }

signals:
    // Raised by a click (user or code), with the button's new state.
    void ribbonClicked(int index, bool value);

private:
    int m_index;
};

// A horizontal slider. `valueChanged` follows every change, whoever made it; `clicked` is raised
// once for each thing the user does to it (a click or a drag, ended when the button is released; a
// turn of the mouse wheel; a key that moves it), never when code sets its value.
class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool m_userAction = false;
};

// A read-only, borderless, one-line text box with its own text and background colours. Text is
// always shown as plain text.
class DisplayBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DisplayBox(QWidget* parent = nullptr);
    void setTextColor(const QColor& color);
    QColor textColor() const;
    void setBackgroundColor(const QColor& color);
};

// One picture of an indicator lamp: a dark or a lit circular lamp in the given colour. A screen
// reader sees it as a picture; what the lamp means and its state are its accessible name and
// description, which the window that shows the lamp sets.
class Lamp : public QWidget {
    Q_OBJECT
public:
    Lamp(bool lit, const QColor& litColor, QWidget* parent = nullptr);
    bool isLit() const { return m_lit; }
    QColor litColor() const { return m_litColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_lit;
    QColor m_litColor;
};
