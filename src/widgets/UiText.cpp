#include "UiText.h"

#include <algorithm>

namespace mailvane::widgets {

bool isLatin1(const QString& text)
{
    return std::ranges::all_of(text, [](QChar c) { return c.unicode() <= 0xFF; });
}

std::string toRecordText(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace mailvane::widgets
