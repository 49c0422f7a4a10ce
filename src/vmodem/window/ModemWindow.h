#pragma once

#include "vmodem/TrafficLog.h"

#include <QMainWindow>
#include <QTime>

class ModemSession;
class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The virtual modem's window: the line's traffic both ways, which modem it plays and what it is
// doing, and the telephone line's other side at the user's fingertips (ring with a caller,
// answer, be busy, hang up).
class ModemWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ModemWindow(ModemSession& session, QWidget* parent = nullptr);

private:
    QWidget* buildLineBar();
    QWidget* buildModemBox();
    QWidget* buildIncomingBox();
    QWidget* buildFarEndBox();
    QWidget* buildTrafficBox();

    void refreshStatus();
    void choosePersona();
    void refreshHost();
    void appendTraffic(const QTime& time, TrafficLog::Kind kind, const QString& text);
    void ring();
    void sendToHost();
    void applyFarEnd();
    // Shows why an action could not be done; nothing when it was.
    void report(bool done, const QString& why);

    ModemSession& m_session;

    QLabel* m_hostLabel = nullptr;
    QComboBox* m_persona = nullptr;
    QLabel* m_hookValue = nullptr;
    QLabel* m_callValue = nullptr;
    QLabel* m_classValue = nullptr;
    QLabel* m_voiceValue = nullptr;
    QLabel* m_deviceValue = nullptr;
    QLabel* m_callerIdValue = nullptr;
    QLabel* m_echoValue = nullptr;
    QLabel* m_speakerValue = nullptr;
    QLabel* m_dialledValue = nullptr;

    QComboBox* m_presentation = nullptr;
    QLineEdit* m_callerNumber = nullptr;
    QLineEdit* m_callerName = nullptr;
    QPushButton* m_ringButton = nullptr;
    QPushButton* m_stopRingButton = nullptr;
    QLabel* m_ringsLabel = nullptr;

    QButtonGroup* m_farEndMode = nullptr;
    QDoubleSpinBox* m_answerAfter = nullptr;
    QPushButton* m_answerButton = nullptr;
    QPushButton* m_busyButton = nullptr;
    QPushButton* m_noAnswerButton = nullptr;
    QPushButton* m_hangUpButton = nullptr;

    QPlainTextEdit* m_traffic = nullptr;
    QLineEdit* m_rawText = nullptr;
};
