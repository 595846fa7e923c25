#include "afbridge/SystemRoots.h"

#include <cstdlib>

namespace afbridge {
namespace {

std::string RootFromEnvironment(const char *variable, const char *fallback)
{
    // secure_getenv: a privileged program never lets its caller's environment
    // choose which device it writes to.
    const char *value = ::secure_getenv(variable);
    if (value == nullptr || *value == '\0')
        return fallback;
    std::string root(value);
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

} // namespace

std::string SysfsRoot()
{
    return RootFromEnvironment("AFBRIDGE_SYSFS_ROOT", "/sys");
}

std::string DevRoot()
{
    return RootFromEnvironment("AFBRIDGE_DEV_ROOT", "/dev");
}

} // namespace afbridge
