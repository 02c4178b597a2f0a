#include "app/command_line.h"

#include <charconv>

#include "gps/replay_pace.h"

namespace vexa {

namespace {

bool parseInt(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

// "240x320": each side from 240 to 4096 pixels, portrait or landscape.
bool parseScreen(std::string_view text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string_view::npos) return false;
    if (!parseInt(text.substr(0, x), width) || !parseInt(text.substr(x + 1), height)) return false;
    return width >= 240 && width <= 4096 && height >= 240 && height <= 4096;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const std::string& { return args[++i]; };
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--old-keys") {
            line.oldKeys = true;
        } else if (!hasValue && (arg == "--maps" || arg == "--replay" || arg == "--port" ||
                                 arg == "--screen" || arg == "--scale" || arg == "--snapshot" ||
                                 arg == "--replay-speed")) {
            line.error = arg + " braucht einen Wert";
        } else if (arg == "--maps") {
            line.maps = value();
        } else if (arg == "--replay") {
            line.replay = value();
        } else if (arg == "--replay-speed") {
            int speed = kReplaySpeedMax;
            if (value() != "max" && (!parseInt(args[i], speed) || speed == kReplaySpeedMax || !isReplaySpeed(speed)))
                line.error = "--replay-speed erwartet 1, 5, 20, 100 oder max";
            line.replaySpeed = speed;
        } else if (arg == "--port") {
            line.port = value();
        } else if (arg == "--snapshot") {
            line.snapshot = value();
        } else if (arg == "--screen") {
            line.screenGiven = true;
            if (!parseScreen(value(), line.screenWidth, line.screenHeight))
                line.error = "--screen erwartet BxH ab 240x240 bis 4096x4096, z.B. 240x320";
        } else if (arg == "--scale") {
            line.scaleGiven = true;
            if (!parseInt(value(), line.scale) || line.scale < 1 || line.scale > 8)
                line.error = "--scale erwartet eine ganze Zahl von 1 bis 8";
        } else {
            line.error = "unbekanntes Argument: " + arg;
        }
        if (!line.error.empty()) break;
    }
    return line;
}

std::string usageText() {
    return "Aufruf: vexa [--maps DIR] [--replay FILE] [--port DEVICE] [--screen WxH] [--scale N]\n"
           "            [--replay-speed N|max] [--snapshot DIR] [--old-keys] [--help]\n"
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
           "  --old-keys       lange Tastendrücke mit Timern (altes System)\n";
}

}  // namespace vexa
