#include "Recipients.h"

#include <gtest/gtest.h>

using mailvane::settings::splitRecipients;

TEST(SplitRecipients, dropsBlanksAndTabsAndSkipsEmptyPieces)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> numbers;
    };
    const Case cases[] = {
        {"111; 222;", {"111", "222"}},           {";;111", {"111"}}, {"040 123\t4", {"0401234"}},
        {"+45 1234;\t;+46", {"+451234", "+46"}}, {" ; ;\t", {}},     {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(splitRecipients(c.text), c.numbers);
    }
}
