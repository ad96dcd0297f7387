#include "PhoneModule.h"

#include "ProgramLocation.h"

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>

// Weak: a program that does not link the back ends in sees null here and
// loads the module instead.
extern "C" const mailvane::phone::PhoneModuleFunctions* mailvane_phone_module()
    __attribute__((weak));

namespace mailvane::phone {
namespace {

struct LoadedModule
{
    const PhoneModuleFunctions* functions = nullptr;
    std::string error;
};

LoadedModule load()
{
    LoadedModule loaded;
    if (mailvane_phone_module) {
        loaded.functions = mailvane_phone_module();
        return loaded;
    }
    const std::filesystem::path folder =
        platform::installedModuleDirectory(platform::programDirectory());
    if (folder.empty()) {
        loaded.error = platform::ProgramDirectoryUnknown;
        return loaded;
    }
    const std::filesystem::path path = folder / PhoneModuleFile;
    // Never closed: the devices it makes may live until the program ends.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        loaded.error = std::string("cannot load the phone back ends: ") + dlerror();
        return loaded;
    }
    using Entry = const PhoneModuleFunctions* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(handle, "mailvane_phone_module"));
    if (!entry) {
        loaded.error = path.string() + " holds no phone back ends";
        return loaded;
    }
    loaded.functions = entry();
    return loaded;
}

} // namespace

const PhoneModuleFunctions* phoneModule(std::string* error)
{
    static std::once_flag once;
    static LoadedModule loaded;
    std::call_once(once, [] {
        loaded = load();
        if (!loaded.functions)
            std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, loaded.error.c_str());
    });
    if (!loaded.functions && error)
        *error = loaded.error;
    return loaded.functions;
}

} // namespace mailvane::phone
