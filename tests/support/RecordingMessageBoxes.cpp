#include "RecordingMessageBoxes.h"

#include <QRegularExpression>

void RecordingMessageBoxes::show(Icon icon, const QString& title, const QString& text) {
    boxes.append({icon, title, text});
    open();
}

bool RecordingMessageBoxes::ask(const QString& title, const QString& text) {
    boxes.append({Icon::Question, title, text});
    open();
    return answers.isEmpty() ? true : answers.takeFirst();
}

QString RecordingMessageBoxes::askText(const QString& title, const QString& label, const QString& initial, bool* ok) {
    boxes.append({Icon::Question, title, label});
    open();
    QString answer = textAnswers.isEmpty() ? initial : textAnswers.takeFirst();
    if (ok) {
        *ok = !answer.isNull();
    }
    return answer;
}

void RecordingMessageBoxes::open() {
    if (whileOpen) {
        whileOpen();
    }
}

QString RecordingMessageBoxes::firstLine(int i) const {
    if (i < 0 || i >= boxes.size()) {
        return QString();
    }
    return boxes.at(i).text.split(QRegularExpression(QStringLiteral("[\r\n]"))).value(0);
}
