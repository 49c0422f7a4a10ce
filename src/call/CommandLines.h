#pragma once

#include <QString>

// Every command line the program writes to the modem, each ending in one carriage return.
namespace CommandLines {

// Before a dial: the voice receive tone settings.
QString prefix(); // "AT#VRN=0"
// The dial line; `blockCallerId` dials "*67," first, `disableCallWaiting` "*70,".
QString dial(const QString& number, bool blockCallerId, bool disableCallWaiting);
QString answer();                  // "ATA"
QString hangUp();                  // "ATH"
QString reset();                   // "ATZ"
QString speakerLevel(int level);   // "AT#SPK=,<level>,,"
QString microphoneGain(int gain);  // "AT#SPK=,,<gain> "
QString holdOn();                  // "AT#SPK=0,16,,"
QString holdOff(int speakerLevel); // "AT#SPK=1,<level>,0"
QString muteOn();                  // "AT#SPK=0,,,"
QString muteOff();                 // "AT#SPK=1,,,"
QString flash();                   // "AT#VTS=!"
// During a voice connection: the call goes to the telephone handset on the modem's phone jack,
// the modem staying on the line, so nothing is dropped.
QString handset(); // "AT#VLS=8"
// Back from the handset to the speakerphone, selected as `initialisationLine` selects it: firmware
// whose speakerphone is #VLS=5 refuses #VLS=6, and its user's initialisation line says so.
QString speakerphone(const QString& initialisationLine); // "AT#VLS=6" or "AT#VLS=5"
// The touch tone of keypad key `index` (0 to 8 are digits 1 to 9, 9 is "*", 10 is "0", 11 is "#").
QString tone(int index); // "AT#VBT=1#VTS=<symbol>"
// The symbol keypad key `index` stands for.
QChar keypadSymbol(int index);
// Only the characters a number can be dialled with: "0" to "9", "*", "#" and "," (a pause).
// Text from the store or the user passes through it before it can reach a dial line, so that
// nothing else (a line end would end the command early) ever does.
QString dialable(const QString& text);

} // namespace CommandLines
