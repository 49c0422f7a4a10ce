#include "console/LineKeepingIniFormat.h"

#include <QHash>
#include <QIODevice>
#include <QMap>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <utility>

namespace {

// The file's text as this process last read or wrote it, passed from the reader to the writer
// inside the settings map. QSettings keeps the map it read, and after a write the map it wrote,
// and reads the file again only when another program has changed it; so the writer puts the
// text it wrote back into this shared record, and the next write starts from the lines that
// stand in the file then. A file that was absent or empty when read has no record until it is
// read again: its writes lay it out as Qt's writer does, which loses nothing, as everything in
// it came from this process.
struct FileText {
    QByteArray bytes;
};
using SharedFileText = std::shared_ptr<FileText>;

// QSettings strips the leading slash from every key a caller gives it, so no caller can read,
// write or remove this entry.
const QString FileTextKey = QStringLiteral("/file text");

struct Line {
    enum class Kind { Other, Group, Key };

    QByteArray text; // without its line feed; a carriage return before it stays
    bool terminated = true;
    Kind kind = Kind::Other;
    QString group;    // the group the line opens (Group) or stands in (Key); empty for General
    QString key;      // Key: the full key, "Group/Key"
    QByteArray value; // Key: the bytes after the '='
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isHexDigit(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

quint32 hexValue(char c) {
    return c <= '9' ? quint32(c - '0') : quint32((c | 0x20) - 'a' + 10);
}

// ---- Names: Qt's %-escapes, with a backslash for '/'

QString unescapedName(QByteArrayView name) {
    QString result;
    QByteArray pending; // raw bytes, UTF-8
    const auto flush = [&] {
        result += QString::fromUtf8(pending);
        pending.clear();
    };
    qsizetype i = 0;
    while (i < name.size()) {
        const char c = name[i];
        if (c == '\\') {
            flush();
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c == '%' && i + 1 < name.size()) {
            const qsizetype digits = name[i + 1] == 'U' ? 4 : 2;
            const qsizetype first = i + 1 + (digits == 4 ? 1 : 0);
            bool ok = false;
            const uint code = first + digits <= name.size() ? name.sliced(first, digits).toUInt(&ok, 16) : 0;
            if (ok) {
                flush();
                result += QChar(char16_t(code));
                i = first + digits;
                continue;
            }
        }
        pending += c;
        ++i;
    }
    flush();
    return result;
}

QByteArray escapedName(const QString& name) {
    QByteArray result;
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            result += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                   c == '.') {
            result += char(c);
        } else if (c <= 0xFF) {
            result += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            result += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return result;
}

QString groupOfHeader(QByteArrayView name) {
    if (name.compare("general", Qt::CaseInsensitive) == 0) {
        return {};
    }
    if (name.compare("%general", Qt::CaseInsensitive) == 0) {
        return QString::fromLatin1(name.sliced(1));
    }
    return unescapedName(name);
}

QByteArray header(const QString& group) {
    if (group.isEmpty()) {
        return "[General]";
    }
    const QByteArray name = escapedName(group);
    return name.compare("general", Qt::CaseInsensitive) == 0 ? QByteArray("[%General]") : '[' + name + ']';
}

// ---- Values as Qt's INI reader decodes them

char16_t simpleEscape(char c) {
    switch (c) {
    case 'a':
        return u'\a';
    case 'b':
        return u'\b';
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    case '"':
    case '?':
    case '\'':
    case '\\':
        return char16_t(c);
    default:
        return 0;
    }
}

// The value up to a ';' outside quotes, where Qt's line reader ends the line.
QByteArrayView withoutComment(QByteArrayView value) {
    bool quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            ++i;
        } else if (value[i] == '"') {
            quoted = !quoted;
        } else if (value[i] == ';' && !quoted) {
            return value.first(i);
        }
    }
    return value;
}

// The text of a value, or its items when an unquoted comma makes it a list.
struct Unescaped {
    QStringList items;
    bool isList = false;
};

Unescaped unescaped(QByteArrayView s) {
    Unescaped result;
    QString current;
    bool inQuotes = false;
    bool currentQuoted = false;
    // Blanks at the end of an unquoted text are dropped, but not those an escape produced.
    qsizetype keep = 0;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < s.size() && isBlank(s[i])) {
            ++i;
        }
        keep = current.size();
    };
    const auto chopBlanks = [&] {
        if (!currentQuoted) {
            while (current.size() > keep &&
                   (current.back() == QLatin1Char(' ') || current.back() == QLatin1Char('\t'))) {
                current.chop(1);
            }
        }
    };
    // An escape cut short by the end of the value ends it as it stands.
    const auto finish = [&] {
        result.items.append(current);
        return result;
    };
    skipBlanks();
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\') {
            if (++i >= s.size()) {
                return finish();
            }
            const char escaped = s[i++];
            if (const char16_t simple = simpleEscape(escaped)) {
                current += QChar(simple);
            } else if (escaped == 'x' || (escaped >= '0' && escaped <= '7')) {
                const bool hex = escaped == 'x';
                const auto isDigit = [hex](char d) { return hex ? isHexDigit(char16_t(d)) : d >= '0' && d <= '7'; };
                if (hex && (i >= s.size() || !isDigit(s[i]))) {
                    if (i >= s.size()) {
                        return finish();
                    }
                } else {
                    quint32 code = hex ? 0 : quint32(escaped - '0');
                    for (; i < s.size() && isDigit(s[i]); ++i) {
                        code = code * (hex ? 16 : 8) + hexValue(s[i]);
                    }
                    current += QChar(char16_t(code));
                    if (i >= s.size()) {
                        return finish();
                    }
                }
            } else if (escaped == '\n' || escaped == '\r') {
                if (i < s.size() && (s[i] == '\n' || s[i] == '\r') && s[i] != escaped) {
                    ++i;
                }
            }
            // Any other escaped character is dropped, as Qt drops it.
            keep = current.size();
            continue;
        }
        if (c == '"') {
            ++i;
            currentQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
            }
            continue;
        }
        if (c == ',' && !inQuotes) {
            chopBlanks();
            result.isList = true;
            result.items.append(current);
            current.clear();
            currentQuoted = false;
            ++i;
            skipBlanks();
            continue;
        }
        qsizetype end = i + 1;
        while (end < s.size() && s[end] != '\\' && s[end] != '"' && s[end] != ',') {
            ++end;
        }
        current += QString::fromUtf8(s.sliced(i, end - i));
        i = end;
    }
    chopBlanks();
    return finish();
}

