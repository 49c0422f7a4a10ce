#include "call/AudioControls.h"

#include "call/ModemCommands.h"
#include "console/PhoneState.h"
#include "console/Services.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "modem/ModemLink.h"

AudioControls::AudioControls(Services& services, PhoneState& state, PhoneFace& face, ModemLink& link, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_state(state)
    , m_face(face)
    , m_link(link) {
    connect(&m_face, &PhoneFace::speakerLevelChanged, this, &AudioControls::Slider1_Change);
}

void AudioControls::cmdHold_Click() {
    // Releasing hold brings back the speaker at the slider's level and switches the microphone
    // on, whatever Mute shows.
    const ModemCommands commands = ModemCommands::of(m_services.shared);
    toggle(m_state.OnHold, PhoneFace::Latch::Hold, commands.holdOn(), commands.holdOff(m_face.speakerLevel()),
           QStringLiteral("HOLD"));
}

void AudioControls::cmdMute_Click() {
    const ModemCommands commands = ModemCommands::of(m_services.shared);
    toggle(m_state.Muted, PhoneFace::Latch::Mute, commands.muteOn(), commands.muteOff(m_face.microphoneGain()),
           QStringLiteral("MUTE"));
}

void AudioControls::showWhatCanAct() {
    const ModemCommands commands = ModemCommands::of(m_services.shared);
    for (const PhoneFace::Control control : {PhoneFace::Control::Hold, PhoneFace::Control::Mute,
                                             PhoneFace::Control::SpeakerVolume, PhoneFace::Control::MicrophoneGain}) {
        m_face.setUnavailable(control, commands.whyNot(control));
    }
}

void AudioControls::toggle(bool& on, PhoneFace::Latch button, const QString& onLine, const QString& offLine,
                           const QString& onStatus) {
    // Nothing to send: the modem or the way of talking has no such thing (its tooltip says so).
    if (!m_services.shared.CallActive || (!on && onLine.isEmpty())) {
        return;
    }
    // With the port closed the toggle still follows the user's click, so the screen shows what
    // was asked for; the user is told that the modem did not get it.
    m_link.callCommand(on ? offLine : onLine);
    on = !on;
    m_face.setLatched(button, on);
    m_face.setText(PhoneFace::Box::Status, on ? onStatus : QStringLiteral("In Use"));
}

void AudioControls::cmdFlash_Click() {
    if (m_services.shared.CallActive) {
        m_link.callCommand(ModemCommands::of(m_services.shared).flash());
    }
}

void AudioControls::Slider1_Change() {
    const int level = m_face.speakerLevel();
    if (const QString line = ModemCommands::of(m_services.shared).speakerLevel(level);
        connectedCall() && !line.isEmpty()) {
        m_link.callCommand(line);
    }
    // Remembered across runs whether or not a call is going on.
    m_state.SpeakerLevel = static_cast<qint16>(level);
    m_services.settings.writeInteger(Settings::Speaker, level);
}

void AudioControls::Slider2_Click(int value) {
    if (connectedCall()) {
        m_face.setMicrophoneGain(value);
        if (const QString line = ModemCommands::of(m_services.shared).microphoneGain(m_face.microphoneGain());
            !line.isEmpty()) {
            m_link.callCommand(line);
        }
    } else {
        // The gain is set only during a connected call; otherwise the slider rests at 1.
        m_face.setMicrophoneGain(1);
    }
}

bool AudioControls::connectedCall() const {
    return m_services.shared.CallActive && m_state.VoiceConnected;
}
