#include "platform/Resources.h"

#include <QtGlobal>

void initResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(brisvane);
        return true;
    }();
    Q_UNUSED(done);
}
