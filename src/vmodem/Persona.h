#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Which real modem the virtual one plays. The Rockwell persona speaks the "#" voice commands;
// the other two are USB modems of today, which know only the V.253 "+V" voice commands and
// answer the way those modems were seen to answer.
struct Persona {
    enum class Id { Rockwell, Cx93001, Usr5637 };

    // One selection of "+VLS": its number and the devices it joins ("T" is the telephone line,
    // "S" a speaker, "M" a microphone).
    struct LineLabel {
        int number = 0;
        QByteArray devices;

        bool holdsLine() const { return devices.contains('T'); }
    };

    Id id = Id::Rockwell;
    QString name;  // on the command line and in the log: "cx93001"
    QString title; // for people
    bool v253 = false;
    QByteArray identity;     // ATI0
    QByteArray firmware;     // ATI3
    QByteArray manufacturer; // +GMI
    QByteArray capabilities; // +GCAP
    QByteArray classes;      // +FCLASS=?
    QList<LineLabel> lineLabels;
    QByteArray callerIdSeparator; // between a formatted caller-ID tag and its value
    QByteArray unformattedPrefix; // before the hex of an unformatted caller-ID report
    bool callerIdSurvivesReset = false;
    bool microphoneGain = false;        // +VGM
    bool speakerphoneSwitch = false;    // +VSP
    bool classReadUnterminated = false; // "+FCLASS?" ends its line with the OK's line end

    static const Persona& of(Id id);
    // Every persona, in the order of Id.
    static const std::array<Persona, 3>& all();
    static std::optional<Id> named(const QString& name);
    static QStringList names();

    // The commands that differ only by their prefix: the service class and caller ID.
    QString classCommand() const { return v253 ? QStringLiteral("+FCLASS") : QStringLiteral("#CLS"); }
    QString callerIdCommand() const { return v253 ? QStringLiteral("+VCID") : QStringLiteral("#CID"); }

    const LineLabel* label(int number) const;
    // The first selection that takes the line alone, used when a dial takes the line itself.
    int lineOnlyLabel() const;
    // "+VLS=?": one line per selection.
    QByteArray lineLabelList(const QByteArray& eol) const;
};
