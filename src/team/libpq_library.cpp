// Loading libpq by its shared-object name and taking its functions from it.
#include "team/libpq_library.h"

#include <dlfcn.h>

#include <string>

namespace nlx::team::pg {
namespace {

// libpq's shared-object version has been 5 since PostgreSQL 8.0.
constexpr const char* kSoname = "libpq.so.5";

Result<Libpq> load() {
    void* handle = ::dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        return fail(std::string("cannot load the PostgreSQL client library ") + kSoname +
                    " (package libpq5): " + (why ? why : "unknown error"));
    }
    Libpq lib;
    std::string missing;
    auto take = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
        if (!function) missing += missing.empty() ? name : std::string(", ") + name;
    };
#define NLX_LIBPQ_TAKE(name) take(lib.name, #name);
    NLX_LIBPQ_FUNCTIONS(NLX_LIBPQ_TAKE)
#undef NLX_LIBPQ_TAKE
    // The library stays loaded for the process: sessions may be opened again.
    if (!missing.empty()) return fail(std::string("the PostgreSQL client library ") + kSoname + " lacks " + missing);
    return lib;
}

}  // namespace

const Result<Libpq>& libpq() {
    static const Result<Libpq> loaded = load();
    return loaded;
}

}  // namespace nlx::team::pg