const QString ByteArrayPrefix = QStringLiteral("@ByteArray(");
const QString StringPrefix = QStringLiteral("@String(");
const QString Invalid = QStringLiteral("@Invalid()");

QVariant decodedText(const QString& text) {
    if (!text.startsWith(QLatin1Char('@'))) {
        return text;
    }
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(ByteArrayPrefix)) {
            return QStringView(text).sliced(ByteArrayPrefix.size()).chopped(1).toLatin1();
        }
        if (text.startsWith(StringPrefix)) {
            return QStringView(text).sliced(StringPrefix.size()).chopped(1).toString();
        }
        if (text == Invalid) {
            return {};
        }
    }
    return text.startsWith(QStringLiteral("@@")) ? text.mid(1) : text;
}

QVariant decodedList(const QStringList& items) {
    QStringList texts;
    for (const QString& item : items) {
        if (item.startsWith(QLatin1Char('@')) && !item.startsWith(QStringLiteral("@@"))) {
            QVariantList variants;
            for (const QString& each : items) {
                variants.append(decodedText(each));
            }
            return variants;
        }
        texts.append(item.startsWith(QLatin1Char('@')) ? item.mid(1) : item);
    }
    return texts;
}

QVariant valueOf(QByteArrayView bytes) {
    const QString text = QString::fromUtf8(bytes).trimmed();
    if (!text.startsWith(QLatin1Char('"')) && !text.startsWith(QLatin1Char('@')) && !text.contains(QLatin1Char('\\'))) {
        return text;
    }
    const Unescaped value = unescaped(withoutComment(bytes));
    return value.isList ? decodedList(value.items) : decodedText(value.items.first());
}

// ---- Values as Qt's INI writer encodes them

