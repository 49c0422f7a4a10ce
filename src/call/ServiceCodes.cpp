#include "call/ServiceCodes.h"

#include "call/CommandLines.h"
#include "console/SettingsStore.h"

#include <utility>

namespace {
// By Feature: the keys of its activation and cancellation codes.
const std::pair<const Settings::Key*, const Settings::Key*> Keys[] = {
    {&Settings::CallForward, &Settings::CallForwardCancel},
    {&Settings::Repeat, &Settings::RepeatCancel},
    {&Settings::LastCaller, &Settings::LastCallerCancel},
};

const Settings::Key& settingKey(ServiceCodes::Feature feature, bool cancel) {
    const auto& [activation, cancellation] = Keys[static_cast<int>(feature)];
    return cancel ? *cancellation : *activation;
}
} // namespace

ServiceCodes::ServiceCodes(const SettingsStore& store)
    : m_store(store) {}

QString ServiceCodes::key(Feature feature, bool cancel) {
    return settingKey(feature, cancel).name;
}

QString ServiceCodes::code(Feature feature, bool cancel) const {
    return CommandLines::dialable(m_store.read(settingKey(feature, cancel)));
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
