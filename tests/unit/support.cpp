#include "support.h"

#include "runtime/runtime.h"
#include "startup/startup.h"

namespace test {

namespace {
std::unique_ptr<ResourceTable> gTable;
std::unique_ptr<Launcher> gLauncher;
}  // namespace

void freshProcess() {
    fake::reset();
    runtimeState() = RuntimeState();
    gLauncher.reset();
    gTable = std::make_unique<ResourceTable>();
    setProcessResourceTable(gTable.get());
    registerBuiltinTexts(*gTable);
}

ResourceTable& table() { return *gTable; }

Launcher& launcher() {
    if (!gLauncher) {
        fake::state().files["tolvane.cfg"].contents = "";
        gLauncher = std::make_unique<Launcher>("tolvane.exe", *gTable);
        fake::state().files.erase("tolvane.cfg");
    }
    return *gLauncher;
}

int runMain(const std::string& commandLine, const std::string& programName) {
    runtimeState() = RuntimeState();
    gLauncher.reset();
    fake::state().commandLine = commandLine;
    int code = 0;
    try {
        code = runLauncher(programName.c_str());
    } catch (const fake::Exit& exit) {
        code = exit.code;
    }
    // The table start-up made is the process's until it ends; the test is
    // done with it.
    gTable.reset(&processResourceTable());
    return code;
}

std::string builtin(const std::string& key) {
    for (std::size_t i = 0; i < kBuiltinTextCount; ++i)
        if (key == kBuiltinTexts[i].key) return kBuiltinTexts[i].text;
    return "<no such built-in key>";
}

}  // namespace test
