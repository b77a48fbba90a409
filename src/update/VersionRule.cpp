#include "update/VersionRule.h"

namespace {

const int kComparedComponents = 3;

// A component's value as a sign and a magnitude of decimal digits without leading
// zeros ("" for zero), so numbers of any length compare without overflow.
struct ComponentValue
{
    bool isNegative = false;
    QString sDigits;
};

ComponentValue valueOf(const QString& sComponent)
{
    // Same reading as QString::toInt: surrounding white space and one sign allowed.
    QString text = sComponent.trimmed();
    bool isNegative = false;
    if (text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))) {
        isNegative = text.startsWith(QLatin1Char('-'));
        text.remove(0, 1);
    }
    if (text.isEmpty())
        return {};
    for (const QChar c : qAsConst(text)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    }
    int firstSignificant = 0;
    while (firstSignificant < text.size() && text.at(firstSignificant) == QLatin1Char('0'))
        ++firstSignificant;
    ComponentValue value;
    value.sDigits = text.mid(firstSignificant);
    value.isNegative = isNegative && !value.sDigits.isEmpty();
    return value;
}

int compareMagnitudes(const QString& sLeft, const QString& sRight)
{
    if (sLeft.size() != sRight.size())
        return sLeft.size() < sRight.size() ? -1 : 1;
    return sLeft.compare(sRight);
}

// Negative, zero or positive as the left component is smaller, equal or larger.
int compareComponents(const QString& sLeft, const QString& sRight)
{
    const ComponentValue left = valueOf(sLeft);
    const ComponentValue right = valueOf(sRight);
    if (left.isNegative != right.isNegative)
        return left.isNegative ? -1 : 1;
    const int magnitude = compareMagnitudes(left.sDigits, right.sDigits);
    return left.isNegative ? -magnitude : magnitude;
}

} // namespace

namespace VersionRule {

QString cutAtFirstBlank(const QString& sVersion)
{
    return sVersion.split(QLatin1Char(' '), Qt::KeepEmptyParts, Qt::CaseSensitive).first();
}

QStringList components(const QString& sCutVersion)
{
    return sCutVersion.split(QLatin1Char('.'), Qt::KeepEmptyParts);
}

std::optional<bool> isNewer(const QStringList& serverComponents, const QStringList& clientComponents)
{
    if (serverComponents.size() < kComparedComponents || clientComponents.size() < kComparedComponents)
        return std::nullopt;
    for (int i = 0; i < kComparedComponents; ++i) {
        const int order = compareComponents(serverComponents.at(i), clientComponents.at(i));
        if (order != 0)
            return order > 0;
    }
    return false;
}

} // namespace VersionRule
