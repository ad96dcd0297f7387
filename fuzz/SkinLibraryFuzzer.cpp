// A skin library from bytes: the bundle check lets only bundles through whose
// every folder, name and member the resource system can read in bounds; what
// it lets through is listed and read whole, then freed.

#include "FuzzCheck.h"
#include "ResourceBundleCheck.h"
#include "ResourceLibrary.h"

#include <QDir>

using namespace mailvane;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                     static_cast<qsizetype>(size));
    platform::LibraryHandle library = platform::loadResourceLibraryData(bytes);
    FUZZ_CHECK(library.isEmpty() || platform::isSoundResourceBundle(bytes));
    if (library.isEmpty())
        return 0;
    qint64 total = 0;
    for (const QString& type : platform::resourceTypes(library)) {
        const QDir folder(library + QLatin1Char('/') + type);
        for (const QString& entry : folder.entryList(QDir::Files)) {
            const QString name = entry.section(QLatin1Char('.'), 0, 0);
            const QByteArray member = platform::loadResourceData(library, type, name);
            FUZZ_CHECK(member.size() <= std::max<qint64>(static_cast<qint64>(size),
                                                        platform::MaxResourceMemberBytes));
            total += member.size();
        }
    }
    platform::freeResourceLibrary(library);
    FUZZ_CHECK(library.isEmpty());
    (void)total;
    return 0;
}
