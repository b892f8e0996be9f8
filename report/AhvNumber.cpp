#include "report/AhvNumber.h"

AhvProblem checkAhvNumber(const QString& number)
{
    // Positions of the dots in 756.XXXX.XXXX.XX.
    constexpr int kLength = 16;
    if (number.size() != kLength || !number.startsWith(QLatin1String("756.")))
        return AhvProblem::Form;
    int digits[13];
    int count = 0;
    for (int i = 0; i < kLength; ++i) {
        const QChar c = number[i];
        if (i == 3 || i == 8 || i == 13) {
            if (c != u'.')
                return AhvProblem::Form;
        } else if (c >= u'0' && c <= u'9') {
            digits[count++] = c.unicode() - u'0';
        } else {
            return AhvProblem::Form;
        }
    }
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits[i] * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10 == digits[12] ? AhvProblem::None : AhvProblem::CheckDigit;
}
