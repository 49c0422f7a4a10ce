#pragma once

#include <QProxyStyle>

// The classic bevelled look of the telephone's buttons and panels: Qt's "Windows" style.
//
// Reading any picture file the first time loads every image-format plugin of Qt, which takes a
// few milliseconds. The menu bar reads the pictures of its extension button (shown only when the
// menus do not fit) as it is made, before the telephone's window can be built; this style hands
// it an icon that reads them when it is first drawn.
class ClassicStyle : public QProxyStyle {
public:
    // Null when Qt has no "Windows" style.
    static ClassicStyle* create();

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    explicit ClassicStyle(QStyle* base);
};
