// A simulated Windows machine around a medium folder, for tolvane-check: the
// launcher's own code runs on it unchanged, and nothing is run or written.
//
// - Files are looked up as Windows would: backslash and slash both separate
//   folders, letter case does not matter (a name found only with other
//   letter case is noted), trailing dots and blanks of a name are dropped.
//   A relative path is taken from the current directory, which start-up
//   makes the medium.
// - Command lines are recorded, not run; the command facility returns 0.
// - Message boxes are recorded; a question takes the next answer given, and
//   No when none is left.
// - HKEY_LOCAL_MACHINE comes from a registry file read beforehand; without
//   one it is empty.
// - Standard output is recorded.
// - exitProcess throws Ended, so the checker sees the end of a run, or of a
//   word, and goes on.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "platform/regfile.h"

namespace simulated {

// Thrown by platform::exitProcess.
struct Ended {
    int code;
};

// How a path was found.
struct FileLookup {
    enum Outcome {
        Present,
        Absent,
        Assumed,  // outside what this machine can look at: taken as present
    };
    Outcome outcome = Absent;
    bool directory = false;
    bool outsideMedium = false;  // an absolute path, or one that climbs out of the medium
    bool caseDiffers = false;    // found only with other letter case ...
    std::string foundAs;         // ... as this path (the components as given, spelt as found)
    bool deviceName = false;     // a name Windows takes for a device (NUL, CON, COM1, ...)
    std::string hostPath;        // where it lies on this machine, when Present
};

// One thing the launcher did on the machine, in order.
struct Event {
    enum Kind {
        Output,         // text: bytes written to standard output
        Box,            // text, style; for a question, yes: the answer taken
        ReadFile,       // text: the response file's name; found: whether it could be opened
        RegistryOpen,   // text: the key path below HKEY_LOCAL_MACHINE; found
        RegistryValue,  // text: the value name; found, value: its data as text
        FileTest,       // text: the path; lookup
        Command,        // text: the command line handed to the interpreter
    };
    Kind kind = Output;
    std::string text;
    std::string value;
    unsigned int style = 0;
    bool yes = false;
    bool found = false;
    FileLookup lookup;
};

// A path that Windows would take otherwise than a case-sensitive copy of
// the medium: a name that differs in letter case from the file found, or a
// device name.
struct PathNote {
    enum Kind { CaseDiffers, DeviceName };
    Kind kind;
    std::string given;
    std::string foundAs;
};

struct Machine {
    // Set up before a run.
    std::string launcherDirectory;  // absolute, where the launcher lies: the medium
    std::string commandLine;
    bool lookOutsideMedium = false;  // look up absolute paths on this machine, where it can
    bool recordEvents = true;
    const regfile::Registry* registry = nullptr;  // null: an empty registry
    std::deque<bool> answers;                     // for the questions, in order; then No

    // What happened.
    std::vector<Event> events;
    std::vector<PathNote> pathNotes;
    std::string currentDirectory;
    // The first NUL byte of the response file read last, as an offset into
    // it; npos when it held none.
    std::size_t nulOffset = std::string::npos;
};

Machine& machine();
void reset();

// Looks `path` up as Windows would, relative to the current directory.
FileLookup lookUp(const std::string& path);

// The program name a launcher lying in `directory` has.
std::string launcherPath(const std::string& directory);

}  // namespace simulated
