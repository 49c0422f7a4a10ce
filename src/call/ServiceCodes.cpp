#include "call/ServiceCodes.h"

#include "call/CommandLines.h"
#include "console/SettingsStore.h"

namespace {
struct Codes {
    const char* key;
    const char* activation;
    const char* cancellation;
};

// By Feature: the key and the North American codes.
constexpr Codes Defaults[] = {
    {"CallForward", "*72", "*73"},
    {"Repeat", "*66", "*86"},
    {"LastCaller", "*69", "*89"},
};

const Codes& defaults(ServiceCodes::Feature feature) {
    return Defaults[static_cast<int>(feature)];
}
} // namespace

ServiceCodes::ServiceCodes(const SettingsStore& store)
    : m_store(store) {}

QString ServiceCodes::key(Feature feature, bool cancel) {
    return QLatin1String(defaults(feature).key) + (cancel ? QLatin1String("Cancel") : QLatin1String());
}

QString ServiceCodes::code(Feature feature, bool cancel) const {
    const Codes& d = defaults(feature);
    return CommandLines::dialable(
        m_store.read(Settings::Services, key(feature, cancel), QLatin1String(cancel ? d.cancellation : d.activation)));
}

QString ServiceCodes::activation(Feature feature) const {
    return code(feature, false);
}

QString ServiceCodes::cancellation(Feature feature) const {
    return code(feature, true);
}

void ServiceCodes::activated(Feature feature) {
    m_active.removeAll(feature);
    m_active.append(feature);
}

ServiceCodes::Feature ServiceCodes::toCancel() const {
    return m_active.isEmpty() ? Feature::CallForward : m_active.last();
}

void ServiceCodes::cancelled(Feature feature) {
    m_active.removeAll(feature);
}
