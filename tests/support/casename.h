#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace quendra::test {

template <class Case>
concept NamedCase = requires(const Case& c)
{
    std::string_view(c.name);
};

// A row of a table of cases prints as its name in the test log. A file with such a table
// brings it in with "using quendra::test::PrintTo;" in the namespace of its cases.
template <NamedCase Case> void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

// Names each test of a table after its row (INSTANTIATE_TEST_SUITE_P's last argument).
inline constexpr auto caseName = [](const auto& info) { return std::string(info.param.name); };

} // namespace quendra::test
