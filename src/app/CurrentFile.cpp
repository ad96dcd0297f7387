#include "CurrentFile.h"

#include "Com.h"

namespace mailvane::app {

CurrentFile::CurrentFile()
{
    // The result is not looked at, as before.
    (void)platform::CoInitialize(nullptr);
}

} // namespace mailvane::app
