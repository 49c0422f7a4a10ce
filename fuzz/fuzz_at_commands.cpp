// The body of one command line from the host (what follows "AT"), through the virtual modem's
// parser and the dial and tone strings in it.
#include "AtProperties.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzInput(data, size);
    failOn(AtProperties::commandLineFault(bytes), bytes);
    // The tone and dial readers also see what the parser would never hand them.
    failOn(AtProperties::toneFault(bytes), bytes);
    failOn(AtProperties::dialFault(bytes), bytes);
    return 0;
}
