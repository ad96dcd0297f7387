#include "FileDialogRequest.h"

namespace mailvane::widgets {

FileDialogRequest FileDialogRequest::settingsFile()
{
    FileDialogRequest request;
    request.flags = OfnPathMustExist | OfnHideReadOnly;
    request.filters = {{QStringLiteral("Text Files"), QStringLiteral("*.txt")},
                       {QStringLiteral("All Files"), QStringLiteral("*")}};
    request.filterIndex = 1;
    request.defaultExtension = QStringLiteral("txt");
    return request;
}

} // namespace mailvane::widgets
