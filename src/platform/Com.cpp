#include "Com.h"

#include <map>
#include <mutex>

namespace mailvane::platform {
namespace {

struct Registry
{
    std::mutex mutex;
    std::map<std::string, ClassFactory, std::less<>> factories;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void registerClass(std::string_view classId, ClassFactory factory)
{
    Registry& classes = registry();
    const std::lock_guard lock(classes.mutex);
    classes.factories.insert_or_assign(std::string(classId), std::move(factory));
}

void revokeClass(std::string_view classId)
{
    Registry& classes = registry();
    const std::lock_guard lock(classes.mutex);
    if (const auto found = classes.factories.find(classId); found != classes.factories.end())
        classes.factories.erase(found);
}

IUnknown* createRegisteredObject(std::string_view classId)
{
    ClassFactory factory;
    {
        Registry& classes = registry();
        const std::lock_guard lock(classes.mutex);
        const auto found = classes.factories.find(classId);
        if (found == classes.factories.end())
            return nullptr;
        factory = found->second;
    }
    // Outside the lock: a factory may itself create registered objects.
    return factory ? factory() : nullptr;
}

} // namespace mailvane::platform
