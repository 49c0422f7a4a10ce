#include "window/ModemWindow.h"

#include "vmodem/ByteText.h"
#include "vmodem/ModemSession.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

enum FarEndChoice { AnswersAfter, AnswersWhenTold, IsBusy, DoesNotAnswer };
enum PresentationChoice { WithNumber, Private, OutOfArea, NoCallerId };

QString lineDevice(int device) {
    static const char* const names[] = {
        "telephone line",      "handset",      "speaker", "microphone",      "line and speaker",
        "telephone emulation", "speakerphone", "muted",   "caller-ID relay", "handset to codec"};
    return device >= 0 && device <= 9 ? QLatin1String(names[device]) : QString();
}

QString serviceClass(int value) {
    switch (value) {
    case 0:
        return QStringLiteral("data");
    case 1:
    case 2:
        return QStringLiteral("fax");
    case 8:
        return QStringLiteral("voice");
    default:
        return QString();
    }
}

QLabel* valueLabel() {
    auto* label = new QLabel;
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

ModemWindow::ModemWindow(ModemSession& session, QWidget* parent)
    : QMainWindow(parent)
    , m_session(session) {
    setWindowTitle(QStringLiteral("Brisvane virtual modem - %1").arg(session.ptyPath()));

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildLineBar());
    auto* row = new QHBoxLayout;
    row->addWidget(buildModemBox(), 5);
    row->addWidget(buildIncomingBox(), 4);
    row->addWidget(buildFarEndBox(), 4);
    layout->addLayout(row);
    layout->addWidget(buildTrafficBox(), 1);
    setCentralWidget(central);
    statusBar()->showMessage(QStringLiteral("Open %1 as the modem's serial port.").arg(session.ptyPath()));

    connect(&session.modem(), &VirtualModem::statusChanged, this, &ModemWindow::refreshStatus);
    connect(&session, &ModemSession::hostAttachedChanged, this, &ModemWindow::refreshHost);
    connect(&session.log(), &TrafficLog::logged, this, &ModemWindow::appendTraffic);
    refreshStatus();
    refreshHost();
    resize(1000, 700);
}

QWidget* ModemWindow::buildLineBar() {
    auto* box = new QGroupBox(QStringLiteral("Serial line"));
    auto* layout = new QHBoxLayout(box);
    auto* device = new QLabel(QStringLiteral("Device: <b>%1</b>").arg(m_session.ptyPath().toHtmlEscaped()));
    device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(device);
    if (!m_session.linkPath().isEmpty()) {
        auto* link = new QLabel(QStringLiteral("Link: <b>%1</b>").arg(m_session.linkPath().toHtmlEscaped()));
        link->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addSpacing(24);
        layout->addWidget(link);
    }
    layout->addStretch(1);
    m_hostLabel = new QLabel;
    layout->addWidget(m_hostLabel);
    return box;
}

QWidget* ModemWindow::buildModemBox() {
    auto* box = new QGroupBox(QStringLiteral("Modem"));
    auto* form = new QFormLayout(box);
    m_persona = new QComboBox;
    m_persona->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_persona->setMinimumContentsLength(16);
    for (const Persona& persona : Persona::all()) {
        m_persona->addItem(QStringLiteral("%1: %2").arg(persona.name, persona.title), static_cast<int>(persona.id));
        m_persona->setItemData(m_persona->count() - 1, persona.title, Qt::ToolTipRole);
    }
    m_persona->setToolTip(QStringLiteral("The modem to play. Another one starts afresh, as if plugged in."));
    form->addRow(QStringLiteral("Persona:"), m_persona);
    connect(m_persona, &QComboBox::activated, this, &ModemWindow::choosePersona);
    const std::pair<const char*, QLabel**> rows[] = {
        {"Hook:", &m_hookValue},
        {"Call:", &m_callValue},
        {"Class:", &m_classValue},
        {"Voice mode:", &m_voiceValue},
        {"Line device:", &m_deviceValue},
        {"Caller ID:", &m_callerIdValue},
        {"Echo:", &m_echoValue},
        {"Speakerphone:", &m_speakerValue},
        {"Last dialled:", &m_dialledValue},
    };
    for (const auto& [caption, label] : rows) {
        *label = valueLabel();
        form->addRow(QLatin1String(caption), *label);
    }
    return box;
}

