#pragma once

// Tables of cases kept as data: a tab-separated file under tests/data, one case a line, its name
// first (the test log prints it); empty lines and lines starting with "#" are comments. In a column
// \t, \r, \n and \\ stand for a tab, CR, LF and a backslash. Rows become tests with
//   INSTANTIATE_TEST_SUITE_P(X, Y, ::testing::ValuesIn(caseTable(u"ui/x.tsv"_s)), caseName);
#include "support/casename.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace quendra::test {

struct CaseRow {
    std::string name;
    QStringList columns; // those after the name

    // Column i; an empty text where the row has none.
    QString operator[](qsizetype i) const { return columns.value(i); }

    // Column i, "1" or "0", as a yes or no; any other text throws.
    bool flag(int i) const;
};

// Throws std::runtime_error when the file cannot be read or a row has another number of
// columns than the first.
std::vector<CaseRow> caseTable(const QString& pathUnderTestData);

} // namespace quendra::test
