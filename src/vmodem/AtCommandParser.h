#pragma once

#include "vmodem/AtCommand.h"

#include <optional>

// Cuts the body of a command line (what follows "AT", up to the carriage return) into commands.
//
// Basic commands are a letter, or one of "&%\" and a letter, with an optional number ("E0", "H",
// "&F"). "S<n>=<v>", "S<n>?" and "S<n>=?" address registers. Extended commands start with "#" or
// "+" and a name of letters, then "=<value>", "?", "=?" or nothing; a value runs up to the next
// ";", "#" or "+", so Rockwell-style lines chain them without separators ("#CLS=8#VLS=6#CID=1").
// "D" and "#VTS" take the rest of the line, because a dial string or a tone list may hold "#",
// and "+VTS" takes it up to the next ";"; "A" ends the line too, since a modem ignores whatever
// follows an answer. Blanks and control characters count for nothing and letters are read in
// upper case.
class AtCommandParser {
public:
    static AtCommandLine parse(const QByteArray& body);

    // A command's decimal number of at most five digits; empty text counts as 0, as "ATH" means
    // "ATH0". Empty when the text is not such a number.
    static std::optional<int> decimal(const QByteArray& text);
};
