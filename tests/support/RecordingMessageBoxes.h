#pragma once

#include "console/MessageBoxes.h"

#include <QList>
#include <QStringList>

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

    // The first line of the text of box `i` (lines break at CR or LF).
    QString firstLine(int i) const;
};
