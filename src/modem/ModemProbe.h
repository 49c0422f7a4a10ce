#pragma once

#include "modem/ModemVoice.h"

#include <QString>
#include <functional>
#include <optional>

class SerialControl;
class Waiter;

// Asks a freshly opened modem which voice command set it takes, by what it can do rather than by
// what it says it is: "+FCLASS=?" listing class 8 and "+FCLASS=8" answered with OK is the V.253
// set, else "#CLS=?" listing 8 and "#CLS=8" answered with OK is the Rockwell set; then back to
// class 0. For the V.253 set it also reads the line selections (+VLS=?) and the level ranges
// (+VGS=?, +VGM=?). The identification (ATI3, +GMI) is kept to show the user, never decided on.
//
// This is the one place where the telephone reads the answers to its own commands: each command
// waits, letting events run, for its final result code. The receive handling leaves the line to
// the probe meanwhile (PhoneState::Probing), so none of this reaches the display.
class ModemProbe {
public:
    enum class Outcome {
        Found,   // `voice` holds what the modem takes
        NoVoice, // the modem answers but takes neither voice command set
        Silent,  // nothing answered within the time limit: no modem behind the port
        Gone,    // the port closed, or the program is ending
    };
    // How long a command waits for its answer.
    static constexpr double AnswerSeconds = 2;

    ModemProbe(SerialControl& port, Waiter& waiter);

    // Which set the modem takes, and what it lists for it.
    Outcome detect(ModemVoice* voice);
    // The V.253 set chosen by the user: only what the modem lists for it.
    Outcome listV253(ModemVoice* voice);

private:
    // The answer's information lines (not the echo, not the result code), one after another.
    static QString information(const QString& answer);
    // Whether a "+FCLASS=?" or "#CLS=?" answer lists class 8.
    static bool listsClass8(const QString& answer);

    struct Answer {
        QString text;
        bool ok = false;
    };
    // Writes `command` and waits for its final result code; none when nothing came in time.
    std::optional<Answer> ask(const QString& command);
    // Reads the V.253 line selections and gain ranges (the modem in class 8).
    void readV253(ModemVoice* voice);
    // Whether `listing` (the answer to `command` "=?") lists class 8 and the modem takes it; while
    // it is in the class, `meanwhile` runs, and then the class goes back to 0.
    bool inVoiceClass(const QString& command, const std::optional<Answer>& listing,
                      const std::function<void()>& meanwhile);

    SerialControl& m_port;
    Waiter& m_waiter;
    bool m_gone = false;
};
