// Finding and choosing a Java runtime.
#pragma once

#include <string>
#include <vector>

// A text that is absent until first set.
struct OptionalText {
    bool present = false;
    std::string text;
    void set(const std::string& value) {
        text = value;
        present = true;
    }
};

struct RuntimeState {
    OptionalText javaHome;          // JavaHome of the latest successful lookup
    OptionalText javaBinDir;        // the selected runtime's bin directory, with "\" at its end
    OptionalText installerCommand;  // the expanded argument of the latest javainst
};
RuntimeState& runtimeState();

struct VersionLists {
    std::vector<std::string> official;
    std::vector<std::string> unofficial;
};

// "official,...[;unofficial,...]".  Ends the process with a console line and
// UNKNOWN_VM_VERSION at the first fault in text order.
VersionLists parseVersionSpecification(const std::string& specification);
void validateVersion(const std::string& version);

// True when the runtime of `version` is registered and both of its
// executables exist; javaHome then holds its home directory.
bool findRegisteredRuntime(const std::string& version);

// Carries out the java option: returns only once a runtime is selected.
void selectRuntime(const std::string& specification);
void adoptRuntime();
