#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

namespace pluvora {
namespace {

// The manual's page on the command-line program must name every option the
// program itself lists, so a new option cannot go undocumented.
TEST(BatchHelpPage, NamesEveryOptionThatHelpLists)
{
    std::string usage;
    const std::string command = std::string("'") + PLUVORA_BATCH_EXE + "' --help";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        usage += buffer;
    ASSERT_EQ(pclose(pipe), 0);

    const std::string page =
        test::readFile(std::filesystem::path(PLUVORA_HELP_DIR) / "batch.html");
    const std::regex option(R"((^|[\s\[])(--?[a-z][a-z-]*))");
    std::set<std::string> options;
    for (std::sregex_iterator it(usage.begin(), usage.end(), option), end; it != end; ++it)
        options.insert((*it)[2]);
    ASSERT_GE(options.size(), 15u) << usage;
    for (const std::string& name : options)
        EXPECT_TRUE(std::regex_search(page, std::regex("(>|, )" + name + "[^a-z-]")))
            << name << " is missing from the help page";
}

} // namespace
} // namespace pluvora
