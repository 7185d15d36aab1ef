#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "runtime/runtime.h"

namespace {

constexpr const char* kRuntimeKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4";
constexpr unsigned long kValueBufferSize = 16384;

bool exists(const std::string& path) {
    return platform::getFileAttributes(path.c_str()) != platform::kInvalidFileAttributes;
}

}  // namespace

bool findRegisteredRuntime(const std::string& version) {
    if (version != "1.4") return false;

    platform::RegistryKey key = 0;
    if (platform::regOpenKeyLocalMachine(kRuntimeKey, 0, platform::kKeyRead, &key) != 0) return false;

    std::vector<unsigned char> buffer(kValueBufferSize);
    unsigned long type = 0;
    unsigned long size = kValueBufferSize;
    if (platform::regQueryValue(key, "JavaHome", &type, buffer.data(), &size) != 0) {
        platform::regCloseKey(key);
        return false;
    }

    // The value is read as text whatever its type: up to its first NUL or the
    // size returned, whichever comes first, and never past the buffer.
    if (size > kValueBufferSize) size = kValueBufferSize;
    const void* nul = std::memchr(buffer.data(), '\0', size);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - buffer.data()) : size;
    const std::string home(reinterpret_cast<const char*>(buffer.data()), length);

    if (!exists(home + "\\bin\\java.exe") || !exists(home + "\\bin\\javaw.exe")) {
        platform::regCloseKey(key);
        return false;
    }
    platform::regCloseKey(key);
    runtimeState().javaHome.set(home);
    return true;
}
