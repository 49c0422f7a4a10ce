#include "call/AudioControls.h"

#include "call/CommandLines.h"
#include "console/SettingsStore.h"
#include "console/SharedState.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "platform/Controls.h"

AudioControls::AudioControls(frmPhone& form, Services& services)
    : QObject(&form)
    , m_form(form)
    , m_services(services) {
    connect(m_form.cmdHold, &QPushButton::clicked, this, &AudioControls::cmdHold_Click);
    connect(m_form.cmdMute, &QPushButton::clicked, this, &AudioControls::cmdMute_Click);
    connect(m_form.cmdFlash, &QPushButton::clicked, this, &AudioControls::cmdFlash_Click);
    connect(m_form.Slider1, &QAbstractSlider::valueChanged, this, &AudioControls::Slider1_Change);
    connect(m_form.Slider2, &Slider::clicked, this, &AudioControls::Slider2_Click);
}

void AudioControls::cmdHold_Click() {
    // Releasing hold brings back the speaker at the slider's level and switches the microphone
    // on, whatever Mute shows.
    toggle(m_form.state.OnHold, *m_form.cmdHold, CommandLines::holdOn(), CommandLines::holdOff(m_form.Slider1->value()),
           QStringLiteral("HOLD"));
}

void AudioControls::cmdMute_Click() {
    toggle(m_form.state.Muted, *m_form.cmdMute, CommandLines::muteOn(), CommandLines::muteOff(),
           QStringLiteral("MUTE"));
}

void AudioControls::toggle(bool& on, CommandButton& button, const QString& onLine, const QString& offLine,
                           const QString& onStatus) {
    if (!m_services.shared.CallActive) {
        return;
    }
    // With the port closed the toggle still follows the user's click, so the screen shows what
    // was asked for; the user is told that the modem did not get it.
    m_form.modemLink().callCommand(on ? offLine : onLine);
    on = !on;
    button.showLatched(on);
    m_form.txtStatus->setText(on ? onStatus : QStringLiteral("In Use"));
}

void AudioControls::cmdFlash_Click() {
    if (m_services.shared.CallActive) {
        m_form.modemLink().callCommand(CommandLines::flash());
    }
}

void AudioControls::Slider1_Change() {
    const int level = m_form.Slider1->value();
    if (connectedCall()) {
        m_form.modemLink().callCommand(CommandLines::speakerLevel(level));
    }
    // Remembered across runs whether or not a call is going on.
    m_form.state.SpeakerLevel = static_cast<qint16>(level);
    m_services.settings.writeInteger(Settings::Speaker, level);
}

void AudioControls::Slider2_Click() {
    if (connectedCall()) {
        m_form.modemLink().callCommand(CommandLines::microphoneGain(m_form.Slider2->value()));
    } else {
        // The gain is set only during a connected call; otherwise the slider rests at 1.
        m_form.Slider2->setValue(1);
    }
}

bool AudioControls::connectedCall() const {
    return m_services.shared.CallActive && m_form.state.VoiceConnected;
}