// Qt's writer passes the characters it does not escape one at a time through one UTF-8 encoder,
// which holds a surrogate back until the next such character: with a low surrogate after a high
// one it makes one character, else a replacement character; a surrogate at the end is dropped.
class Utf8Encoder {
public:
    QByteArray encoded(char16_t c) {
        QByteArray result;
        if (m_held != 0) {
            const char16_t held = std::exchange(m_held, char16_t(0));
            if (QChar::isHighSurrogate(held) && QChar::isLowSurrogate(c)) {
                const QChar pair[] = {QChar(held), QChar(c)};
                return QStringView(pair, 2).toUtf8();
            }
            result = QByteArrayLiteral("\xEF\xBF\xBD");
        }
        if (QChar::isSurrogate(c)) {
            m_held = c;
        } else {
            result += QString(QChar(c)).toUtf8();
        }
        return result;
    }

private:
    char16_t m_held = 0;
};

QByteArray escapedText(const QString& text) {
    // Qt writes these latin-1 forms byte for byte, everything else as UTF-8.
    const bool utf8 = !text.startsWith(ByteArrayPrefix) && !text.startsWith(QStringLiteral("@Variant(")) &&
                      !text.startsWith(QStringLiteral("@DateTime("));
    Utf8Encoder encoder;
    QByteArray result;
    bool needsQuotes = false;
    // After a numeric escape a hex digit would read as part of it, so it is escaped too.
    bool escapeHexDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        if (escapeHexDigit && isHexDigit(c)) {
            result += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case 0:
            result += "\\0";
            escapeHexDigit = true;
            break;
        case '\a':
            result += "\\a";
            break;
        case '\b':
            result += "\\b";
            break;
        case '\f':
            result += "\\f";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\v':
            result += "\\v";
            break;
        case '"':
        case '\\':
            result += '\\';
            result += char(c);
            break;
        default:
            if (c <= 0x1F || (c >= 0x7F && !utf8)) {
                result += "\\x" + QByteArray::number(c, 16);
                escapeHexDigit = true;
            } else if (utf8) {
                result += encoder.encoded(c);
            } else {
                result += char(c);
            }
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' ')) {
        result = '"' + result + '"';
    }
    return result;
}

QString textForm(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return Invalid;
    case QMetaType::QByteArray:
        return ByteArrayPrefix + QString::fromLatin1(value.toByteArray()) + QLatin1Char(')');
    default: {
        // Strings, numbers and switches; the program stores nothing else.
        const QString text = value.toString();
        if (text.contains(QChar::Null)) {
            return StringPrefix + text + QLatin1Char(')');
        }
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    }
}

QByteArray encodedValue(const QVariant& value) {
    const int type = value.metaType().id();
    if (type != QMetaType::QStringList && (type != QMetaType::QVariantList || value.toList().size() == 1)) {
        return escapedText(textForm(value));
    }
    const QVariantList items = value.toList();
    if (items.isEmpty()) {
        return Invalid.toLatin1();
    }
    QByteArrayList texts;
    for (const QVariant& item : items) {
        texts.append(escapedText(textForm(item)));
    }
    return texts.join(", ");
}

// ---- Lines

QList<Line> parsedLines(const QByteArray& bytes) {
    QList<Line> lines;
    QString group;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        Line line;
        line.terminated = end >= 0;
        if (end < 0) {
            end = bytes.size();
        }
        line.text = bytes.sliced(pos, end - pos);
        pos = end + 1;

        QByteArrayView content = line.text;
        if (content.endsWith('\r')) {
            content.chop(1);
        }
        if (lines.isEmpty() && content.startsWith("\xEF\xBB\xBF")) {
            content = content.sliced(3);
        }
        // Qt's reader keeps the blanks at the end of a line: a quoted value keeps what follows it.
        const QByteArrayView untrimmed = content;
        content = content.trimmed();
        if (content.isEmpty() || content.front() == ';' || content.front() == '#') {
            // blank or comment
        } else if (content.front() == '[') {
            const qsizetype close = content.indexOf(']');
            group = groupOfHeader(content.sliced(1, (close < 0 ? content.size() : close) - 1).trimmed());
            line.kind = Line::Kind::Group;
            line.group = group;
        } else if (const qsizetype equals = content.indexOf('='); equals > 0) {
            const QString key = unescapedName(content.first(equals).trimmed());
            line.kind = Line::Kind::Key;
            line.group = group;
            line.key = group.isEmpty() ? key : group + QLatin1Char('/') + key;
            line.value = untrimmed.sliced(untrimmed.indexOf('=') + 1).toByteArray();
        }
        lines.append(line);
    }
    return lines;
}

