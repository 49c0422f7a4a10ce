#include "vmodem/Persona.h"

#include "Version.h"

#include <algorithm>
#include <array>

namespace {

std::array<Persona, 3> makePersonas() {
    Persona rockwell;
    rockwell.id = Persona::Id::Rockwell;
    rockwell.name = QStringLiteral("rockwell");
    rockwell.title = QStringLiteral("Rockwell voice modem (\"#\" voice commands)");
    rockwell.identity = "56000";
    rockwell.firmware = QByteArrayLiteral("brisvane-modem ") + brisvane::version::text + " virtual voice modem";
    rockwell.callerIdSeparator = " = ";

    // A generic CX93010 USB stick, as captured answering.
    Persona conexant;
    conexant.id = Persona::Id::Cx93001;
    conexant.name = QStringLiteral("cx93001");
    conexant.title = QStringLiteral("Conexant CX93001 USB modem (V.253 \"+V\" voice commands)");
    conexant.v253 = true;
    conexant.identity = "56000";
    conexant.firmware = "CX93001-EIS_V0.2013-V92";
    conexant.manufacturer = "+GMI: CONEXANT";
    conexant.capabilities = "+FCLASS,+MS,+ES,+DS";
    conexant.classes = "0,1,1.0,2,8";
    conexant.lineLabels = {{0, ""},   {1, "T"},   {4, "S"},   {5, "ST"},    {6, "M"},
                           {8, "S1"}, {9, "S1T"}, {11, "M1"}, {13, "M1S1T"}};
    conexant.callerIdSeparator = " = ";
    // It forgets +VCID on ATZ, even after AT&W: hosts send it again after every reset.
    conexant.callerIdSurvivesReset = false;
    conexant.speakerphoneSwitch = true;
    conexant.classReadUnterminated = true;

    // The USRobotics USR5637 with the firmware that brought voice (1.2.21 or later).
    Persona usr;
    usr.id = Persona::Id::Usr5637;
    usr.name = QStringLiteral("usr5637");
    usr.title = QStringLiteral("USRobotics USR5637 USB modem (V.253 \"+V\" voice commands)");
    usr.v253 = true;
    usr.identity = "5601";
    // Not captured: the firmware line, the manufacturer, the capabilities and the classes are
    // what such a modem usually answers.
    usr.firmware = "U.S. Robotics 56K FAX USB V1.2.23";
    usr.manufacturer = "U.S. Robotics";
    usr.capabilities = "+FCLASS,+MS,+ES,+DS";
    usr.classes = "0,1,1.0,2,8";
    // Only 7 "MST" was captured; 0 to 6 are the usual V.253 selections.
    usr.lineLabels = {{0, ""}, {1, "T"}, {2, "L"}, {3, "LT"}, {4, "S"}, {5, "ST"}, {6, "M"}, {7, "MST"}};
    usr.callerIdSeparator = "=";
    usr.unformattedPrefix = "MESG=";
    usr.callerIdSurvivesReset = true;
    usr.microphoneGain = true;
    return {rockwell, conexant, usr};
}

} // namespace

const std::array<Persona, 3>& Persona::all() {
    static const std::array<Persona, 3> personas = makePersonas();
    return personas;
}

const Persona& Persona::of(Id id) {
    return all().at(static_cast<std::size_t>(id));
}

std::optional<Persona::Id> Persona::named(const QString& name) {
    for (const Persona& persona : all()) {
        if (persona.name == name) {
            return persona.id;
        }
    }
    return std::nullopt;
}

QStringList Persona::names() {
    QStringList names;
    for (const Persona& persona : all()) {
        names << persona.name;
    }
    return names;
}

const Persona::LineLabel* Persona::label(int number) const {
    const auto found = std::find_if(lineLabels.begin(), lineLabels.end(),
                                    [number](const LineLabel& label) { return label.number == number; });
    return found == lineLabels.end() ? nullptr : &*found;
}

int Persona::lineOnlyLabel() const {
    const auto found =
        std::find_if(lineLabels.begin(), lineLabels.end(), [](const LineLabel& label) { return label.devices == "T"; });
    return found == lineLabels.end() ? 0 : found->number;
}

QByteArray Persona::lineLabelList(const QByteArray& eol) const {
    // The event masks are not modelled: every selection reports none.
    QList<QByteArray> lines;
    for (const LineLabel& label : lineLabels) {
        lines << QByteArray::number(label.number) + ",\"" + label.devices + "\",00000000,00000000,00000000";
    }
    return lines.join(eol);
}
