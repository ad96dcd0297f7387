#include "Recipients.h"

#include <gtest/gtest.h>

using namespace mailvane::settings;

TEST(DialableNumber, dropsWhatGroupsTheDigitsAndRefusesTheRest)
{
    struct Case
    {
        std::string piece;
        std::optional<std::string> number;
    };
    const Case cases[] = {
        {"+4512345678", "+4512345678"},
        {"+45 33-44-55-66", "+4533445566"},
        {"(040) 123.45/67\t", "0401234567"},
        {"*#06#", "*#06#"},
        // Direction marks round a number copied from a right-to-left text.
        {"\u202A+4599999999\u202C", "+4599999999"},
        {"\u200E+45\u00A099\u202F99\u200B9999\uFEFF", "+4599999999"},
        {"+45\u2011 12\u201034", "+451234"},
        {std::string("+") + std::string(20, '9'), std::string("+") + std::string(20, '9')},
        {std::string(21, '9'), std::nullopt},
        {"+", std::nullopt},
        {"", std::nullopt},
        {" - ", std::nullopt},
        {"45+12", std::nullopt},
        {"++45", std::nullopt},
        {"+45 12 34 ext 5", std::nullopt},
        {"0401;2", std::nullopt},
        {"\uFF10\uFF11", std::nullopt},               // full-width digits
        {std::string("12\x80") + "34", std::nullopt}, // not UTF-8
        {"12\xC0\xB1", std::nullopt},                 // an overlong '1'
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.piece);
        EXPECT_EQ(dialableNumber(c.piece), c.number);
    }
}

TEST(ParseRecipients, skipsEmptyPiecesAndStopsAtTheFirstThatIsNoNumber)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> numbers;
        std::optional<std::string> invalid;
    };
    const Case cases[] = {
        {"111; 222;", {"111", "222"}, std::nullopt},
        {";;111", {"111"}, std::nullopt},
        {"040 123\t4", {"0401234"}, std::nullopt},
        {" ; ;\t", {}, std::nullopt},
        {"", {}, std::nullopt},
        {"111; \u200E ;222", {"111", "222"}, std::nullopt},
        {"111; Anna ;222; x", {"111"}, " Anna "},
        {"+45 33-44-55-66;+45 1x", {"+4533445566"}, "+45 1x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RecipientList list = parseRecipients(c.text);
        EXPECT_EQ(list.numbers, c.numbers);
        EXPECT_EQ(list.invalidPiece, c.invalid);
    }
}

TEST(InvalidNumberMessage, quotesThePieceAsTypedWithoutWhatCannotBeSeen)
{
    const std::pair<std::string, std::string> cases[] = {
        {" Anna ", "\"Anna\" is not a phone number."},
        {"\u202A+45 1x\u202C", "\"+45 1x\" is not a phone number."},
        {"12\x80\t\x01", "\"12\uFFFD \uFFFD\" is not a phone number."},
        {std::string(45, '7') + "x",
         "\"" + std::string(40, '7') + "\u2026\" is not a phone number."},
    };
    for (const auto& [piece, message] : cases)
        EXPECT_EQ(invalidNumberMessage(piece), message) << piece;
}

TEST(WithoutNumberPunctuation, keepsWhatIsNotPunctuationEvenWhenInvalid)
{
    EXPECT_EQ(withoutNumberPunctuation("\u202A+45 33-44 x\u202C"), "+453344x");
    EXPECT_EQ(withoutNumberPunctuation("1\x80 2"), std::string("1\x80") + "2");
}
