#pragma once

#include "console/PhoneView.h"

#include <QObject>
#include <QString>
#include <array>

// Everything the telephone shows, as values: the display's texts and colours, the lamps, the
// buttons that latch, the two sliders, the window's width and the phone book's rows and
// selection. The handlers read the user's input here (the number to dial, the speaker level, the
// selected entry), never from a control, and each change goes on to the view at once.
class PhoneFace : public QObject {
    Q_OBJECT
public:
    using Box = PhoneView::Box;
    using TextColor = PhoneView::TextColor;
    using Light = PhoneView::Light;
    using Latch = PhoneView::Latch;
    using Control = PhoneView::Control;

    // The window's outer widths in twips: the telephone alone, and with the phone book.
    static constexpr int NarrowWidth = 2865;
    static constexpr int WideWidth = 7335;
    // The sliders' ranges start at 0.
    static constexpr int MaxSpeakerLevel = 15;
    static constexpr int MaxMicrophoneGain = 3;
    static constexpr int PhoneBookRows = 12;

    explicit PhoneFace(PhoneView& view, QObject* parent = nullptr);

    PhoneView& view() { return m_view; }

    QString text(Box box) const { return m_text[index(box)]; }
    // The number display raises `numberOutChanged` after every change of its text.
    void setText(Box box, const QString& text);
    TextColor textColor(Box box) const { return m_color[index(box)]; }
    void setTextColor(Box box, TextColor color);

    bool lit(Light light) const { return m_lit[index(light)]; }
    void setLit(Light light, bool lit);
    bool latched(Latch button) const { return m_latched[index(button)]; }
    void setLatched(Latch button, bool on);
    // The Handset button's tooltip follows its latch; Hold's and Mute's never change.
    QString handsetToolTip() const;
    // Whether Handset pressed again brings the call back (the Rockwell set's handset), or the call
    // stays on the telephone it was left to (the V.253 set).
    void setHandsetReturns(bool returns);

    // Why an audio control cannot act with this modem, or empty when it can.
    QString unavailable(Control control) const { return m_unavailable[index(control)]; }
    void setUnavailable(Control control, const QString& why);

    // Slider1. A level outside 0 to 15 is taken to the nearer end, as the slider takes it; a
    // change raises `speakerLevelChanged`, whoever made it.
    int speakerLevel() const { return m_speakerLevel; }
    void setSpeakerLevel(int level);
    // Slider2 (0 to 3).
    int microphoneGain() const { return m_microphoneGain; }
    void setMicrophoneGain(int gain);

    int widthTwips() const { return m_widthTwips; }
    void setWidthTwips(int twips);

    QString phoneBookRow(int index) const;
    void setPhoneBookRow(int index, const QString& text);
    // The entry whose button is down, or -1.
    int selectedEntry() const { return m_selected; }
    // Shows entry button `index` down or up; the selection follows it.
    void setPhoneBookButton(int index, bool down);

signals:
    // `txtNumberOut`'s change event.
    void numberOutChanged();
    // `Slider1`'s change event.
    void speakerLevelChanged();

private:
    template <typename E> static std::size_t index(E e) { return static_cast<std::size_t>(e); }

    PhoneView& m_view;
    std::array<QString, 4> m_text;
    std::array<TextColor, 4> m_color{TextColor::Green, TextColor::Green, TextColor::Red, TextColor::Green};
    std::array<bool, 2> m_lit{};
    std::array<bool, 3> m_latched{};
    std::array<QString, 4> m_unavailable;
    bool m_handsetReturns = true;
    int m_speakerLevel = 5;
    int m_microphoneGain = 1;
    int m_widthTwips = WideWidth;
    std::array<QString, PhoneBookRows> m_rows;
    int m_selected = -1;
};
