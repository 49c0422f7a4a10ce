// Bytes from the host as the virtual modem's command buffer takes them, and every line it
// completes through the parser. The first three bytes set the buffer: its size (1 to 256), the
// end-of-line character (S3) and the backspace character (S5), both 7-bit as the registers are.
#include "AtProperties.h"
#include "FuzzCheck.h"
#include "vmodem/AtLineAssembler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);
    if (size < 3) {
        return 0;
    }
    const int capacity = data[0] + 1;
    const char endOfLine = static_cast<char>(data[1] & 0x7f);
    const char backspace = static_cast<char>(data[2] & 0x7f);
    AtLineAssembler assembler(capacity);
    for (size_t i = 3; i < size; ++i) {
        if (assembler.feed(static_cast<char>(data[i]), endOfLine, backspace) != AtLineAssembler::Event::Line) {
            continue;
        }
        const QByteArray line = assembler.line();
        if (line.size() > capacity) {
            failOn(QStringLiteral("a line of %1 in a buffer of %2").arg(line.size()).arg(capacity), bytes);
        }
        if (std::any_of(line.begin(), line.end(), [&](char c) {
                return AtProperties::isBlankOrControl(c) || c == endOfLine || c == backspace;
            })) {
            failOn(QStringLiteral("a line that keeps a character the buffer drops"), bytes);
        }
        if (assembler.inLine()) {
            failOn(QStringLiteral("still in a line after its end"), bytes);
        }
        failOn(AtProperties::commandLineFault(line), bytes);
    }
    return 0;
}
