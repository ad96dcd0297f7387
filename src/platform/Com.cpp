#include "Com.h"

#include <map>
#include <mutex>
#include <optional>

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

thread_local std::optional<std::string> errorDescription;

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

void SetErrorInfo(std::string description)
{
    errorDescription = std::move(description);
}

HRESULT GetErrorInfo(std::string& description)
{
    description = errorDescription.value_or(std::string());
    const bool left = errorDescription.has_value();
    errorDescription.reset();
    return left ? S_OK : S_FALSE;
}

} // namespace mailvane::platform
