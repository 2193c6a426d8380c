#include "app/exit_status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The README and the man page give the statuses to scripts; only this test
// ties what they say to kRunEndings.
namespace {

using Precedence = std::vector<std::pair<int, int>>;

// What a text tells of the statuses: those it lists, in its order, and the
// pairs its precedence sentence names, the first going before the second.
struct StatusText {
    std::vector<int> listed;
    Precedence precedence;
};

std::vector<std::string> linesOf(const char* path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// "Where a run meets several of these, 2 goes before 1 and 1 before 4".
Precedence precedenceIn(const std::string& prose)
{
    std::smatch sentence;
    if (!std::regex_search(prose, sentence, std::regex("Where a run meets several of these, ([^.:]*)")))
        return {};
    const std::string said = sentence[1];
    const std::regex pair("([0-9]+) (goes )?before ([0-9]+)");
    Precedence precedence;
    for (auto match = std::sregex_iterator(said.begin(), said.end(), pair); match != std::sregex_iterator(); ++match)
        precedence.emplace_back(std::stoi((*match)[1]), std::stoi((*match)[3]));
    return precedence;
}

// The section EXIT STATUS: each status a ".TP" paragraph headed ".B <status>".
StatusText manPage()
{
    const std::vector<std::string> lines = linesOf(TORNEL_MAN_PAGE);
    StatusText said;
    std::string prose;
    const std::regex status("\\.B ([0-9]+)");
    auto line = std::find(lines.begin(), lines.end(), ".SH EXIT STATUS");
    if (line == lines.end())
        return said;
    for (++line; line < lines.end() && line->rfind(".SH", 0) != 0; ++line) {
        std::smatch number;
        if (*line == ".TP" && line + 1 < lines.end() && std::regex_match(line[1], number, status))
            said.listed.push_back(std::stoi(number[1]));
        else if (line->rfind('.', 0) != 0)
            prose += *line + ' ';
    }
    said.precedence = precedenceIn(prose);
    return said;
}

// The table under "| Status | Run |" in "What a script sees", and the text
// of its item after it.
StatusText readme()
{
    std::vector<std::string> lines = linesOf(TORNEL_README);
    for (std::string& line : lines)
        line.erase(0, line.find_first_not_of(' '));
    StatusText said;
    std::string prose;
    const std::regex row("\\| ([0-9]+) \\|.*");
    auto line = std::find(lines.begin(), lines.end(), "| Status | Run |");
    if (line < lines.end())
        line += 2;
    for (; line < lines.end() && line->rfind('|', 0) == 0; ++line) {
        std::smatch number;
        if (std::regex_match(*line, number, row))
            said.listed.push_back(std::stoi(number[1]));
    }
    for (; line < lines.end() && line->rfind("- ", 0) != 0; ++line)
        prose += *line + ' ';
    said.precedence = precedenceIn(prose);
    return said;
}

// Every run meeting a cause of `first` and one of `second` ends with `first`.
bool goesBefore(int first, int second)
{
    bool firstMet = false;
    bool secondMet = false;
    for (const RunEnding& row : kRunEndings) {
        if (row.status == first && secondMet)
            return false;
        firstMet |= row.status == first;
        secondMet |= row.status == second;
    }
    return firstMet && secondMet;
}

const std::pair<const char*, StatusText (*)()> kTexts[] = {{"README", readme}, {"man page", manPage}};

}  // namespace

TEST(ExitStatusTexts, ListEveryStatusOfTheTableOfCausesInOrder)
{
    std::set<int> statuses;
    for (const RunEnding& row : kRunEndings)
        statuses.insert(row.status);
    for (const auto& [name, read] : kTexts) {
        SCOPED_TRACE(name);
        EXPECT_EQ(read().listed, std::vector<int>(statuses.begin(), statuses.end()));
    }
}

TEST(ExitStatusTexts, GiveThePrecedenceOfTheTableOfCauses)
{
    const Precedence inReadme = readme().precedence;
    ASSERT_FALSE(inReadme.empty());
    EXPECT_EQ(manPage().precedence, inReadme);
    for (const auto& [first, second] : inReadme)
        EXPECT_TRUE(goesBefore(first, second)) << first << " before " << second;
}
