#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// What ModemManager's object manager answers (GetManagedObjects, a{oa{sa{sv}}}), as Qt D-Bus
// reads it; a modem's "Ports" property is a list of (name, type).
namespace ModemManagerObjects {

struct Port {
    QString name;
    uint type = 0; // 3: an AT command port
};
using Ports = QList<Port>;
using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

// Makes the types above known to Qt D-Bus; once is enough, more do no harm.
void registerTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const Port& port);
const QDBusArgument& operator>>(const QDBusArgument& argument, Port& port);

} // namespace ModemManagerObjects

Q_DECLARE_METATYPE(ModemManagerObjects::Port)
Q_DECLARE_METATYPE(ModemManagerObjects::Interfaces)
Q_DECLARE_METATYPE(ModemManagerObjects::ManagedObjects)
