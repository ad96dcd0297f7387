#include "PhoneBackEnd.h"

#include <gtest/gtest.h>

using namespace mailvane;

TEST(PhoneSelection, namesABackEndOrNothing)
{
    using Kind = phone::PhoneSelection::Kind;
    struct Case
    {
        const char* text;
        std::optional<Kind> kind;
        std::string device;
        std::string section;
        std::string folder;
    };
    const Case cases[] = {
        {"none", Kind::None, "", "", ""},
        {"gammu", Kind::Gammu, "", "", ""},
        {" gammu:2 ", Kind::Gammu, "", "2", ""},
        {"gammu:gammu1", Kind::Gammu, "", "gammu1", ""},
        {"gammu:/dev/ttyUSB0", Kind::Gammu, "/dev/ttyUSB0", "", ""},
        {"sim:/tmp/phone", Kind::Simulated, "", "", "/tmp/phone"},
        {"sim:", std::nullopt, "", "", ""},
        {"gammu:usb", std::nullopt, "", "", ""},
        {"Gammu", std::nullopt, "", "", ""},
        {"/dev/ttyUSB0", std::nullopt, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto selection = phone::parsePhoneSelection(c.text);
        ASSERT_EQ(selection.has_value(), c.kind.has_value());
        if (!selection)
            continue;
        EXPECT_EQ(selection->kind, *c.kind);
        EXPECT_EQ(selection->gammu.device, c.device);
        EXPECT_EQ(selection->gammu.section, c.section);
        EXPECT_EQ(selection->folder, c.folder);
    }
}