QWidget* ModemWindow::buildIncomingBox() {
    auto* box = new QGroupBox(QStringLiteral("Incoming call"));
    auto* form = new QFormLayout(box);
    m_presentation = new QComboBox;
    m_presentation->addItems({QStringLiteral("Number and name"), QStringLiteral("Private"),
                              QStringLiteral("Out of area"), QStringLiteral("No caller ID")});
    // Caller-ID numbers arrive with their area code: ten digits on North American lines.
    m_callerNumber = new QLineEdit(QStringLiteral("4075551212"));
    m_callerName = new QLineEdit(QStringLiteral("SMITH,ANN"));
    m_callerName->setPlaceholderText(QStringLiteral("(no name)"));
    form->addRow(QStringLiteral("Caller ID:"), m_presentation);
    form->addRow(QStringLiteral("Number:"), m_callerNumber);
    form->addRow(QStringLiteral("Name:"), m_callerName);

    m_ringButton = new QPushButton(QStringLiteral("Ring"));
    m_stopRingButton = new QPushButton(QStringLiteral("Caller hangs up"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ringButton);
    buttons->addWidget(m_stopRingButton);
    form->addRow(buttons);
    m_ringsLabel = valueLabel();
    form->addRow(QStringLiteral("Rings:"), m_ringsLabel);

    connect(m_presentation, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_callerNumber->setEnabled(index == WithNumber);
        m_callerName->setEnabled(index == WithNumber);
    });
    connect(m_ringButton, &QPushButton::clicked, this, &ModemWindow::ring);
    connect(m_stopRingButton, &QPushButton::clicked, this, [this] {
        QString why;
        report(m_session.modem().stopRinging(&why), why);
    });
    return box;
}

QWidget* ModemWindow::buildFarEndBox() {
    auto* box = new QGroupBox(QStringLiteral("Outgoing call: the far end"));
    auto* layout = new QVBoxLayout(box);
    m_farEndMode = new QButtonGroup(this);
    auto* answersAfter = new QRadioButton(QStringLiteral("Answers after"));
    m_answerAfter = new QDoubleSpinBox;
    m_answerAfter->setRange(0, 120);
    m_answerAfter->setDecimals(1);
    m_answerAfter->setSuffix(QStringLiteral(" s"));
    auto* afterRow = new QHBoxLayout;
    afterRow->addWidget(answersAfter);
    afterRow->addWidget(m_answerAfter);
    afterRow->addStretch(1);
    layout->addLayout(afterRow);
    m_farEndMode->addButton(answersAfter, AnswersAfter);
    const std::pair<const char*, int> others[] = {
        {"Answers when I click Answer", AnswersWhenTold}, {"Is busy", IsBusy}, {"Does not answer", DoesNotAnswer}};
    for (const auto& [caption, id] : others) {
        auto* button = new QRadioButton(QLatin1String(caption));
        m_farEndMode->addButton(button, id);
        layout->addWidget(button);
    }

    const ModemConfig& config = m_session.modem().config();
    m_answerAfter->setValue(config.answerAfterMs >= 0 ? config.answerAfterMs / 1000.0 : 3.0);
    switch (config.farEnd) {
    case ModemConfig::FarEnd::Answer:
        m_farEndMode->button(config.answerAfterMs >= 0 ? AnswersAfter : AnswersWhenTold)->setChecked(true);
        break;
    case ModemConfig::FarEnd::Busy:
        m_farEndMode->button(IsBusy)->setChecked(true);
        break;
    case ModemConfig::FarEnd::NoAnswer:
        m_farEndMode->button(DoesNotAnswer)->setChecked(true);
        break;
    }
    connect(m_farEndMode, &QButtonGroup::idClicked, this, &ModemWindow::applyFarEnd);
    connect(m_answerAfter, &QDoubleSpinBox::valueChanged, this, &ModemWindow::applyFarEnd);

    auto* now = new QLabel(QStringLiteral("Now:"));
    layout->addSpacing(6);
    layout->addWidget(now);
    auto* grid = new QHBoxLayout;
    m_answerButton = new QPushButton(QStringLiteral("Answer"));
    m_busyButton = new QPushButton(QStringLiteral("Busy"));
    m_noAnswerButton = new QPushButton(QStringLiteral("No answer"));
    m_hangUpButton = new QPushButton(QStringLiteral("Hang up"));
    for (QPushButton* button : {m_answerButton, m_busyButton, m_noAnswerButton, m_hangUpButton}) {
        grid->addWidget(button);
    }
    layout->addLayout(grid);
    layout->addStretch(1);

    const auto act = [this](bool (VirtualModem::*action)(QString*)) {
        return [this, action] {
            QString why;
            report((m_session.modem().*action)(&why), why);
        };
    };
    connect(m_answerButton, &QPushButton::clicked, this, act(&VirtualModem::farEndAnswers));
    connect(m_busyButton, &QPushButton::clicked, this, act(&VirtualModem::farEndBusy));
    connect(m_noAnswerButton, &QPushButton::clicked, this, act(&VirtualModem::farEndDoesNotAnswer));
    connect(m_hangUpButton, &QPushButton::clicked, this, act(&VirtualModem::farEndHangsUp));
    m_answerAfter->setEnabled(m_farEndMode->checkedId() == AnswersAfter);
    return box;
}

