#pragma once

#include "call/ServiceCodes.h"

#include <QObject>

class CallControl;
class PhoneFace;
struct Services;

// Call Fwd, Repeat, Last Caller and Cancel: each dials one of the network's service codes as a
// call, the way Send places one, without remembering it as the last number dialled.
//   Call Fwd     forwards calls to the number in the display (asked for when the display is empty)
//   Repeat       keeps redialling the last number called until it is free
//   Last Caller  calls back whoever called last
//   Cancel       cancels the feature activated most recently in this run
class ServiceButtons : public QObject {
    Q_OBJECT
public:
    ServiceButtons(Services& services, PhoneFace& face, CallControl& calls, QObject* parent = nullptr);

    void cmdCallForward_Click();
    void cmdRepeat_Click();
    void cmdLastCall_Click();
    void cmdCancelRPT_Click();

    const ServiceCodes& codes() const { return m_codes; }

private:
    // The feature's code, or empty after telling the user that the store holds none.
    QString codeOrTell(ServiceCodes::Feature feature, bool cancel);
    void activate(ServiceCodes::Feature feature, const QString& number = QString());
    // True when the dial line went out and this object is still there.
    bool dial(const QString& dialString);

    Services& m_services;
    PhoneFace& m_face;
    CallControl& m_calls;
    ServiceCodes m_codes;
};
