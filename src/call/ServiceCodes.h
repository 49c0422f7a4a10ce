#pragma once

#include <QList>
#include <QString>

class SettingsStore;

// The telephone network's vertical service codes behind Call Fwd, Repeat, Last Caller and Cancel:
// which code activates each feature and which cancels it, and which feature Cancel cancels.
//
// The codes are North American unless the store's group "Services" holds others (networks in
// other countries use other codes). They are read when they are dialled, so a hand edit counts at
// once, and only their dialable characters are used: a stored text cannot add a command of its
// own to the dial line. A key that is present but holds nothing dialable means the network has no
// such code.
class ServiceCodes {
public:
    enum class Feature { CallForward, Repeat, LastCaller };

    explicit ServiceCodes(const SettingsStore& store);

    // The key in "Services": "CallForward", "Repeat", "LastCaller", each with "Cancel" appended for
    // the code that cancels it.
    static QString key(Feature feature, bool cancel);

    // Empty when the store says the network has no such code.
    QString activation(Feature feature) const;
    QString cancellation(Feature feature) const;

    // The feature's activation code has been dialled.
    void activated(Feature feature);
    // What Cancel cancels: the feature activated most recently in this run and not cancelled
    // since, so that pressing it again reaches back to the one activated before. With nothing
    // left, call forwarding, the feature whose cancelling matters most.
    Feature toCancel() const;
    // The feature's cancel code has been dialled.
    void cancelled(Feature feature);

private:
    QString code(Feature feature, bool cancel) const;

    const SettingsStore& m_store;
    // Activated and not cancelled, the most recent last; a feature appears once.
    QList<Feature> m_active;
};
