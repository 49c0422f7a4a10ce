#pragma once

#include "console/MessageBoxes.h"

// The message boxes the user sees: modal Qt message boxes.
class QtMessageBoxes : public MessageBoxes {
public:
    void show(Icon icon, const QString& title, const QString& text) override;
    bool ask(const QString& title, const QString& text) override;
    QString askText(const QString& title, const QString& label, const QString& initial, bool* ok) override;
};
