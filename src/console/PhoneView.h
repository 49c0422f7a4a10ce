#pragma once

#include <QString>

// What the telephone's logic asks of its window. The logic (console/Phone and the subsystems it
// owns) keeps every value the user sees in PhoneFace and tells the view each change through
// this interface; the window draws it and hands the user's actions back to the handlers. Tests
// put a recording view here.
class PhoneView {
public:
    // The four boxes of the display.
    enum class Box { Name, NumberIn, Status, NumberOut };
    enum class TextColor { Green, Red };
    // The two lamps: attached to the modem ("Pwr"), and a call in progress ("In Use").
    enum class Light { Power, InUse };
    // The buttons that show a state of their own: red caption while on.
    enum class Latch { Hold, Mute, Handset };
    // The call's audio controls, which some modems and ways of talking give nothing to act on.
    enum class Control { Hold, Mute, SpeakerVolume, MicrophoneGain };

    virtual ~PhoneView() = default;

    virtual void showText(Box box, const QString& text) = 0;
    virtual void showTextColor(Box box, TextColor color) = 0;
    virtual void showLight(Light light, bool lit) = 0;
    virtual void showLatched(Latch button, bool on) = 0;
    virtual void showToolTip(Latch button, const QString& tip) = 0;
    // Why `control` cannot act with this modem (its tooltip says so), or empty: it can.
    virtual void showUnavailable(Control control, const QString& why) = 0;
    virtual void showSpeakerLevel(int level) = 0;
    virtual void showMicrophoneGain(int gain) = 0;
    // The window's outer width in twips: narrow (the telephone) or wide (with the phone book).
    virtual void showWidth(int twips) = 0;
    virtual void showPhoneBookRow(int index, const QString& text) = 0;
    // The entry button `index` shown pressed (selected) or released.
    virtual void showPhoneBookButton(int index, bool down) = 0;

    // The keyboard focus goes to Send, so that Enter and Space work it.
    virtual void focusSend() = 0;
    // Space: clicks the button that has the focus, unless that is Send (which takes Space
    // itself). True when a button was clicked.
    virtual bool clickFocusedButton() = 0;
    // A minimised window comes back to its normal size.
    virtual void restoreIfMinimized() = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // Draws the window now, before a message box goes up.
    virtual void redraw() = 0;
    // The busy pointer over the window, or the normal one.
    virtual void showBusy(bool busy) = 0;
    // Opens the modem setup dialog (not modal).
    virtual void openSetupDialog() = 0;
    // Opens the editor of a phone-book entry (not modal, one at a time); on OK it hands the entry to
    // PhoneBookPanel::storeEntry.
    virtual void editPhoneBookEntry(int index, const QString& name, const QString& number) = 0;
};
