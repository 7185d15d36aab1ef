// The option words: cmd, javainst, java, cf, res and print.
#include "commands/execution.h"
#include "intake/launcher.h"
#include "platform/platform.h"
#include "runtime/runtime.h"

namespace {

// Only A to Z are folded: bytes of 128 and above stay as they are.
std::string lowerCaseName(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return name;
}

void defineResource(ResourceTable& table, const std::string& expanded) {
    const std::size_t equals = expanded.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == expanded.size())
        fatalError("MISSING_ARGUMENT", "res");
    setResource(table, expanded.substr(0, equals), expanded.substr(equals + 1));
}

void printLine(std::string text) {
    // Flushed at once, so that a redirected output keeps the script's order
    // with the output of later commands, and nothing is lost at a failure.
    text += '\n';
    platform::writeStandardOutput(text.data(), text.size());
    platform::flushStandardOutput();
}

}  // namespace

void Launcher::runOptionCommand(const std::string& optionText) {
    const std::size_t colon = optionText.find(':');
    const std::string name = lowerCaseName(optionText.substr(0, colon));
    const std::string argument = colon == std::string::npos ? std::string() : optionText.substr(colon + 1);

    enum Command { Cmd, JavaInst, Java, Cf, Res, Print };
    Command command;
    if (name == "cmd") command = Cmd;
    else if (name == "javainst") command = JavaInst;
    else if (name == "java") command = Java;
    else if (name == "cf") command = Cf;
    else if (name == "res") command = Res;
    else if (name == "print") command = Print;
    else fatalError("INVALID_COMMAND", name);

    if (command != Print && argument.empty()) fatalError("MISSING_ARGUMENT", name);

    const std::string expanded = expandMarkers(argument);
    switch (command) {
    case Cmd: runCommandLine(expanded); break;
    case JavaInst: runtimeState().installerCommand.set(expanded); break;
    case Java: selectRuntime(expanded); break;
    case Cf: requireFile(expanded); break;
    case Res: defineResource(table_, expanded); break;
    case Print: printLine(expanded); break;
    }
}
