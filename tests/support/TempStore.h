#pragma once

#include "console/SettingsStore.h"

#include <QTemporaryDir>

// A settings store in a temporary folder of its own, removed with the object.
class TempStore {
public:
    TempStore()
        : m_store(m_dir.path() + QStringLiteral("/Vantrel.conf")) {}

    SettingsStore& store() { return m_store; }
    const SettingsStore& store() const { return m_store; }
    QString path() const { return m_store.filePath(); }
    QString folder() const { return m_dir.path(); }

    // Writes raw text into the file, as a hand edit would.
    void writeRaw(const QByteArray& text);
    QByteArray readRaw() const;

private:
    QTemporaryDir m_dir;
    SettingsStore m_store;
};
