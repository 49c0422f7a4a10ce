#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the exchange tells about a caller between the first and the second ring, and the two
// ways a modem reports it: formatted ("#CID=1", tag = value lines) and unformatted ("#CID=2",
// the whole multiple-data-message packet as hex).
class CallerId {
public:
    enum class Presentation { None, Number, Private, OutOfArea };

    CallerId() = default; // a call without caller identification
    static CallerId number(const QString& number, const QString& name = {});
    static CallerId withheld();
    static CallerId outOfArea();

    Presentation presentation() const { return m_presentation; }
    QString number() const { return m_number; }
    QString name() const { return m_name; }

    // For people: "5551234 (Ann Smith)", "private", "out of area", "no caller ID".
    QString describe() const;

    // "<eol>DATE = MMDD<eol>TIME = HHMM<eol>NMBR = ...<eol>[NAME = ...<eol>]", every line ended by
    // `eol` (CR LF normally), with `separator` between tag and value (some modems write "DATE=").
    // Private and out-of-area calls give "P" or "O" as number and name. Empty for a call without
    // caller identification.
    QByteArray formattedReport(const QDateTime& when, const QByteArray& eol, const QByteArray& separator = " = ") const;
    // "<eol><prefix><hex digits of the packet><eol>", without the leading channel seizure and marks.
    QByteArray unformattedReport(const QDateTime& when, const QByteArray& eol, const QByteArray& prefix = {}) const;

private:
    Presentation m_presentation = Presentation::None;
    QString m_number;
    QString m_name;
};
