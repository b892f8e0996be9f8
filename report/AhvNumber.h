#pragma once

#include <QString>

// The new AHV number: "756", nine digits and a check digit, written 756.XXXX.XXXX.XX. The check digit
// is that of EAN-13: the first twelve digits weighted 1, 3, 1, 3, ... from the left and summed, then
// (10 - sum mod 10) mod 10.
enum class AhvProblem
{
    None,
    Form,
    CheckDigit,
};

AhvProblem checkAhvNumber(const QString& number);
