#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "discovery.h"

namespace {

using Ids = std::set<std::pair<unsigned, unsigned>>;

// The rule is a data file: nothing but this test ties its IDs to the ones
// the library accepts, so a sensor added in code alone fails here and not on
// a seat whose user can't open it.
TEST(UdevRule, OpensExactlyTheSensorsTheLibraryAccepts)
{
    std::ifstream rules(DRAVIK_TEST_UDEV_RULE);
    ASSERT_TRUE(rules) << DRAVIK_TEST_UDEV_RULE;
    const std::regex rule(
        R"re(SUBSYSTEM=="hidraw", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");
    Ids opened;
    std::string line;
    while (std::getline(rules, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::smatch ids;
        ASSERT_TRUE(std::regex_match(line, ids, rule)) << line;
        opened.emplace(std::stoul(ids[1], nullptr, 16), std::stoul(ids[2], nullptr, 16));
    }
    Ids accepted;
    for (unsigned vendor : kAcceptedVendors)
        accepted.emplace(vendor, DRAVIK_PRODUCT_ID);
    EXPECT_EQ(opened, accepted);
}

}  // namespace
