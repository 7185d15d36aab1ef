#include "commands/execution.h"

#include "platform/platform.h"
#include "resources/resources.h"

void runCommandLine(const std::string& commandLine) {
    if (platform::runCommandInterpreter(commandLine.c_str()) == -1) fatalError("EXECUTE_ERROR");
}

void requireFile(const std::string& path) {
    if (platform::getFileAttributes(path.c_str()) == platform::kInvalidFileAttributes)
        fatalError("MISSING_FILE", path);
}
