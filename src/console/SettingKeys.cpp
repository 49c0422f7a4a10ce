#include "console/SettingKeys.h"

#include <limits>
#include <utility>

namespace Convert {

std::optional<qint16> toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}

std::optional<bool> toBoolean(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool ok = false;
    const double number = t.toDouble(&ok);
    if (ok) {
        return number != 0.0;
    }
    return std::nullopt;
}

QString fromBoolean(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace Convert

namespace Settings {

namespace {
QString latin1(const char* text) {
    return *text ? QString::fromLatin1(text) : QString();
}
} // namespace

Key::Key(const QString& section_, const char* name_, Form form_, const char* loadDefault_, const char* setupDefault_)
    : Key(section_, latin1(name_), form_, latin1(loadDefault_), latin1(setupDefault_)) {}

Key::Key(QString section_, QString name_, Form form_, QString loadDefault_, QString setupDefault_)
    : section(std::move(section_))
    , name(std::move(name_))
    , form(form_)
    , loadDefault(std::move(loadDefault_))
    , setupDefault(std::move(setupDefault_)) {}

Key phoneBookName(int index) {
    return {PhoneBook, QString::number(index), Form::Text, QString(), QString()};
}

Key phoneBookNumber(int index) {
    return {PhoneBook, QString::number(index) + QLatin1Char('a'), Form::Text, QString(), QString()};
}

Key portDevice(int portNumber) {
    const QString usual = portNumber >= 1 ? QStringLiteral("/dev/ttyS%1").arg(portNumber - 1) : QString();
    return {Ports, QString::number(portNumber), Form::DevicePath, usual, usual};
}

QStringList choicesOf(const Key& key) {
    if (key.name == CommandSet.name) {
        return {Rockwell, V253, Detect};
    }
    if (key.name == TalkThrough.name) {
        return {Speakerphone, Telephone};
    }
    return {};
}

QList<Key> all() {
    QList<Key> keys{Port,
                    IntString,
                    AutoOn,
                    CallerID,
                    CallerIDString,
                    AutoAns,
                    DisCID,
                    DisCW,
                    Speaker,
                    LastDialed,
                    CommandSet,
                    V253IntString,
                    V253CallerIDString,
                    TalkThrough,
                    CallForward,
                    CallForwardCancel,
                    Repeat,
                    RepeatCancel,
                    LastCaller,
                    LastCallerCancel,
                    BlockPrivate,
                    BlockOutOfArea,
                    HangUpBlocked};
    for (int i = 0; i < PhoneBookEntryCount; ++i) {
        keys << phoneBookName(i) << phoneBookNumber(i);
    }
    for (int port = 1; port <= PortCount; ++port) {
        keys << portDevice(port);
    }
    return keys;
}

bool isExactlyTrue(const QString& switchText) {
    return switchText == QLatin1String("True");
}

bool readsAsTrue(const QString& switchText) {
    return Convert::toBoolean(switchText).value_or(false);
}

} // namespace Settings
