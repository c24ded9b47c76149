#pragma once

// Tables of cases kept as data: a .tsv file under tests/data, one case a line, its cells
// separated by tabs, the first cell the case's name as the test log shows it. Empty lines
// and lines that start with '#' are left out; in a cell \t, \r, \n and \\ stand for a tab,
// CR, LF and a backslash.
#include "support/casename.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quendra::test {

struct CaseRow {
    std::string name;
    QStringList cells; // the cells after the name
    // The cell at i, counted after the name; empty where the row has none.
    QString operator[](qsizetype i) const { return cells.value(i); }
};

// The rows of file (a path under tests/data); a file that cannot be read ends the program.
std::vector<CaseRow> caseRows(const char* file);

} // namespace quendra::test

// Runs the parameterised Suite once for every row of file.
#define QUENDRA_CASE_ROWS(Suite, file)                                                             \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, ::testing::ValuesIn(::quendra::test::caseRows(file)),    \
                             [](const auto& info) { return info.param.name; })
