#include "RecordingView.h"

namespace {

QString name(PhoneView::Box box) {
    static const char* const names[] = {"Name", "NumberIn", "Status", "NumberOut"};
    return QLatin1String(names[static_cast<int>(box)]);
}

QString name(PhoneView::Latch button) {
    static const char* const names[] = {"Hold", "Mute", "Handset"};
    return QLatin1String(names[static_cast<int>(button)]);
}

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

} // namespace

void RecordingView::showText(Box box, const QString& text) {
    log << QStringLiteral("text %1 %2").arg(name(box), text);
}

void RecordingView::showTextColor(Box box, TextColor color) {
    log << QStringLiteral("color %1 %2")
               .arg(name(box), color == TextColor::Red ? QStringLiteral("Red") : QStringLiteral("Green"));
}

void RecordingView::showLight(Light light, bool lit) {
    log << QStringLiteral("light %1 %2")
               .arg(light == Light::Power ? QStringLiteral("Power") : QStringLiteral("InUse"), onOff(lit));
}

void RecordingView::showLatched(Latch button, bool on) {
    log << QStringLiteral("latched %1 %2").arg(name(button), onOff(on));
}

void RecordingView::showToolTip(Latch button, const QString& tip) {
    log << QStringLiteral("tip %1 %2").arg(name(button), tip);
}

void RecordingView::showUnavailable(Control control, const QString& why) {
    log << QStringLiteral("unavailable %1 %2").arg(int(control)).arg(why);
}

void RecordingView::showSpeakerLevel(int level) {
    log << QStringLiteral("speaker %1").arg(level);
}

void RecordingView::showMicrophoneGain(int gain) {
    log << QStringLiteral("gain %1").arg(gain);
}

void RecordingView::showWidth(int twips) {
    log << QStringLiteral("width %1").arg(twips);
}

void RecordingView::showPhoneBookRow(int index, const QString& text) {
    log << QStringLiteral("row %1 %2").arg(index).arg(text);
}

void RecordingView::showPhoneBookButton(int index, bool down) {
    log << QStringLiteral("entry button %1 %2").arg(index).arg(down ? QStringLiteral("down") : QStringLiteral("up"));
}

void RecordingView::focusSend() {
    ++sendFocused;
    log << QStringLiteral("focus Send");
}

bool RecordingView::clickFocusedButton() {
    log << QStringLiteral("click focused");
    if (!focusedButton) {
        return false;
    }
    focusedButton();
    return true;
}

void RecordingView::restoreIfMinimized() {
    if (minimized) {
        minimized = false;
        log << QStringLiteral("restore");
    }
}

void RecordingView::showWindow() {
    visible = true;
    log << QStringLiteral("show");
}

void RecordingView::hideWindow() {
    visible = false;
    log << QStringLiteral("hide");
}

void RecordingView::redraw() {
    log << QStringLiteral("redraw");
}

void RecordingView::showBusy(bool on) {
    busy = on;
    log << QStringLiteral("busy %1").arg(onOff(on));
}

void RecordingView::openSetupDialog() {
    ++setupOpened;
    log << QStringLiteral("setup dialog");
}

void RecordingView::editPhoneBookEntry(int index, const QString& name, const QString& number) {
    edits.append({index, name, number});
    log << QStringLiteral("edit %1").arg(index);
}
