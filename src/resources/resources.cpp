#include "resources/resources.h"

#include "intake/watcher.h"
#include "platform/platform.h"

namespace {
ResourceTable* gProcessTable = nullptr;
}

const char* const kBoxCaption = "ORX Setup";

const BuiltinText kBuiltinTexts[] = {
    {"MISSING_FILE", "A file, which should be included in this distribution, is missing: "},
    {"MISSING_ARGUMENT", "This option requires an argument: "},
    {"FILE_IO_ERROR", "An file I/O error occured while proccessing "},
    {"EXECUTE_ERROR", "Installation failed!\n\nThe setup programm could not be started."},
    {"NO_VM_FOUND", "No suitable Java VM found."},
    {"MARKER_CLOSING_MARK_MISSING", "Marker closing mark is missing."},
    {"JAVA_NOT_DEFINED", "No Java VM has been defined (searched for), cannot replace Java marker."},
    {"UNKNOWN_MARKER", "Unknown marker."},
    {"ASK_INSTALL_VM", "Install virtual machine?"},
    {"UNKNOWN_VM_VERSION", "Unknown VM Version, can't perform check"},
    {"INVALID_COMMAND", "Invalid command: "},
    {"USE_UNOFFICIAL_VM",
     "The found Java Virtual Machine is not officially supported!\n\nUse Java VM : "},
    // Not one of the original twelve: ends a chain of response files that
    // never bottoms out, before it exhausts the stack.
    {"NESTING_TOO_DEEP", "Response files are nested too deeply: "},
};
const std::size_t kBuiltinTextCount = sizeof kBuiltinTexts / sizeof kBuiltinTexts[0];

void setProcessResourceTable(ResourceTable* table) { gProcessTable = table; }

ResourceTable& processResourceTable() { return *gProcessTable; }

std::unique_ptr<ResourceTable> takeProcessResourceTable() {
    std::unique_ptr<ResourceTable> table(gProcessTable);
    gProcessTable = nullptr;
    return table;
}

void setResource(ResourceTable& table, std::string_view key, std::string_view text) {
    const auto found = table.find(key);
    if (found != table.end())
        found->second.assign(text);
    else
        table.emplace(std::string(key), std::string(text));
}

std::string getResource(ResourceTable& table, std::string_view key) { return resourceText(table, key); }

const std::string& resourceText(ResourceTable& table, std::string_view key) {
    const auto found = table.find(key);
    if (found == table.end() || found->second.empty()) {
        // An entry with an empty text cannot arise (nothing stores one), but
        // it would count as absent all the same.
        fatalFixedError("Resource not found");
    }
    return found->second;
}

void registerBuiltinTexts(ResourceTable& table) {
    for (const BuiltinText& builtin : kBuiltinTexts) setResource(table, builtin.key, builtin.text);
}

void showWarning(const std::string& text) {
    platform::messageBox(text.c_str(), kBoxCaption, kWarningStyle);
}

void showError(const std::string& text) {
    platform::messageBox(text.c_str(), kBoxCaption, kErrorStyle);
}

bool askYesNo(const std::string& text) {
    return platform::messageBox(text.c_str(), kBoxCaption, kQuestionStyle) == platform::kIdYes;
}

namespace {

[[noreturn]] void fail(const char* key, const std::string& detail, const std::string& text) {
    if (ScriptWatcher* watcher = scriptWatcher(); watcher != nullptr && watcher->failure != nullptr)
        watcher->failure(watcher->context, key, detail);
    showError(text);
    platform::exitProcess(1);
}

}  // namespace

void fatalError(const std::string& key, const std::string& detail) {
    fail(key.c_str(), detail, getResource(processResourceTable(), key) + detail);
}

void fatalFixedError(const std::string& text) { fail(nullptr, std::string(), text); }
