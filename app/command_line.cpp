#include "app/command_line.h"

#include "gps/replay_pace.h"
#include "util/option_reader.h"

namespace vexa {

namespace {

bool parseInt(std::string_view text, int min, int max, int& value) {
    long n = 0;
    if (!readCount(text, min, max, n)) return false;
    value = static_cast<int>(n);
    return true;
}

// "240x320": each side from 240 to 4096 pixels, portrait or landscape.
bool parseScreen(std::string_view text, int& width, int& height) {
    const auto x = text.find('x');
    return x != std::string_view::npos && parseInt(text.substr(0, x), 240, 4096, width) &&
           parseInt(text.substr(x + 1), 240, 4096, height);
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    enum Option { kHelp, kVersion, kOldKeys, kMaps, kReplay, kReplaySpeed, kPort, kSnapshot, kScreen, kScale };
    static constexpr OptionDef kOptions[] = {
        {kHelp, "help", 'h'},           {kVersion, "version", 'V'},
        {kOldKeys, "old-keys"},         {kMaps, "maps", 0, true},
        {kReplay, "replay", 0, true},   {kReplaySpeed, "replay-speed", 0, true},
        {kPort, "port", 0, true},       {kSnapshot, "snapshot", 0, true},
        {kScreen, "screen", 0, true},   {kScale, "scale", 0, true},
    };
    CommandLine line;
    const ReadOptions read = readOptions(kOptions, args);
    using Kind = OptionProblem::Kind;
    switch (read.problem.kind) {
        case Kind::Unknown: line.error = "unbekanntes Argument: " + read.problem.option; break;
        case Kind::NeedsValue: line.error = read.problem.option + " braucht einen Wert"; break;
        case Kind::TakesNoValue: line.error = read.problem.option + " nimmt keinen Wert"; break;
        case Kind::None:
            if (!read.operands.empty()) line.error = "unbekanntes Argument: " + read.operands.front();
            break;
    }
    for (const OptionFound& option : read.options) {
        const std::string& value = option.value;
        switch (option.id) {
            case kHelp: line.help = true; break;
            case kVersion: line.version = true; break;
            case kOldKeys: line.oldKeys = true; break;
            case kMaps: line.maps = value; break;
            case kReplay: line.replay = value; break;
            case kPort: line.port = value; break;
            case kSnapshot: line.snapshot = value; break;
            case kReplaySpeed: {
                int speed = kReplaySpeedMax;
                if (value != "max" && (!parseInt(value, 1, 100, speed) || !isReplaySpeed(speed)))
                    line.error = "--replay-speed erwartet 1, 5, 20, 100 oder max";
                line.replaySpeed = speed;
                break;
            }
            case kScreen:
                line.screenGiven = true;
                if (!parseScreen(value, line.screenWidth, line.screenHeight))
                    line.error = "--screen erwartet BxH ab 240x240 bis 4096x4096, z.B. 240x320";
                break;
            case kScale:
                line.scaleGiven = true;
                if (!parseInt(value, 1, 8, line.scale))
                    line.error = "--scale erwartet eine ganze Zahl von 1 bis 8";
                break;
        }
        if (!line.error.empty()) break;
    }
    return line;
}

std::string usageText() {
    return "Aufruf: vexa [--maps DIR] [--replay FILE] [--port DEVICE] [--screen WxH] [--scale N]\n"
           "            [--replay-speed N|max] [--snapshot DIR] [--old-keys] [--help] [--version]\n"
           "\n"
           "  --maps DIR       Kartenverzeichnis (z.B. data/demo/maps/Karten_utm)\n"
           "  --replay FILE    NMEA-Log abspielen (wie EmulateStart/Import); läuft VEXA schon,\n"
           "                   spielt das laufende Programm die Datei ab\n"
           "  --replay-speed N Abspieltempo nach den Zeiten im Log: 1, 5, 20 oder 100-fach,\n"
           "                   max so schnell wie möglich; für diesen Lauf (sonst das im Menü\n"
           "                   gewählte, Standard 20)\n"
           "  --port DEVICE    serielles Gerät des GPS-Empfängers, z.B. /dev/ttyUSB0,\n"
           "                   oder gpsd bzw. gpsd://HOST:PORT\n"
           "  --screen WxH     Bildschirm des Geräts in Pixeln, ab 240x240, für diesen Lauf\n"
           "                   (sonst folgt er dem Fenster; Standard beim ersten Start 240x320)\n"
           "  --scale N        Vergrößerung auf dem Desktop, 1 bis 8, bleibt gespeichert\n"
           "                   (Standard nach Bildschirmgröße)\n"
           "  --snapshot DIR   ohne Anzeige: Replay bis zum Ende abspielen, PNG-Bilder der\n"
           "                   Ansichten Move, Karte, GPS und NMEA in DIR schreiben, beenden\n"
           "  --old-keys       lange Tastendrücke mit Timern (altes System)\n"
           "  -h, --help       dieser Text\n"
           "  -V, --version    die Version\n"
           "\n"
           "Rückgabewert: 0 beendet, 1 fehlgeschlagen, 2 falscher Aufruf.\n";
}

}  // namespace vexa