QWidget* ModemWindow::buildTrafficBox() {
    auto* box = new QGroupBox(QStringLiteral("Line traffic"));
    auto* layout = new QVBoxLayout(box);
    auto* legend = new QLabel(QStringLiteral("<span style='color:#1a4f9c'>host &rarr; modem</span> &nbsp; "
                                             "<span style='color:#1d7a35'>modem &rarr; host</span> &nbsp; "
                                             "<span style='color:#777'><i>what happened</i></span> &nbsp; "
                                             "\\r carriage return, \\n line feed, \\xNN other bytes"));
    layout->addWidget(legend);
    m_traffic = new QPlainTextEdit;
    m_traffic->setReadOnly(true);
    m_traffic->setMaximumBlockCount(5000);
    m_traffic->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_traffic->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(m_traffic, 1);

    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(new QLabel(QStringLiteral("Send to host:")));
    m_rawText = new QLineEdit;
    m_rawText->setPlaceholderText(QStringLiteral("raw bytes, e.g. \\r\\nRING\\r\\n or \\x10b"));
    sendRow->addWidget(m_rawText, 1);
    auto* send = new QPushButton(QStringLiteral("Send"));
    auto* clear = new QPushButton(QStringLiteral("Clear log"));
    sendRow->addWidget(send);
    sendRow->addSpacing(24);
    sendRow->addWidget(clear);
    layout->addLayout(sendRow);

    connect(send, &QPushButton::clicked, this, &ModemWindow::sendToHost);
    connect(m_rawText, &QLineEdit::returnPressed, this, &ModemWindow::sendToHost);
    connect(clear, &QPushButton::clicked, m_traffic, &QPlainTextEdit::clear);
    return box;
}

