#pragma once

#include "console/MessageBoxes.h"

#include <QList>
#include <QStringList>
#include <functional>

// Message boxes for tests: every box is recorded instead of shown, and questions are answered
// from a queue the test fills (Yes, and an empty text, when the queue is empty).
class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Box {
        Icon icon;
        QString title;
        QString text;
    };

    void show(Icon icon, const QString& title, const QString& text) override;
    bool ask(const QString& title, const QString& text) override;
    QString askText(const QString& title, const QString& label, const QString& initial, bool* ok) override;

    QList<Box> boxes;
    QList<bool> answers;
    QStringList textAnswers; // an entry that is a null QString answers Cancel
    // Runs while each box is up, before it is answered: a real box runs the event loop until the
    // user dismisses it, and anything may happen meanwhile.
    std::function<void()> whileOpen;

    // The first line of the text of box `i` (lines break at CR or LF).
    QString firstLine(int i) const;

private:
    void open();
};
