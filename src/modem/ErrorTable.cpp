#include "modem/ErrorTable.h"

ErrorAction errorActionFor(int number) {
    const QString end = QStringLiteral("E");
    switch (number) {
    case ErrorNumber::InvalidPort:
        return {true, false, false, end};
    case ErrorNumber::PortAlreadyOpen:
        return {true, true, true, end};
    case ErrorNumber::PortNotOpen:
        return {false, false, false, end};
    case ErrorNumber::NoModem:
        return {true, false, true, end};
    default:
        return {};
    }
}

QString errorMessageText(const SerialError& error) {
    return QString::number(error.number) + QLatin1Char('\r') + error.description;
}