void ModemWindow::refreshStatus() {
    const ModemStatus s = m_session.modem().status();
    m_hookValue->setText(s.offHook() ? QStringLiteral("<b>off hook</b>") : QStringLiteral("on hook"));

    QString call = ModemStatus::phaseText(s.phase);
    if (s.phase == CallPhase::Ringing) {
        call += QStringLiteral(": %1").arg(s.caller.describe());
    } else if (s.phase == CallPhase::Connected || s.phase == CallPhase::FarEndGone) {
        call += s.incoming ? QStringLiteral(" with caller %1").arg(s.caller.describe())
                           : QStringLiteral(" with %1").arg(QString::fromLatin1(s.dialled));
    } else if (s.phase == CallPhase::Dialling || s.phase == CallPhase::Ringback) {
        call += QStringLiteral(": %1").arg(QString::fromLatin1(s.dialled));
    }
    m_callValue->setText(call.toHtmlEscaped());
    const Persona& persona = Persona::of(s.persona);
    m_persona->setCurrentIndex(m_persona->findData(static_cast<int>(s.persona)));
    const QString classValue = s.classPointZero ? QStringLiteral("1.0") : QString::number(s.serviceClass);
    m_classValue->setText(
        QStringLiteral("%1=%2 %3").arg(persona.classCommand(), classValue, serviceClass(s.serviceClass)));
    static const char* const callerIdModes[] = {"off", "formatted", "unformatted"};
    m_callerIdValue->setText(QStringLiteral("%1=%2 %3")
                                 .arg(persona.callerIdCommand())
                                 .arg(s.callerIdMode)
                                 .arg(QLatin1String(callerIdModes[s.callerIdMode % 3])));
    m_echoValue->setText(s.echo ? QStringLiteral("on") : QStringLiteral("off"));
    if (persona.v253) {
        m_voiceValue->setText(s.voiceOnline ? QStringLiteral("<b>voice, off hook</b>")
                                            : QStringLiteral("command mode"));
        const Persona::LineLabel* label = persona.label(s.lineSelect);
        m_deviceValue->setText(QStringLiteral("+VLS=%1 \"%2\"")
                                   .arg(s.lineSelect)
                                   .arg(label ? QString::fromLatin1(label->devices) : QString()));
        QString levels = QStringLiteral("speaker level %1").arg(s.speakerLevel);
        if (persona.microphoneGain) {
            levels += QStringLiteral(", mic gain %1").arg(s.microphoneLevel);
        }
        if (persona.speakerphoneSwitch) {
            levels += s.speakerphoneOn ? QStringLiteral(", speakerphone on") : QStringLiteral(", speakerphone off");
        }
        m_speakerValue->setText(levels);
    } else {
        m_voiceValue->setText(s.voiceOnline ? QStringLiteral("<b>online voice command mode (VCON)</b>")
                                            : QStringLiteral("command mode"));
        m_deviceValue->setText(QStringLiteral("#VLS=%1 %2").arg(s.lineSelect).arg(lineDevice(s.lineSelect)));
        static const char* const microphone[] = {"microphone muted", "microphone on", "room monitor"};
        const QString speaker = s.speakerAttenuation >= 16
                                    ? QStringLiteral("speaker muted")
                                    : QStringLiteral("speaker %1 dB down").arg(s.speakerAttenuation * 2);
        m_speakerValue->setText(QStringLiteral("%1, %2, mic gain %3")
                                    .arg(QLatin1String(microphone[s.microphone % 3]), speaker)
                                    .arg(s.microphoneGain));
    }
    m_dialledValue->setText(s.dialled.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(s.dialled));

    m_ringsLabel->setText(s.phase == CallPhase::Ringing
                              ? QStringLiteral("%1 of %2").arg(s.ringsSent).arg(s.ringsBeforeGivingUp)
                              : QStringLiteral("-"));
    m_ringButton->setEnabled(s.phase == CallPhase::Idle);
    m_stopRingButton->setEnabled(s.phase == CallPhase::Ringing);
    const bool outgoing = s.phase == CallPhase::Dialling || s.phase == CallPhase::Ringback;
    m_answerButton->setEnabled(outgoing);
    m_busyButton->setEnabled(outgoing);
    m_noAnswerButton->setEnabled(outgoing);
    m_hangUpButton->setEnabled(s.phase == CallPhase::Connected);
}

