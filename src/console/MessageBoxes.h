#pragma once

#include <QString>

// The program's message boxes, behind one seam so that tests can answer them. Every box is
// modal: the call returns only after the user has dismissed it. Texts use a carriage return
// (character 13) or a line feed to break lines.
class MessageBoxes {
public:
    enum class Icon { None, Critical, Warning, Information, Question };

    virtual ~MessageBoxes() = default;

    // A box with one OK button.
    virtual void show(Icon icon, const QString& title, const QString& text) = 0;
    // A box with Yes and No buttons; true for Yes.
    virtual bool ask(const QString& title, const QString& text) = 0;
    // A box that asks for one line of text; nullopt-like empty QString with `ok` false on Cancel.
    virtual QString askText(const QString& title, const QString& label, const QString& initial, bool* ok) = 0;
};

// The application's title, used on every message box.
inline const QString ApplicationTitle = QStringLiteral("Brisvane");
