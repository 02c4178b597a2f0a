#include "gps/port_failure_text.h"

#include <cerrno>

#include "util/text.h"

namespace vexa {

std::string portFailureAdvice(int error, std::string_view portName, std::string_view device) {
    const std::string shown(device.empty() ? portName : device);
    switch (error) {
    case EACCES:
    case EPERM:
        return strprintf("Keine Berechtigung für %s: Ihr Benutzer ist nicht in der Gruppe dialout.\n"
                         "Abhilfe: sudo usermod -aG dialout $USER eingeben, dann ab- und wieder "
                         "anmelden.",
                         shown.c_str());
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return strprintf("%s gibt es nicht: Ist der Empfänger eingesteckt und eingeschaltet?",
                         shown.c_str());
    case EBUSY:
        return strprintf("%s wird schon von einem anderen Programm benutzt.", shown.c_str());
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case ETIMEDOUT:
        return strprintf("gpsd antwortet nicht unter %s: Läuft gpsd?", shown.c_str());
    default:
        return {};
    }
}

}  // namespace vexa
