#include "ManualPage.h"
#include "ProgramOptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using mailvane::test::ManualPage;

namespace {

const char* const PageFile = "src/app/mailvane.1.in";

} // namespace

TEST(ProgramManualPage, describesTheOptionsTheProgramTakesAndNoOther)
{
    const ManualPage page = ManualPage::load(std::string(MAILVANE_SOURCE_DIR) + "/" + PageFile);
    ASSERT_TRUE(page.read) << PageFile;

    std::set<std::string> parser;
    for (const auto& info : mailvane::app::ProgramOptions) {
        parser.insert(std::string(info.shortName));
        parser.insert(std::string(info.longName));
    }
    const auto found = page.defined.find("OPTIONS");
    const std::set<std::string> described =
        found == page.defined.end() ? std::set<std::string>() : found->second;
    for (const std::string& option : parser)
        EXPECT_TRUE(described.contains(option))
            << "mailvane " << option << ": known to the program, not described under OPTIONS in "
            << PageFile;
    for (const std::string& option : described)
        EXPECT_TRUE(parser.contains(option))
            << "mailvane " << option << ": described in " << PageFile
            << ", unknown to the program";
    for (const std::string& option : page.mentioned)
        EXPECT_TRUE(parser.contains(option))
            << PageFile << " mentions " << option << ", which mailvane does not take";
}
