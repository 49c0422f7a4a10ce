#pragma once

#include "vmodem/AtCommand.h"
#include "vmodem/AtLineAssembler.h"
#include "vmodem/CallerId.h"
#include "vmodem/ModemConfig.h"
#include "vmodem/ModemStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

// A voice modem and the telephone line behind it. The host's bytes go in through receive();
// everything the modem says comes out through transmitted(). The far end of the line is worked
// through ring(), farEndAnswers() and their kin.
//
// On the host's side it behaves as such modems do: echo (E), result codes framed by S3 and S4
// (CR LF), commands chained on one line and run left to right until one fails, ERROR for what it
// does not know, and any byte from the host abandoning a call that is still being set up.
//
// Its persona decides the voice commands. The Rockwell one: in service class 8 (#CLS=8) a call
// that is answered or that the far end picks up enters online voice command mode with VCON; only
// there do #VTS and, with the speakerphone selected, #SPK work. The V.253 ones: in +FCLASS=8 a
// "+VLS" selection holding the line takes it off hook (answering a ringing call), a call is up
// with OK, and +VTS plays tones while the line is off hook; "#" commands are unknown to them.
//
// What a real modem would hear on the line comes from the far-end calls: RING every ring
// interval with caller identification between the first and the second ring, BUSY, NO ANSWER,
// and, when the far end hangs up during a call, the busy-tone event <DLE>b every few seconds
// until the host hangs up.
class VirtualModem : public QObject {
    Q_OBJECT
public:
    explicit VirtualModem(const ModemConfig& config = {}, QObject* parent = nullptr);

    // Bytes from the host, in any chunking.
    void receive(const QByteArray& bytes);

    // The line's side. Each returns false and says why when the line is in no state for it.
    bool ring(const CallerId& caller, QString* why = nullptr);
    bool stopRinging(QString* why = nullptr);
    bool farEndAnswers(QString* why = nullptr);
    bool farEndBusy(QString* why = nullptr);
    bool farEndDoesNotAnswer(QString* why = nullptr);
    bool farEndHangsUp(QString* why = nullptr);

    // Bytes to the host exactly as given, whatever the modem is doing.
    void sendRaw(const QByteArray& bytes);

    // How the far end of the next outgoing call behaves (a negative time: only when told).
    void setFarEnd(ModemConfig::FarEnd farEnd, int answerAfterMs);
    // The clock that dates caller identification.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    // Another modem on the line, fresh from the box: every call and setting is dropped.
    void setPersona(Persona::Id id);

    const ModemConfig& config() const { return m_config; }
    const Persona& persona() const { return Persona::of(m_config.persona); }
    ModemStatus status() const;

signals:
    void transmitted(const QByteArray& bytes);
    // What happened, in words, for the traffic log.
    void noted(const QString& text);
    void statusChanged();

private:
    enum class Outcome { Done, Failed, Playing, Detached };
    enum class FarEndAction { None, Answer, Busy, NoAnswer };

    // Settings that ATZ and AT&F restore.
    struct Profile {
        Profile();
        bool echo = true;
        bool quiet = false;
        int serviceClass = 0;
        int lineSelect = 0;
        int callerId = 0;
        int beepTenths = 10;
        int ringbackNeverCame = 100;
        int ringbackGoneAway = 70;
        int microphone = 1;
        int speakerAttenuation = 5;
        int microphoneGain = 1;
        bool classPointZero = false; // +FCLASS=1.0 rather than 1
        int speakerLevel = 128;      // +VGS
        int microphoneLevel = 128;   // +VGM
        int speakerphoneOn = 0;      // +VSP
        std::array<int, 256> registers{};
    };

    void runLine(const QByteArray& body, bool overflowed);
    void continueLine();
    void finishLine(const QByteArray& resultCode);
    Outcome execute(const AtCommand& command);
    Outcome rockwellCommand(const AtCommand& command);
    Outcome v253Command(const AtCommand& command);
    Outcome basicCommand(const AtCommand& command);
    Outcome registerCommand(const AtCommand& command);
    Outcome parameter(const AtCommand& command, int value, const QByteArray& range,
                      const std::function<bool(int)>& valid, const std::function<Outcome(int)>& apply);
    static std::function<bool(int)> between(int low, int high);
    static std::function<Outcome(int)> store(int& field);
    Outcome serviceClass(int value);
    Outcome v253ServiceClass(const AtCommand& command);
    Outcome lineSelect(int device);
    Outcome v253LineSelect(int label);
    Outcome speakerphone(const AtCommand& command);
    Outcome tones(const AtCommand& command);
    Outcome v253Tones(const AtCommand& command);
    Outcome playTones(const QByteArray& argument, int beep, int flash, int unitMs);
    Outcome answer();
    Outcome dial(const QByteArray& dialString);
    Outcome hangUp();

    void dialled();
    bool farEndDecides(FarEndAction action, QString* why);
    void decideFarEnd(FarEndAction action);
    void pickUp();
    void holdLine();
    void enterVoice();
    void connectVoice(const QString& what);
    void failCall(const QByteArray& resultCode, const QString& what);
    void abortCallProgress(char byte);
    void goOnHook();
    void ringOnce();
    void ringTick();
    void sendCallerId();
    void endRinging(const QString& what);

    Profile defaultProfile() const;
    bool inCallProgress() const;
    int speakerphoneSelection() const { return m_config.speakerphoneVls6 ? 6 : 5; }
    char endOfLine() const { return static_cast<char>(m_profile.registers[3]); }
    QByteArray eol() const;
    void resultCode(const QByteArray& code);
    void informationText(const QByteArray& text);
    void emitToHost(const QByteArray& bytes);
    void flushEcho();
    void note(const QString& text);
    void setPhase(CallPhase phase);
    bool refuse(QString* why, const QString& reason);

    ModemConfig m_config;
    Profile m_profile;
    AtLineAssembler m_assembler;
    std::function<QDateTime()> m_now;

    // The command line being run.
    QList<AtCommand> m_pending;
    QByteArray m_finalCode;
    QByteArray m_lastLine;
    bool m_executing = false;
    QByteArray m_queued;
    QByteArray m_echo;
    bool m_discardToEndOfLine = false;

    // The line.
    CallPhase m_phase = CallPhase::Idle;
    bool m_voiceOnline = false;
    bool m_incoming = false;
    bool m_staysInCommand = false;
    bool m_hasFarEnd = false;
    FarEndAction m_decidedWhileDialling = FarEndAction::None;
    FarEndAction m_farEndPlan = FarEndAction::None;
    QByteArray m_dialled;
    CallerId m_caller;
    int m_ringsSent = 0;

    QTimer m_commandTimer;  // tones being played hold up the rest of the line
    QTimer m_dialTimer;     // the dial string going out
    QTimer m_farEndTimer;   // the far end making up its mind
    QTimer m_waitTimer;     // S7: waiting for an answer or a carrier
    QTimer m_ringTimer;     // ring cadence
    QTimer m_callerIdTimer; // between the first and the second ring
    QTimer m_busyToneTimer; // <DLE>b after the far end hung up
};
