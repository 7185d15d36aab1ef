#include "startup/startup.h"

#include <cstring>
#include <vector>

#include "intake/launcher.h"
#include "platform/platform.h"
#include "resources/resources.h"

namespace {

constexpr unsigned long kPathBufferSize = 16384;

}  // namespace

int runLauncher(const char* programName) {
    // The one table lives until the process ends.
    ResourceTable* table = new ResourceTable;
    setProcessResourceTable(table);
    registerBuiltinTexts(*table);

    {
        std::vector<char> fullPath(kPathBufferSize);
        char* filePart = nullptr;
        const unsigned long length =
            platform::getFullPathName(programName, kPathBufferSize, fullPath.data(), &filePart);
        // A path that did not fit, or one without a file part, gives no
        // directory to work in.
        if (length == 0 || length >= kPathBufferSize || filePart == nullptr ||
            filePart < fullPath.data() || filePart > fullPath.data() + length)
            fatalFixedError("Error: Could not retrieve absolute pathname of execution directory");
        *filePart = '\0';
        if (platform::setCurrentDirectory(fullPath.data()) == 0)
            fatalFixedError("Error: Can't set working directory");
    }
    {
        std::vector<char> currentDirectory(kPathBufferSize);
        const unsigned long length = platform::getCurrentDirectory(kPathBufferSize, currentDirectory.data());
        if (length == 0 || length >= kPathBufferSize)
            fatalFixedError("Error: Could not retrieve current directory");
        if (currentDirectory[0] == '\\' && currentDirectory[1] == '\\')
            fatalFixedError(
                "Error: Can't install from a network path\n\nPlease map the network drive and start\n"
                "setup from the mapped drive.");
    }

    Launcher launcher(platform::commandLine(), *table);
    return 0;
}
