#include "commands/execution.h"
#include "resources/resources.h"
#include "runtime/runtime.h"

RuntimeState& runtimeState() {
    static RuntimeState state;
    return state;
}

void adoptRuntime() { runtimeState().javaBinDir.set(runtimeState().javaHome.text + "\\bin\\"); }

void selectRuntime(const std::string& specification) {
    const VersionLists lists = parseVersionSpecification(specification);
    ResourceTable& table = processResourceTable();
    RuntimeState& state = runtimeState();

    for (;;) {
        for (const std::string& version : lists.official) {
            if (findRegisteredRuntime(version)) {
                adoptRuntime();
                return;
            }
        }
        for (const std::string& version : lists.unofficial) {
            if (findRegisteredRuntime(version) &&
                askYesNo(getResource(table, "USE_UNOFFICIAL_VM") + version)) {
                adoptRuntime();
                return;
            }
        }
        if (!state.installerCommand.present) fatalError("NO_VM_FOUND");
        if (!askYesNo(getResource(table, "ASK_INSTALL_VM"))) fatalError("NO_VM_FOUND");
        requireFile(state.installerCommand.text);
        runCommandLine("start /wait " + state.installerCommand.text);
    }
}
