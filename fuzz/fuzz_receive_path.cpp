// One read from the modem, through everything the program does with it before it shows a caller:
// decoding, line-end normalisation, the caller-ID cut-out, the plain-text cleaner, the displayed
// number and the rearranged name; and the V.253 set's reading of tags and connections.
#include "FuzzCheck.h"
#include "ReceivedBytes.h"
#include "modem/ModemText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);
    failOn(receivePathFault(bytes), bytes);

    // The cut-out again, on a text with nothing readable after its end.
    QString text = ModemText::decode(bytes);
    ModemText::ModemDisplay(text);
    const ExactText exact(text);
    for (const QString& tag : {ModemText::NumberTag, ModemText::NameTag}) {
        const QString value = ModemText::reportValue(exact.text(), tag);
        if (value != ModemText::reportValue(text, tag)) {
            failOn(QStringLiteral("a value that depends on what lies after the text"), bytes);
        }
    }
    // The V.253 reading: the tags spaced once and for all, the line ends left as they were.
    const QString spaced = ModemText::withSpacedTags(text);
    if (ModemText::withSpacedTags(spaced) != spaced || !lineEndFault(spaced).isEmpty()) {
        failOn(QStringLiteral("spacing the tags changed more than the tags"), bytes);
    }
    ModemText::answeredOk(spaced);
    return 0;
}
