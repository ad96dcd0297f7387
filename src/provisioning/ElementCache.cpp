#include "ElementCache.h"

namespace mailvane::provisioning {

const ElementCache::Beginning* ElementCache::find(std::string_view text, std::uint8_t page) const
{
    const auto& known = m_byPage[page == 0 ? 0 : 1];
    const auto it = known.find(text);
    return it == known.end() ? nullptr : &it->second;
}

void ElementCache::add(std::string_view text, std::uint8_t page, Beginning beginning)
{
    auto& known = m_byPage[page == 0 ? 0 : 1];
    if (known.size() < MaxBeginnings)
        known.emplace(std::string(text), std::move(beginning));
}

void ElementCache::clear()
{
    m_byPage[0].clear();
    m_byPage[1].clear();
}

} // namespace mailvane::provisioning
