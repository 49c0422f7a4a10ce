#include "call/AudioControls.h"

#include "call/CommandLines.h"
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
    toggle(m_state.OnHold, PhoneFace::Latch::Hold, CommandLines::holdOn(), CommandLines::holdOff(m_face.speakerLevel()),
           QStringLiteral("HOLD"));
}

void AudioControls::cmdMute_Click() {
    toggle(m_state.Muted, PhoneFace::Latch::Mute, CommandLines::muteOn(), CommandLines::muteOff(),
           QStringLiteral("MUTE"));
}

void AudioControls::toggle(bool& on, PhoneFace::Latch button, const QString& onLine, const QString& offLine,
                           const QString& onStatus) {
    if (!m_services.shared.CallActive) {
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
        m_link.callCommand(CommandLines::flash());
    }
}

void AudioControls::Slider1_Change() {
    const int level = m_face.speakerLevel();
    if (connectedCall()) {
        m_link.callCommand(CommandLines::speakerLevel(level));
    }
    // Remembered across runs whether or not a call is going on.
    m_state.SpeakerLevel = static_cast<qint16>(level);
    m_services.settings.writeInteger(Settings::Speaker, level);
}

void AudioControls::Slider2_Click(int value) {
    if (connectedCall()) {
        m_face.setMicrophoneGain(value);
        m_link.callCommand(CommandLines::microphoneGain(m_face.microphoneGain()));
    } else {
        // The gain is set only during a connected call; otherwise the slider rests at 1.
        m_face.setMicrophoneGain(1);
    }
}

bool AudioControls::connectedCall() const {
    return m_services.shared.CallActive && m_state.VoiceConnected;
}
