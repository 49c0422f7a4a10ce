#include "desktop/Activation.h"

namespace {
const char* const TokenVariable = "XDG_ACTIVATION_TOKEN";
const char* const StartupIdVariable = "DESKTOP_STARTUP_ID";

QString variable(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return value.size() <= Activation::MaxLength ? value : QString();
}
} // namespace

Activation Activation::fromEnvironment() {
    return {variable(TokenVariable), variable(StartupIdVariable)};
}

void Activation::offerToWindow() const {
    const QString wayland = waylandToken();
    if (!wayland.isEmpty()) {
        qputenv(TokenVariable, wayland.toUtf8());
    }
}

void Activation::clearEnvironment() {
    qunsetenv(TokenVariable);
    qunsetenv(StartupIdVariable);
}