bool isBlankLine(const Line& line) {
    return line.kind == Line::Kind::Other && line.text.trimmed().isEmpty();
}

// Where a new key of `group` goes: after the last key of the group's last section, or after
// its header when it has no key; -1 when the file has no section of that name. Keys above the
// first header belong to General.
qsizetype insertionPoint(const QList<Line>& lines, const QString& group) {
    qsizetype point = -1;
    bool inGroup = group.isEmpty();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Kind::Group) {
            inGroup = lines[i].group == group;
            if (inGroup) {
                point = i + 1;
            }
        } else if (lines[i].kind == Line::Kind::Key && inGroup) {
            point = i + 1;
        }
    }
    return point;
}

Line newLine(QByteArray text, Line::Kind kind = Line::Kind::Other, const QString& group = {}) {
    Line line;
    line.text = std::move(text);
    line.kind = kind;
    line.group = group;
    return line;
}

QByteArray keyLine(const QString& key, const QString& group, const QVariant& value) {
    return escapedName(group.isEmpty() ? key : key.mid(group.size() + 1)) + '=' + encodedValue(value);
}

} // namespace

namespace LineKeepingIniFormat {

QSettings::Format format() {
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("conf"), &read, &write, Qt::CaseSensitive);
    return registered;
}

bool read(QIODevice& device, QSettings::SettingsMap& map) {
    const auto text = std::make_shared<FileText>(FileText{device.readAll()});
    for (const Line& line : parsedLines(text->bytes)) {
        if (line.kind == Line::Kind::Key) {
            map.insert(line.key, valueOf(line.value));
        }
    }
    map.insert(FileTextKey, QVariant::fromValue(text));
    return true;
}

bool write(QIODevice& device, const QSettings::SettingsMap& map) {
    const auto text = map.value(FileTextKey).value<SharedFileText>();
    QSettings::SettingsMap values = map;
    values.remove(FileTextKey);

    const QList<Line> lines = text ? parsedLines(text->bytes) : QList<Line>();
    QHash<QString, qsizetype> decidingLine; // the last line of each key
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Kind::Key) {
            decidingLine.insert(lines[i].key, i);
        }
    }

    QList<Line> kept;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Line line = lines[i];
        if (line.kind == Line::Kind::Key) {
            const auto value = values.constFind(line.key);
            if (value == values.cend()) {
                continue; // removed
            }
            // An earlier line of a key that is set again further down means nothing; it stays.
            if (decidingLine.value(line.key) == i && valueOf(line.value) != *value) {
                const bool crlf = line.text.endsWith('\r');
                line.text = keyLine(line.key, line.group, *value) + (crlf ? "\r" : "");
            }
        }
        kept.append(line);
    }

    // New keys, in the map's (Qt's) order, by group.
    QMap<QString, QList<Line>> added;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!decidingLine.contains(it.key())) {
            const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
            const QString group = slash < 0 ? QString() : it.key().left(slash);
            added[group].append(newLine(keyLine(it.key(), group, it.value()), Line::Kind::Key, group));
        }
    }
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        qsizetype point = insertionPoint(kept, it.key());
        if (point < 0) {
            if (!kept.isEmpty() && !isBlankLine(kept.back())) {
                kept.back().terminated = true;
                kept.append(newLine({}));
            }
            kept.append(newLine(header(it.key()), Line::Kind::Group, it.key()));
            point = kept.size();
        }
        kept[point - 1].terminated = true;
        for (const Line& line : it.value()) {
            kept.insert(point++, line);
        }
    }

    QByteArray bytes;
    for (const Line& line : kept) {
        bytes += line.text;
        if (line.terminated) {
            bytes += '\n';
        }
    }
    if (device.write(bytes) != bytes.size()) {
        return false;
    }
    if (text) {
        text->bytes = bytes;
    }
    return true;
}

} // namespace LineKeepingIniFormat
