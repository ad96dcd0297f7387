// The files of the simulated phone that people edit by hand: contacts.txt and
// phone.conf. Any text gives contacts whose every field is a trimmed, non-empty
// piece of one line, and options that are either set or left alone.

#include "FuzzCheck.h"
#include "SimulatedPhone.h"

#include <algorithm>

using namespace mailvane;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = fuzz::textOf(data, size);

    std::size_t lines = 1;
    for (const char c : text)
        lines += c == '\n';
    const auto contacts = phone::parseSimulatedContacts(text);
    FUZZ_CHECK(contacts || lines > phone::MaxPhoneContacts);
    if (contacts)
        FUZZ_CHECK(contacts->size() <= std::min(lines, phone::MaxPhoneContacts));
    for (const phone::DeviceContact& contact :
         contacts.value_or(std::vector<phone::DeviceContact>{})) {
        for (const auto& field : contact.fields) {
            FUZZ_CHECK(!field.value.empty());
            FUZZ_CHECK(field.kind == phone::values::FieldKindName ||
                       field.kind == phone::values::FieldKindMobileNumber);
            const std::u16string& value = field.value;
            FUZZ_CHECK(value.find(u'\n') == std::u16string::npos);
            FUZZ_CHECK(value.front() != u' ' && value.back() != u' ');
            FUZZ_CHECK(field.kind != phone::values::FieldKindMobileNumber ||
                       value.find(u';') == std::u16string::npos);
        }
    }

    const phone::SimulatedPhoneOptions options = phone::parseSimulatedPhoneOptions(text);
    FUZZ_CHECK(!options.refuseMessage || *options.refuseMessage > 0);
    FUZZ_CHECK(!options.unplugged || text.find("unplugged") != std::string_view::npos);
    return 0;
}
