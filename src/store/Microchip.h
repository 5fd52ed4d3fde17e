#pragma once

#include <QString>

// The 15-digit number of an animal's microchip.
namespace Microchip {

constexpr int Digits = 15;

// The number as stored: 15 ASCII digits, or empty when nothing was typed. Full-width digits become
// ASCII, and blanks and hyphens between the digit groups are dropped; anything else, and a number of
// only zeros, is refused with a failure that names the field.
QString normalized(const QString& typed);

// What the user is asked when another chart already carries the number.
QString duplicateWarning(qint32 otherRecordNumber);

} // namespace Microchip
