// Numbers of factor files as text that the factor file reader reads back: the general number
// text, in plain digits where the general text would take the exponent form (the reader takes
// the letter E for a header line).
#pragma once

#include <string>

namespace brimtal {

// Up to 15 significant digits: 150 -> "150", 0.15 -> "0.15", 1E-05 -> "0.00001".
std::string PlainGeneralText(double value);
// Up to 7 significant digits, for 32-bit values.
std::string PlainGeneralText(float value);

}  // namespace brimtal
