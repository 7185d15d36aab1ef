// The option words: cmd, javainst, java, cf, res and print.
#include "commands/execution.h"
#include "intake/launcher.h"
#include "intake/watcher.h"
#include "platform/platform.h"
#include "runtime/runtime.h"

namespace {

// Only A to Z are folded: bytes of 128 and above stay as they are.
char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCaseName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = lowerCase(c);
    return lower;
}

// Whether `name`, folded, is `lowerName`.
bool namesCommand(std::string_view name, std::string_view lowerName) {
    if (name.size() != lowerName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lowerCase(name[i]) != lowerName[i]) return false;
    return true;
}

void defineResource(ResourceTable& table, std::string_view expanded) {
    const std::size_t equals = expanded.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == expanded.size())
        fatalError("MISSING_ARGUMENT", "res");
    setResource(table, expanded.substr(0, equals), expanded.substr(equals + 1));
}

void printLine(std::string_view text, std::string& line) {
    // One write, flushed at once, so that a redirected output keeps the
    // script's order with the output of later commands, and nothing is lost
    // at a failure.
    if (text.data() != line.data()) line.assign(text);
    line += '\n';
    platform::writeStandardOutput(line.data(), line.size());
    platform::flushStandardOutput();
}

}  // namespace

void Launcher::runOptionCommand(std::string_view optionText) {
    const std::size_t colon = optionText.find(':');
    const std::string_view name = optionText.substr(0, colon);
    const std::string_view argument =
        colon == std::string_view::npos ? std::string_view() : optionText.substr(colon + 1);

    // Compared in this order; the first that matches decides.
    enum Command { Cmd, JavaInst, Java, Cf, Res, Print };
    constexpr int kCommandCount = Print + 1;
    static constexpr std::string_view kNames[kCommandCount] = {"cmd", "javainst", "java", "cf", "res", "print"};
    int found = 0;
    while (found < kCommandCount && !namesCommand(name, kNames[found])) ++found;
    if (found == kCommandCount) fatalError("INVALID_COMMAND", lowerCaseName(name));
    const Command command = static_cast<Command>(found);

    if (command != Print && argument.empty()) fatalError("MISSING_ARGUMENT", std::string(kNames[command]));

    std::string scratch;
    const std::string_view expanded = expandInto(argument, scratch);
    if (ScriptWatcher* watcher = scriptWatcher(); watcher != nullptr && watcher->option != nullptr)
        watcher->option(watcher->context, kNames[command], expanded);
    switch (command) {
    case Cmd: runCommandLine(std::string(expanded)); break;
    case JavaInst: runtimeState().installerCommand.set(std::string(expanded)); break;
    case Java: selectRuntime(std::string(expanded)); break;
    case Cf: requireFile(std::string(expanded)); break;
    case Res: defineResource(table_, expanded); break;
    case Print: printLine(expanded, scratch); break;
    }
}
