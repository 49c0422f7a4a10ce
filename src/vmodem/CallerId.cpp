#include "vmodem/CallerId.h"

#include <QLocale>

namespace {

// Control characters would break the report's line framing, so they never get into it.
QString printable(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f) {
            out.append(c);
        }
    }
    return out.trimmed();
}

// Single-byte parameter types of the multiple data message.
constexpr char dateTimeParameter = 0x01;
constexpr char numberParameter = 0x02;
constexpr char noNumberReasonParameter = 0x04;
constexpr char nameParameter = 0x07;
constexpr char noNameReasonParameter = 0x08;
// One parameter's value must fit its one-byte length, and the whole message its own.
constexpr qsizetype longestValue = 64;

void appendParameter(QByteArray& packet, char type, const QByteArray& value) {
    const QByteArray cut = value.left(longestValue);
    packet.append(type);
    packet.append(static_cast<char>(cut.size()));
    packet.append(cut);
}

} // namespace

CallerId CallerId::number(const QString& number, const QString& name) {
    CallerId id;
    id.m_presentation = Presentation::Number;
    id.m_number = printable(number);
    id.m_name = printable(name);
    return id;
}

CallerId CallerId::withheld() {
    CallerId id;
    id.m_presentation = Presentation::Private;
    return id;
}

CallerId CallerId::outOfArea() {
    CallerId id;
    id.m_presentation = Presentation::OutOfArea;
    return id;
}

QString CallerId::describe() const {
    switch (m_presentation) {
    case Presentation::None:
        return QStringLiteral("no caller ID");
    case Presentation::Private:
        return QStringLiteral("private");
    case Presentation::OutOfArea:
        return QStringLiteral("out of area");
    case Presentation::Number:
        break;
    }
    return m_name.isEmpty() ? m_number : QStringLiteral("%1 (%2)").arg(m_number, m_name);
}

QByteArray CallerId::formattedReport(const QDateTime& when, const QByteArray& eol, const QByteArray& separator) const {
    if (m_presentation == Presentation::None) {
        return {};
    }
    const QLocale c = QLocale::c();
    QByteArray report = eol;
    const auto line = [&](const char* tag, const QByteArray& value) { report += tag + separator + value + eol; };
    line("DATE", c.toString(when, QStringLiteral("MMdd")).toLatin1());
    line("TIME", c.toString(when, QStringLiteral("HHmm")).toLatin1());
    if (m_presentation == Presentation::Number) {
        line("NMBR", m_number.toUtf8());
        if (!m_name.isEmpty()) {
            line("NAME", m_name.toUtf8());
        }
    } else {
        const QByteArray reason = m_presentation == Presentation::Private ? "P" : "O";
        line("NMBR", reason);
        line("NAME", reason);
    }
    return report;
}

QByteArray CallerId::unformattedReport(const QDateTime& when, const QByteArray& eol, const QByteArray& prefix) const {
    if (m_presentation == Presentation::None) {
        return {};
    }
    QByteArray body;
    appendParameter(body, dateTimeParameter, QLocale::c().toString(when, QStringLiteral("MMddHHmm")).toLatin1());
    if (m_presentation == Presentation::Number) {
        appendParameter(body, numberParameter, m_number.toUtf8());
        if (!m_name.isEmpty()) {
            appendParameter(body, nameParameter, m_name.toUtf8());
        }
    } else {
        const QByteArray reason = m_presentation == Presentation::Private ? "P" : "O";
        appendParameter(body, noNumberReasonParameter, reason);
        appendParameter(body, noNameReasonParameter, reason);
    }
    QByteArray packet;
    packet.append(static_cast<char>(0x80));
    packet.append(static_cast<char>(body.size()));
    packet.append(body);
    unsigned sum = 0;
    for (const char byte : packet) {
        sum += static_cast<unsigned char>(byte);
    }
    packet.append(static_cast<char>((0x100 - (sum & 0xff)) & 0xff));
    return eol + prefix + packet.toHex().toUpper() + eol;
}
