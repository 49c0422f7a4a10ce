#include "console/PhoneFace.h"

#include <algorithm>

PhoneFace::PhoneFace(PhoneView& view, QObject* parent)
    : QObject(parent)
    , m_view(view) {}

void PhoneFace::setText(Box box, const QString& text) {
    QString& shown = m_text[index(box)];
    if (shown == text) {
        return;
    }
    shown = text;
    m_view.showText(box, text);
    if (box == Box::NumberOut) {
        emit numberOutChanged();
    }
}

void PhoneFace::setTextColor(Box box, TextColor color) {
    m_color[index(box)] = color;
    m_view.showTextColor(box, color);
}

void PhoneFace::setLit(Light light, bool lit) {
    m_lit[index(light)] = lit;
    m_view.showLight(light, lit);
}

void PhoneFace::setLatched(Latch button, bool on) {
    m_latched[index(button)] = on;
    m_view.showLatched(button, on);
    if (button == Latch::Handset) {
        m_view.showToolTip(button, handsetToolTip());
    }
}

void PhoneFace::setUnavailable(Control control, const QString& why) {
    if (m_unavailable[index(control)] == why) {
        return;
    }
    m_unavailable[index(control)] = why;
    m_view.showUnavailable(control, why);
}

QString PhoneFace::handsetToolTip() const {
    if (!latched(Latch::Handset)) {
        return QStringLiteral("Pick Up Handset");
    }
    return m_handsetReturns ? QStringLiteral("Back to Speakerphone") : QStringLiteral("The call is on your telephone");
}

void PhoneFace::setHandsetReturns(bool returns) {
    m_handsetReturns = returns;
}

void PhoneFace::setSpeakerLevel(int level) {
    level = std::clamp(level, 0, MaxSpeakerLevel);
    if (level == m_speakerLevel) {
        return;
    }
    m_speakerLevel = level;
    m_view.showSpeakerLevel(level);
    emit speakerLevelChanged();
}

void PhoneFace::setMicrophoneGain(int gain) {
    m_microphoneGain = std::clamp(gain, 0, MaxMicrophoneGain);
    m_view.showMicrophoneGain(m_microphoneGain);
}

void PhoneFace::setWidthTwips(int twips) {
    m_widthTwips = twips;
    m_view.showWidth(twips);
}

QString PhoneFace::phoneBookRow(int index) const {
    return index >= 0 && index < PhoneBookRows ? m_rows[static_cast<std::size_t>(index)] : QString();
}

void PhoneFace::setPhoneBookRow(int index, const QString& text) {
    if (index < 0 || index >= PhoneBookRows) {
        return;
    }
    m_rows[static_cast<std::size_t>(index)] = text;
    m_view.showPhoneBookRow(index, text);
}

void PhoneFace::setPhoneBookButton(int index, bool down) {
    if (index < 0 || index >= PhoneBookRows) {
        return;
    }
    if (down) {
        m_selected = index;
    } else if (m_selected == index) {
        m_selected = -1;
    }
    m_view.showPhoneBookButton(index, down);
}
