#pragma once

#include "AttachedPhone.h"

#include <QObject>
#include <QTest>
#include <memory>

// A test class whose every test function (and every data row) starts with a window of its own,
// freshly attached to its own pseudo-terminal.
class AttachedPhoneTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_attached = std::make_unique<AttachedPhone>();
        QVERIFY(m_attached->ready());
    }
    void cleanup() { m_attached.reset(); }

protected:
    AttachedPhone& attached() { return *m_attached; }

private:
    std::unique_ptr<AttachedPhone> m_attached;
};
