// The settings file reader: any bytes give a clear verdict; what it accepts
// the writer writes out and the reader reads back as the same record.

#include "FuzzCheck.h"
#include "SettingsFields.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"
#include "WrittenRecord.h"

using namespace mailvane::settings;
using mailvane::fuzz::asWritten;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = mailvane::fuzz::textOf(data, size);
    EmailSettings record;
    const ReadResult result = readSettingsText(text, record);
    if (!result.ok()) {
        FUZZ_CHECK(result.status == ReadStatus::Invalid);
        FUZZ_CHECK(result.line >= 1 && result.defect != LineDefect::None);
        return 0;
    }
    FUZZ_CHECK(result.line == 0 && result.defect == LineDefect::None);

    // Every value was read from one line: it holds no line break and no NUL.
    FUZZ_CHECK(hasOnlyWritableValues(record));
    for (const FieldInfo& spec : allFields()) {
        if ((spec.kind == FieldKind::Text || spec.kind == FieldKind::CallSpeed) && spec.readLimit) {
            const TextField& field = textValue(spec, record);
            FUZZ_CHECK(!field || field->size() <= *spec.readLimit);
        }
    }

    const std::string written = settingsFileText(record);
    EmailSettings again;
    const ReadResult reread = readSettingsText(written, again);
    FUZZ_CHECK(reread.ok());
    FUZZ_CHECK(asWritten(again) == asWritten(record));
    FUZZ_CHECK(settingsFileText(again) == written);
    return 0;
}
