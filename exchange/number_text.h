// Numbers in exchange files: read without the C locale's help (a German locale must not turn
// "9.5" into 9) and written the same way, so files are the same on every machine.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// Reads a decimal number at text[pos] as "%f" would after its blanks: optional sign ("+008.5"
// and "-3" both read), digits, fraction, exponent. On success `pos` moves past the number.
bool scanNumber(std::string_view text, std::size_t& pos, double& value);

// Reads a number after leading blanks; the rest of the text is ignored, as "%f" does.
bool readLeadingNumber(std::string_view text, double& value);

// "%.<precision>f" and "%d", always with a decimal point. (The files' "%8.6f" and "%2.5f" are
// this too: a number with that many decimals is never narrower than the width.)
void appendFixed(std::string& out, double value, int precision);
void appendInt(std::string& out, long value);

// The value rounded to single precision, as the handheld's "%f" into a float kept it. Out of
// line on purpose: GCC 12's SLP vectorizer drops the double → float → double round trip when
// it is done on two neighbouring values at once (longitude and latitude).
double singlePrecision(double value);

// A double's altitude in whole metres, truncated toward zero and kept inside the int range.
int truncatedMetres(double value);

}  // namespace vexa
