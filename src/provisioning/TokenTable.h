#pragma once

#include <string>
#include <string_view>

namespace mailvane::provisioning {

// One code page of the token table: name -> token text, 11 chained buckets,
// the earlier entry of a name wins. (Implementation: provisioning helper.)
class TokenTable
{
public:
    void add(std::string name, std::string token);
    // The token text of the first entry named `name`, or nullptr.
    const std::string* find(std::string_view name) const;
    void clear();
};

} // namespace mailvane::provisioning
