// One read from the modem, through everything the program does with it before it shows a caller:
// decoding, line-end normalisation, the caller-ID cut-out, the plain-text cleaner, the displayed
// number and the rearranged name.
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
    return 0;
}
