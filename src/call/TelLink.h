#pragma once

#include <QString>

// A telephone link as a browser or another program hands it over: "tel:+1-407-555-1212",
// "callto:4075551212", "callto://4075551212". Only reads the text; nothing here dials.
namespace TelLink {

enum class Outcome {
    Number,          // `number` holds what the display can take
    NotALink,        // neither "tel:" nor "callto:"
    NothingDialable, // a link, but no digit, "*", "#" or "," in it
    NotANumber,      // characters that are neither dialable nor a visual separator
};

struct Parsed {
    Outcome outcome = Outcome::NotALink;
    // The dialable characters in their order: "0" to "9", "*", "#" and "," (a pause).
    QString number;
};

// Percent-encoding is decoded first. Parameters (from the first ";") and anything from a "?"
// are ignored. The visual separators "-", ".", "(", ")" and spaces are dropped. A leading "+"
// (an international number) is dropped as well: the modem dials digits only, and the user adds
// the international prefix of the line in the display before Send.
Parsed parse(const QString& link);

// True when `text` starts with a scheme this program handles.
bool isLink(const QString& text);

} // namespace TelLink
