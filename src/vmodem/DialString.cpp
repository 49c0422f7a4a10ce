#include "vmodem/DialString.h"

DialString::Plan DialString::parse(const QByteArray& argument) {
    Plan plan;
    for (const char c : argument) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#') {
            ++plan.digits;
            plan.shown.append(c);
        } else if (c == ',') {
            ++plan.pauses;
            plan.shown.append(c);
        } else if (c == '!') {
            ++plan.flashes;
            plan.shown.append(c);
        } else if (c == ';') {
            plan.staysInCommand = true;
            break;
        }
    }
    return plan;
}
