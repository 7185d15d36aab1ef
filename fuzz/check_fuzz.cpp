// tolvane-check on a whole medium: its check, and its plan on two machines.
// The input is the text of tolvane.cfg; a line "=====" splits off the rest
// as more.cfg, and a second one the rest of that as a registry file.
//
// The medium around the script: setup\setup.jar, jre-setup.exe and
// Setup.Dat files, a folder data, and a runtime home jre holding
// bin\java.exe and bin\javaw.exe.  Questions are answered Yes, No, Yes.
//
// Checked beyond the sanitizers: the check and the plan end; every finding
// has a known code and a text; a plan ends with 0, 1 or 3, and with an error
// box when it ends with 1.  And where the run fails in a way that depends
// on neither the registry, the answers, paths outside the medium nor what
// commands make, the check reports that failure first, with the same text.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "check/checker.h"
#include "common.h"
#include "platform/regfile.h"

namespace {

namespace fs = std::filesystem;

const char* const kSeparator = "\n=====\n";

const std::set<std::string> kCodes = {
    "invalid-command", "missing-argument", "malformed-res", "unclosed-marker", "unknown-marker",
    "java-not-defined", "resource-not-found", "unsupported-version", "empty-version", "second-semicolon",
    "runtime-never-found", "missing-file", "missing-installer", "missing-response-file",
    "unreadable-response-file", "nesting-too-deep", "startup-failure", "memory-exhausted", "runaway-script",
    "bare-word", "unused-resource", "detail-joined", "version-never-found", "java-without-versions",
    "installer-never-offered", "byte-order-mark", "nul-byte", "utf8-text", "name-case", "missing-program",
    "writes-to-medium", "maybe-made-by-command", "device-name", "may-ask", "outside-medium"};

void write(const fs::path& path, const std::string& contents) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
}

// The medium's folder, laid out once; each input rewrites its scripts.
const fs::path& medium() {
    static const fs::path folder = [] {
        const fs::path root = fs::temp_directory_path() / ("tolvane-check-fuzz-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "setup");
        fs::create_directories(root / "data");
        fs::create_directories(root / "jre" / "bin");
        write(root / "setup" / "setup.jar", "jar");
        write(root / "jre-setup.exe", "exe");
        write(root / "Setup.Dat", "dat");
        write(root / "jre" / "bin" / "java.exe", "");
        write(root / "jre" / "bin" / "javaw.exe", "");
        return root;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find(kSeparator);
    const std::size_t length = std::string(kSeparator).size();
    const std::string script = input.substr(0, first);
    std::string more, registryText;
    if (first != std::string::npos) {
        more = input.substr(first + length);
        const std::size_t second = more.find(kSeparator);
        if (second != std::string::npos) {
            registryText = more.substr(second + length);
            more.resize(second);
        }
    }
    write(medium() / "tolvane.cfg", script);
    write(medium() / "more.cfg", more);

    check::Medium target{medium().string(), "tolvane.exe"};

    const std::vector<check::Finding> findings = check::checkScript(target);
    for (const check::Finding& f : findings) {
        FUZZ_CHECK(kCodes.count(f.code) == 1);
        FUZZ_CHECK(!f.message.empty());
    }

    // On a machine with the registry given (if it parses), and on one with
    // an empty registry and no answers.
    regfile::Registry registry;
    std::string problem;
    const bool parsed = !registryText.empty() && regfile::parse(registryText, registry, problem);
    for (const bool bare : {false, true}) {
        const check::Plan plan = check::planRun(target, parsed && !bare ? &registry : nullptr,
                                                bare ? std::deque<bool>{} : std::deque<bool>{true, false, true});
        FUZZ_CHECK(plan.exitCode == 0 || plan.exitCode == 1 || plan.exitCode == 3);
        std::string lastBox;
        bool machineDependent = false;
        for (const simulated::Event& e : plan.events) {
            if (e.kind == simulated::Event::Box) lastBox = (e.style & 0xF0) == 0x10 ? e.text : std::string();
            if (e.kind == simulated::Event::Box && (e.style & 0xF) == 4) machineDependent = true;
            if (e.kind == simulated::Event::RegistryOpen) machineDependent = true;
            if ((e.kind == simulated::Event::FileTest || e.kind == simulated::Event::ReadFile) &&
                (e.lookup.outsideMedium || e.lookup.deviceName))
                machineDependent = true;
        }
        if (plan.exitCode == 1) FUZZ_CHECK(!lastBox.empty());
        // A command may make the file a later cf asks for: the check does
        // not take its absence for an error.
        for (const check::Finding& f : findings)
            if (f.code == "maybe-made-by-command") machineDependent = true;
        if (bare && plan.exitCode == 1 && !machineDependent) {
            const check::Finding* firstError = nullptr;
            for (const check::Finding& f : findings)
                if (f.severity == check::Severity::Error) {
                    firstError = &f;
                    break;
                }
            FUZZ_CHECK(firstError != nullptr);
            FUZZ_CHECK(firstError->message == lastBox);
        }
    }
    return 0;
}
