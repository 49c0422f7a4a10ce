#include "modem/ModemProbe.h"

#include "modem/ModemText.h"
#include "modem/SerialControl.h"
#include "modem/Waiter.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QStringList FinalCodes{QStringLiteral("OK"), QStringLiteral("ERROR")};

QStringList lines(const QString& text) {
    QStringList result;
    for (const QString& line : QString(text).replace(QLatin1Char('\n'), QLatin1Char('\r')).split(QLatin1Char('\r'))) {
        if (const QString trimmed = line.trimmed(); !trimmed.isEmpty()) {
            result << trimmed;
        }
    }
    return result;
}

} // namespace

ModemProbe::ModemProbe(SerialControl& port, Waiter& waiter)
    : m_port(port)
    , m_waiter(waiter) {}

std::optional<ModemProbe::Answer> ModemProbe::ask(const QString& command) {
    if (m_gone || m_port.setInBufferCount(0) || m_port.output((command + QLatin1Char('\r')).toLatin1())) {
        m_gone = true;
        return std::nullopt;
    }
    QString received;
    std::optional<Answer> answer;
    const auto answered = [&] {
        if (!m_port.portOpen()) {
            return true;
        }
        received += ModemText::decode(m_port.input());
        const QStringList said = lines(received);
        for (const QString& line : said) {
            if (FinalCodes.contains(line)) {
                answer = Answer{received, line == FinalCodes.first()};
                return true;
            }
        }
        return false;
    };
    const Waiter::Result result = m_waiter.waitUntil(answered, AnswerSeconds);
    if (result == Waiter::Result::Aborted || !m_port.portOpen()) {
        m_gone = true;
        return std::nullopt;
    }
    return answer;
}

QString ModemProbe::information(const QString& answer) {
    QStringList kept;
    for (const QString& line : lines(answer)) {
        if (!line.startsWith(QLatin1String("AT"), Qt::CaseInsensitive) && !FinalCodes.contains(line)) {
            kept << line;
        }
    }
    return kept.join(QLatin1Char('\n'));
}

bool ModemProbe::listsClass8(const QString& answer) {
    static const QRegularExpression item(QStringLiteral(R"((?:^|[,(\s])8(?:$|[,)\s]))"));
    return item.match(information(answer)).hasMatch();
}

ModemProbe::Outcome ModemProbe::detect(ModemVoice* voice) {
    *voice = ModemVoice{};
    voice->detected = true;
    const auto classes = ask(QStringLiteral("AT+FCLASS=?"));
    if (!classes) {
        return m_gone ? Outcome::Gone : Outcome::Silent;
    }
    // The V.253 set first; the Rockwell one only from a modem that does not take that.
    const auto inV253 = [&] {
        voice->set = ModemVoice::Set::V253;
        readV253(voice);
    };
    const auto inRockwell = [&] { voice->set = ModemVoice::Set::Rockwell; };
    const bool found = inVoiceClass(QStringLiteral("AT+FCLASS"), classes, inV253) ||
                       inVoiceClass(QStringLiteral("AT#CLS"), ask(QStringLiteral("AT#CLS=?")), inRockwell);
    const Outcome outcome = found ? Outcome::Found : Outcome::NoVoice;
    QStringList identity;
    static const QRegularExpression echoedName(QStringLiteral(R"(^\+[A-Z]+:\s*)"));
    for (const QString& command : {QStringLiteral("ATI3"), QStringLiteral("AT+GMI")}) {
        if (const auto said = ask(command); said && said->ok) {
            // "+GMI: CONEXANT" names the command before its answer.
            identity << information(said->text).simplified().remove(echoedName);
        }
    }
    identity.removeAll(QString());
    voice->identity = identity.join(QLatin1Char(' ')).left(80);
    return m_gone ? Outcome::Gone : outcome;
}

ModemProbe::Outcome ModemProbe::listV253(ModemVoice* voice) {
    *voice = ModemVoice{};
    voice->set = ModemVoice::Set::V253;
    // The voice class first: the modem lists its selections there. Silence means no modem.
    if (!ask(QStringLiteral("AT+FCLASS=8"))) {
        return m_gone ? Outcome::Gone : Outcome::Silent;
    }
    readV253(voice);
    ask(QStringLiteral("AT+FCLASS=0"));
    return m_gone ? Outcome::Gone : Outcome::Found;
}

bool ModemProbe::inVoiceClass(const QString& command, const std::optional<Answer>& listing,
                              const std::function<void()>& meanwhile) {
    if (!listing || !listing->ok || !listsClass8(listing->text)) {
        return false;
    }
    if (const auto entered = ask(command + QStringLiteral("=8")); !entered || !entered->ok) {
        return false;
    }
    meanwhile();
    ask(command + QStringLiteral("=0"));
    return true;
}

void ModemProbe::readV253(ModemVoice* voice) {
    // A modem that has answered already and stays silent here just lists nothing.
    if (const auto selections = ask(QStringLiteral("AT+VLS=?")); selections && selections->ok) {
        voice->selections = ModemVoice::selectionsIn(selections->text);
    }
    if (const auto speaker = ask(QStringLiteral("AT+VGS=?")); speaker && speaker->ok) {
        voice->speaker = ModemVoice::rangeIn(speaker->text).value_or(voice->speaker);
    }
    const auto microphone = ask(QStringLiteral("AT+VGM=?"));
    voice->microphone = microphone && microphone->ok ? ModemVoice::rangeIn(microphone->text) : std::nullopt;
}
