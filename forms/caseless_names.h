#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace vuelco::forms {

// Sorts names as the folder and file lists show them: without regard to case, in the order
// QString::compare with Qt::CaseInsensitive gives, and names that differ only in case in a
// fixed order among themselves (capitals first). Each name is case folded once, not once per
// comparison, which is what keeps a list of a hundred thousand names quick.
void sortWithoutCase(QStringList &names);

// The patterns a file list keeps names by: "*.dat", or several joined by ";" ("*.txt;*.dat"),
// '*' standing for any run of characters and '?' for any one, every other character for
// itself without regard to case.
class CaselessWildcards {
public:
    explicit CaselessWildcards(const QString &patterns);

    // Whether the name matches any of the patterns.
    [[nodiscard]] bool matches(QStringView name) const;

private:
    QStringList mPatterns; // case folded unit by unit
};

} // namespace vuelco::forms
