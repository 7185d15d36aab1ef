#include "platform/platform.h"
#include "resources/resources.h"
#include "runtime/runtime.h"

namespace {

[[noreturn]] void failVersion(const char* consoleLine) {
    const std::string line = consoleLine;
    platform::writeStandardOutput(line.data(), line.size());
    platform::flushStandardOutput();
    fatalError("UNKNOWN_VM_VERSION");
}

}  // namespace

void validateVersion(const std::string& version) {
    if (version == "1.2.2" || version == "1.4" || version == "1.3") return;
    failVersion("This VM is not supported by tolvane\n");
}

VersionLists parseVersionSpecification(const std::string& specification) {
    VersionLists lists;
    std::vector<std::string>* current = &lists.official;
    std::string pending;
    auto complete = [&] {
        validateVersion(pending);
        current->push_back(pending);
        pending.clear();
    };

    for (const char c : specification) {
        if (c == ',') {
            if (pending.empty()) failVersion("Empty VM versions are not allowed\n");
            complete();
        } else if (c == ';') {
            if (current == &lists.unofficial) failVersion("Only one ; allowed\n");
            if (!pending.empty()) complete();
            current = &lists.unofficial;
        } else {
            pending += c;
        }
    }
    if (!pending.empty()) complete();
    return lists;
}
