#include "sync/NetModule.h"

#include <dlfcn.h>

#include <filesystem>

namespace Sync {

namespace {

using Entry = const NetFunctions* (*)();

struct Loaded {
  const NetFunctions* functions = nullptr;
  std::string problem;
};

const Loaded& Load() {
  static const Loaded loaded = [] {
    Loaded result;
    const std::string path = NetModule::Path();
    // Never unloaded: transports and watchers it made live to the end.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      result.problem = "the network module cannot be loaded (" + std::string(why ? why : path) + ")";
      return result;
    }
    const auto entry = reinterpret_cast<Entry>(dlsym(handle, "orvale_net_module"));
    if (entry) result.functions = entry();
    if (!result.functions) result.problem = "the network module " + path + " is not this program's";
    return result;
  }();
  return loaded;
}

}  // namespace

std::string NetModule::Path() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path folder = error ? std::filesystem::path(".") : self.parent_path();
  const std::filesystem::path beside = folder / ORGANIZER_NET_MODULE;
  if (std::filesystem::exists(beside, error)) return beside.string();
  return (folder / ORGANIZER_NET_MODULE_DIR / ORGANIZER_NET_MODULE).lexically_normal().string();
}

const NetFunctions* NetModule::Get() { return Load().functions; }

const std::string& NetModule::Problem() { return Load().problem; }

}  // namespace Sync
