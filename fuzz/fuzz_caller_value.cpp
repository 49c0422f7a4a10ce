// A caller's number or name as any text at all (the input's bytes taken as UTF-16 code units, so
// that broken surrogate pairs come too), through the plain-text cleaner, the displayed number and
// the rearranged name.
#include "FuzzCheck.h"
#include "ReceivedBytes.h"
#include "modem/ModemText.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);
    std::vector<char16_t> units(size / 2);
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    const QString value(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
    const ExactText exact(value);
    failOn(shownCallerFault(exact.text()), bytes);

    // The cleaner only ever drops characters, and what it keeps is kept as it was.
    const QString plain = ModemText::plainText(exact.text());
    if (ModemText::plainText(plain) != plain) {
        failOn(QStringLiteral("the plain text of a plain text is not itself"), bytes);
    }
    qsizetype at = 0;
    for (const QChar c : plain) {
        at = value.indexOf(c, at);
        if (at < 0) {
            failOn(QStringLiteral("a plain text with characters the value does not have"), bytes);
        }
        ++at;
    }
    return 0;
}
