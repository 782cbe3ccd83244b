#include "tools/MRKOIntegerValueFormatter.h"

bool MRKOIntegerValueFormatter::isPartialStringValid(const QString &text)
{
    if (text.isEmpty())
        return true;
    qsizetype i = 0;
    if (text.at(0) == QLatin1Char('+') || text.at(0) == QLatin1Char('-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
        ++i;
    return i > digitsStart && i == text.size();
}

QValidator::State MRKOIntegerValueFormatter::validate(QString &input, int &) const
{
    return isPartialStringValid(input) ? Acceptable : Invalid;
}
