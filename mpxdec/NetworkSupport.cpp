#include "mpxdec/NetworkSupport.h"

#include <cstdlib>

#include <dlfcn.h>

namespace mpxdec {

namespace {

constexpr const char* kModuleFile = "libmpxdec_http.so";
constexpr std::size_t kQueueCapacity = 256 * 1024;

// The module beside the file this code was loaded from.
std::string ModulePath()
{
    if (const char* path = std::getenv("MPXDEC_HTTP_MODULE"); path != nullptr && *path != '\0') {
        return path;
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) != 0 && info.dli_fname != nullptr) {
        std::string self = info.dli_fname;
        const auto slash = self.rfind('/');
        if (slash != std::string::npos) {
            return self.substr(0, slash + 1) + kModuleFile;
        }
    }
    return kModuleFile;
}

}  // namespace

bool NetworkSupport::Start(std::string* error)
{
    if (started_) {
        return true;
    }
    if (module_ == nullptr && !Load(error)) {
        return false;
    }
    if (!init_()) {
        *error = "The network library cannot be initialised";
        return false;
    }
    started_ = true;
    return true;
}

bool NetworkSupport::Load(std::string* error)
{
    const std::string path = ModulePath();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        *error = "Network support is not available: " + std::string(reason != nullptr ? reason : path);
        return false;
    }
    init_ = reinterpret_cast<HttpModuleInit>(dlsym(module, kHttpModuleInitName));
    cleanup_ = reinterpret_cast<HttpModuleCleanup>(dlsym(module, kHttpModuleCleanupName));
    create_ = reinterpret_cast<HttpSourceCreate>(dlsym(module, kHttpSourceCreateName));
    if (init_ == nullptr || cleanup_ == nullptr || create_ == nullptr) {
        dlclose(module);
        *error = "Network support is not available: " + path + " is not the network module";
        return false;
    }
    module_ = module;
    return true;
}

void NetworkSupport::Stop()
{
    if (started_) {
        cleanup_();
        started_ = false;
    }
}

std::unique_ptr<HttpSource> NetworkSupport::CreateSource() const
{
    return std::unique_ptr<HttpSource>(create_(kQueueCapacity));
}

}  // namespace mpxdec
