#pragma once

#include <QMap>
#include <QString>
#include <optional>

// What the telephone knows of the attached modem's voice commands: which set it takes and, for
// the V.253 set, what the modem listed when asked (its line selections and level ranges). The
// probe of an attach fills it from the modem's answers; a set the user chose fills only `set`.
struct ModemVoice {
    enum class Set { Rockwell, V253 };

    struct Range {
        int low = 0;
        int high = 255;
        friend bool operator==(const Range&, const Range&) = default;
    };

    Set set = Set::Rockwell;
    bool v253() const { return set == Set::V253; }
    // Found by a probe at the latest attach, rather than taken from the user's choice.
    bool detected = false;
    // What the modem says it is (ATI3, +GMI): shown to the user, never acted on.
    QString identity;
    // +VLS=?: each line selection's number and label ("T", "MST", "M1S1T", ...).
    QMap<int, QString> selections;
    // +VGS=? and +VGM=?; a modem that has no +VGM has no microphone gain.
    Range speaker;
    std::optional<Range> microphone = Range{};

    // The selection with microphone, speaker and line together: the modem's own speakerphone.
    std::optional<int> speakerphone() const;
    // The line alone (the modem off hook, nothing else).
    std::optional<int> lineOnly() const;
    // Speaker and line without the microphone.
    std::optional<int> speakerAndLine() const;

    // For the setup dialog: "V.253, found: CX93001-EIS_V0.2013-V92 CONEXANT".
    QString describe() const;

    // The answers of the probe. "+VLS=?": one line per selection, `<n>,"<label>",...`.
    static QMap<int, QString> selectionsIn(const QString& answer);
    // "+VGS=?" and the like: "(0-255)"; none when the answer holds no range.
    static std::optional<Range> rangeIn(const QString& answer);
};
