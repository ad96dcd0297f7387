#include "Recipients.h"

namespace mailvane::settings {

std::vector<std::string> splitRecipients(std::string_view text)
{
    std::vector<std::string> numbers;
    std::string piece;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ';') {
            if (!piece.empty())
                numbers.push_back(std::move(piece));
            piece.clear();
        } else if (text[i] != ' ' && text[i] != '\t') {
            piece.push_back(text[i]);
        }
    }
    return numbers;
}

} // namespace mailvane::settings
