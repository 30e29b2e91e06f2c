#include "forms/caseless_names.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace vuelco::forms {
namespace {

// One UTF-16 unit in its simple case folding, the ASCII ones (nearly every name's) without
// a look-up in the Unicode tables.
QChar foldedUnit(QChar unit)
{
    const char16_t code = unit.unicode();
    if (code < 0x80)
        return QChar(code >= u'A' && code <= u'Z' ? char16_t(code + (u'a' - u'A')) : code);
    return unit.toCaseFolded();
}

// A text as QString::compare with Qt::CaseInsensitive compares it: every character in its
// simple case folding.
QString caseFolded(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t point = QChar::toCaseFolded(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            out[i] = QChar(QChar::highSurrogate(point));
            out[i + 1] = QChar(QChar::lowSurrogate(point));
            ++i;
        } else {
            out[i] = foldedUnit(QChar(unit));
        }
    }
    return folded;
}

// Each UTF-16 unit case folded alone, as the patterns are matched unit by unit.
QString unitsFolded(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    std::transform(text.begin(), text.end(), folded.begin(), foldedUnit);
    return folded;
}

// Whether a name matches one pattern of folded units. A '*' first matches nothing and takes one
// character more each time what follows it fails; only the last '*' ever needs to.
bool matchesFolded(QStringView name, QStringView pattern)
{
    qsizetype at = 0;
    qsizetype step = 0;
    qsizetype lastStar = -1;
    qsizetype starRunEnd = 0;
    while (at < name.size()) {
        if (step < pattern.size() && pattern[step] == u'*') {
            lastStar = step++;
            starRunEnd = at;
        } else if (step < pattern.size() && (pattern[step] == u'?' || pattern[step] == foldedUnit(name[at]))) {
            ++step;
            ++at;
        } else if (lastStar >= 0) {
            step = lastStar + 1;
            at = ++starRunEnd;
        } else {
            return false;
        }
    }
    while (step < pattern.size() && pattern[step] == u'*')
        ++step;
    return step == pattern.size();
}

} // namespace

void sortWithoutCase(QStringList &names)
{
    struct Keyed {
        QString key;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<std::size_t>(names.size()));
    std::transform(names.begin(), names.end(), std::back_inserter(keyed),
                   [](QString &name) { return Keyed{caseFolded(name), std::move(name)}; });
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int order = QString::compare(a.key, b.key, Qt::CaseSensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[static_cast<std::size_t>(i)].name);
}

CaselessWildcards::CaselessWildcards(const QString &patterns)
{
    for (const QString &pattern : patterns.split(u';', Qt::SkipEmptyParts))
        mPatterns.append(unitsFolded(pattern.trimmed()));
}

bool CaselessWildcards::matches(QStringView name) const
{
    return std::any_of(mPatterns.cbegin(), mPatterns.cend(),
                       [name](const QString &pattern) { return matchesFolded(name, pattern); });
}

} // namespace vuelco::forms
