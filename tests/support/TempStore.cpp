#include "TempStore.h"

#include <QFile>

void TempStore::writeRaw(const QByteArray& text) {
    QFile file(path());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text);
    }
}

QByteArray TempStore::readRaw() const {
    QFile file(path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
