#include "desktop/ModemManagerObjects.h"

#include <QDBusMetaType>

namespace ModemManagerObjects {

void registerTypes() {
    qDBusRegisterMetaType<Port>();
    qDBusRegisterMetaType<Ports>();
    qDBusRegisterMetaType<Interfaces>();
    qDBusRegisterMetaType<ManagedObjects>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const Port& port) {
    argument.beginStructure();
    argument << port.name << port.type;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Port& port) {
    argument.beginStructure();
    argument >> port.name >> port.type;
    argument.endStructure();
    return argument;
}

} // namespace ModemManagerObjects
