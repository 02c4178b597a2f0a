// What a failed "GPS Start" tells the user beyond "Fehler bei Open GPS-Port": the cause in
// plain German and what to do about it, for the errors a desktop user actually meets.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Empty for errors that have no advice beyond the report line in the NMEA list.
std::string portFailureAdvice(int error, std::string_view portName, std::string_view device);

}  // namespace vexa
