// Helpers shared by the unit tests: a fresh process on the fake platform.
#pragma once

#include <memory>
#include <string>

#include "intake/launcher.h"
#include "platform/fake.h"
#include "resources/resources.h"

namespace test {

// What a call ended with: returned normally, or exited with a code.
struct Outcome {
    bool exited = false;
    int code = 0;
    std::string lastBox;  // text of the last box shown, if any

    bool failedWith(const std::string& text) const { return exited && code == 1 && lastBox == text; }
};

// Resets the fake platform and the process state, and builds a resource table
// with the built-in texts, as start-up does.
void freshProcess();
ResourceTable& table();

// A launcher that has run an empty script, ready for its operations to be
// called one by one.
Launcher& launcher();

template <class F>
Outcome capture(F&& f) {
    Outcome outcome;
    try {
        f();
    } catch (const fake::Exit& exit) {
        outcome.exited = true;
        outcome.code = exit.code;
    }
    if (!fake::state().boxes.empty()) outcome.lastBox = fake::state().boxes.back().text;
    return outcome;
}

// Runs the whole program as main does, with `commandLine` as the process's
// command line.  Returns the exit code.  Set up the fake before calling; the
// process state is reset here, the fake is not.
int runMain(const std::string& commandLine, const std::string& programName = "C:\\medium\\tolvane.exe");

// The built-in text of a key.
std::string builtin(const std::string& key);

}  // namespace test
