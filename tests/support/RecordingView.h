#pragma once

#include "console/PhoneView.h"

#include <QList>
#include <QStringList>
#include <functional>

// A view for tests of the telephone without its window: what the telephone shows is in its
// PhoneFace; this records what only a window does (being shown, the setup dialog, the focus, the
// phone book's editor) and keeps a log of every call in order.
class RecordingView : public PhoneView {
public:
    void showText(Box box, const QString& text) override;
    void showTextColor(Box box, TextColor color) override;
    void showLight(Light light, bool lit) override;
    void showLatched(Latch button, bool on) override;
    void showToolTip(Latch button, const QString& tip) override;
    void showUnavailable(Control control, const QString& why) override;
    void showSpeakerLevel(int level) override;
    void showMicrophoneGain(int gain) override;
    void showWidth(int twips) override;
    void showPhoneBookRow(int index, const QString& text) override;
    void showPhoneBookButton(int index, bool down) override;
    void focusSend() override;
    bool clickFocusedButton() override;
    void restoreIfMinimized() override;
    void showWindow() override;
    void hideWindow() override;
    void redraw() override;
    void showBusy(bool busy) override;
    void openSetupDialog() override;
    void editPhoneBookEntry(int index, const QString& name, const QString& number) override;

    // Every call, one line each ("text Status In Use", "light InUse on", "show", ...).
    QStringList log;
    bool visible = false;
    bool minimized = false;
    bool busy = false;
    int setupOpened = 0;
    int sendFocused = 0;
    // What Space finds: a focused button other than Send, clicked by `clickFocusedButton`.
    std::function<void()> focusedButton;
    struct Edit {
        int index;
        QString name;
        QString number;
    };
    QList<Edit> edits;
};
