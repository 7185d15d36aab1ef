// tolvane-check: know before shipping what a medium's script will do.
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "check/checker.h"
#include "check/report.h"
#include "platform/regfile.h"

namespace {

const char* const kUsage =
    "usage: tolvane-check [--json] [--strict] [MEDIUM]\n"
    "       tolvane-check [--json] [--strict] MEDIUM -- WORD...\n"
    "       tolvane-check --plan [--registry FILE] [--answer yes|no]... [--json] [MEDIUM] [-- WORD...]\n"
    "\n"
    "Checks the script a launcher in the folder MEDIUM (default: the current folder)\n"
    "would run: MEDIUM\\tolvane.cfg, or the command line WORD... given after --.\n"
    "\n"
    "  --json          findings (or the plan) as JSON\n"
    "  --strict        exit status 1 for warnings as well as errors\n"
    "  --plan          walk the script as the launcher would, on a machine whose\n"
    "                  registry is FILE (regedit format; none: empty), answering\n"
    "                  the questions in order (then No); nothing is run or written\n"
    "  --command-line-file FILE\n"
    "                  the launcher's raw command line, program name first, read\n"
    "                  byte for byte from FILE (in place of -- WORD...)\n"
    "\n"
    "Exit status: check: 0 no errors, 1 errors (--strict: or warnings);\n"
    "plan: the exit code the run would end with (3: it ends abnormally);\n"
    "2: the checker could not run.\n";

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "tolvane-check: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

bool readFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

void write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false, strict = false, plan = false, haveWords = false;
    std::string medium, registryFile, commandLineFile;
    bool haveRegistry = false, haveCommandLineFile = false;
    std::deque<bool> answers;
    std::vector<std::string> words;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* option) {
            if (i + 1 >= argc) fail(std::string(option) + " needs a value");
            return std::string(argv[++i]);
        };
        if (arg == "--") {
            haveWords = true;
            for (++i; i < argc; ++i) words.push_back(argv[i]);
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--strict") {
            strict = true;
        } else if (arg == "--plan") {
            plan = true;
        } else if (arg == "--registry") {
            registryFile = value("--registry");
            haveRegistry = true;
        } else if (arg == "--answer") {
            const std::string answer = value("--answer");
            if (answer != "yes" && answer != "no") fail("--answer takes yes or no, not " + answer);
            answers.push_back(answer == "yes");
        } else if (arg == "--command-line-file") {
            commandLineFile = value("--command-line-file");
            haveCommandLineFile = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-' ) {
            fail("unknown option " + arg);
        } else if (medium.empty()) {
            medium = arg;
        } else {
            fail("more than one MEDIUM (" + medium + ", " + arg + "); words for the launcher go after --");
        }
    }
    if (!plan && (haveRegistry || !answers.empty())) fail("--registry and --answer go with --plan");
    if (plan && strict) fail("--strict goes with a check, not with --plan");
    if (haveWords && haveCommandLineFile) fail("give the command line either after -- or with --command-line-file");

    const std::string shown = medium.empty() ? "." : medium;
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(fs::path(shown), error)) fail("no such medium folder: " + shown);
    check::Medium target;
    target.directory = fs::absolute(fs::path(shown), error).lexically_normal().string();
    if (target.directory.size() > 1 && (target.directory.back() == '/' || target.directory.back() == '\\') &&
        target.directory[target.directory.size() - 2] != ':')
        target.directory.pop_back();
    if (haveCommandLineFile) {
        if (!readFile(commandLineFile, target.commandLine)) fail("cannot read " + commandLineFile);
    } else if (haveWords) {
        target.commandLine = check::commandLineOf(words);
    } else {
        target.commandLine = "tolvane.exe";
    }

    if (plan) {
        regfile::Registry registry;
        if (haveRegistry) {
            std::string text, problem;
            if (!readFile(registryFile, text)) fail("cannot read the registry file " + registryFile);
            if (!regfile::parse(text, registry, problem)) fail("cannot parse the registry file " + registryFile + ": " + problem);
        }
        const check::Plan result = check::planRun(target, haveRegistry ? &registry : nullptr, answers);
        if (json) {
            write(check::planJson(result));
        } else {
            std::string heading = "tolvane-check: plan for " + shown + " (registry: " +
                                  (haveRegistry ? registryFile : std::string("empty")) + "; answers:";
            if (answers.empty()) heading += " none";
            for (bool answer : answers) heading += answer ? " yes" : " no";
            heading += ", then no)";
            write(check::planText(result, heading));
        }
        return result.exitCode;
    }

    const std::vector<check::Finding> findings = check::checkScript(target);
    write(json ? check::findingsJson(findings) : check::findingsText(findings, shown));
    const check::Counts counts = check::count(findings);
    return counts.errors > 0 || (strict && counts.warnings > 0) ? 1 : 0;
}