void ModemWindow::choosePersona() {
    const auto id = static_cast<Persona::Id>(m_persona->currentData().toInt());
    if (id != m_session.modem().config().persona) {
        m_session.modem().setPersona(id);
        statusBar()->showMessage(QStringLiteral("Another modem on the line: calls and settings start afresh."), 8000);
    }
}

void ModemWindow::refreshHost() {
    m_hostLabel->setText(
        m_session.hostAttached()
            ? QStringLiteral("Host: <span style='color:#1d7a35'>&#9679;</span> line open")
            : QStringLiteral("Host: <span style='color:#999'>&#9675;</span> nobody has the line open"));
}

void ModemWindow::appendTraffic(const QTime& time, TrafficLog::Kind kind, const QString& text) {
    QString direction;
    QString colour;
    switch (kind) {
    case TrafficLog::Kind::Host:
        direction = QStringLiteral("host  &rarr;");
        colour = QStringLiteral("#1a4f9c");
        break;
    case TrafficLog::Kind::Modem:
        direction = QStringLiteral("modem &rarr;");
        colour = QStringLiteral("#1d7a35");
        break;
    case TrafficLog::Kind::LostModem:
        direction = QStringLiteral("modem &rarr;");
        colour = QStringLiteral("#999999");
        break;
    case TrafficLog::Kind::Note:
        direction = QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
        colour = QStringLiteral("#777777");
        break;
    }
    QString body = text.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    if (kind == TrafficLog::Kind::Note) {
        body = QStringLiteral("<i>%1</i>").arg(body);
    } else if (kind == TrafficLog::Kind::LostModem) {
        body += QStringLiteral(" <i>(lost: no host has the line open)</i>");
    }
    m_traffic->appendHtml(QStringLiteral("<span style='color:#888'>%1</span> <span style='color:%2'>%3 %4</span>")
                              .arg(time.toString(QStringLiteral("HH:mm:ss.zzz")), colour, direction, body));
}

void ModemWindow::ring() {
    CallerId caller;
    switch (m_presentation->currentIndex()) {
    case WithNumber:
        if (m_callerNumber->text().trimmed().isEmpty()) {
            report(false, QStringLiteral("Enter the caller's number, or choose \"No caller ID\"."));
            return;
        }
        caller = CallerId::number(m_callerNumber->text(), m_callerName->text());
        break;
    case Private:
        caller = CallerId::withheld();
        break;
    case OutOfArea:
        caller = CallerId::outOfArea();
        break;
    default:
        break;
    }
    QString why;
    report(m_session.modem().ring(caller, &why), why);
}

void ModemWindow::sendToHost() {
    const auto bytes = ByteText::unescape(m_rawText->text());
    if (!bytes || bytes->isEmpty()) {
        report(false, QStringLiteral("Nothing to send, or a malformed escape (use \\r \\n \\t \\\\ \\xNN)."));
        return;
    }
    m_session.modem().sendRaw(*bytes);
    m_rawText->clear();
}

void ModemWindow::applyFarEnd() {
    const int answerAfterMs = static_cast<int>(m_answerAfter->value() * 1000);
    switch (m_farEndMode->checkedId()) {
    case AnswersAfter:
        m_session.modem().setFarEnd(ModemConfig::FarEnd::Answer, answerAfterMs);
        break;
    case AnswersWhenTold:
        m_session.modem().setFarEnd(ModemConfig::FarEnd::Answer, -1);
        break;
    case IsBusy:
        m_session.modem().setFarEnd(ModemConfig::FarEnd::Busy, answerAfterMs);
        break;
    case DoesNotAnswer:
        m_session.modem().setFarEnd(ModemConfig::FarEnd::NoAnswer, answerAfterMs);
        break;
    default:
        break;
    }
    m_answerAfter->setEnabled(m_farEndMode->checkedId() == AnswersAfter);
}

void ModemWindow::report(bool done, const QString& why) {
    if (done) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(why, 8000);
    }
}
