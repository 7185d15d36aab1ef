// tolvane-check: what a medium's script will do, found by running the
// launcher's own code on a simulated machine (platform/simulated.h).
//
// check  runs every word of the script under a watcher.  A word that fails
//        is reported with the text the user would see and the checker goes
//        on with the next word, as if the faulty one were not there; every
//        java option is taken to find a runtime.
// plan   runs the script as the launcher would on a machine with the
//        registry and the answers given, and records every step; nothing is
//        run and nothing is written.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "platform/regfile.h"
#include "platform/simulated.h"

namespace check {

// Where a word stands.
struct Place {
    std::string file;         // a response file's name as written after '@', or "<command line>"
    std::size_t line = 0;     // 0: the file as a whole
    std::size_t column = 0;   // of the word's first byte, counted in bytes from 1
    std::string word;         // the word as written, quotes included
};

enum class Severity { Error, Warning, Note };

struct Finding {
    Severity severity = Severity::Error;
    std::string code;             // stable: see docs/check.md
    Place place;
    std::string message;          // the text the user would see, or what was found
    std::string console;          // a console line written before the box, if any
    std::vector<std::string> hints;
    std::vector<Place> chain;     // the words that named the response files leading here, innermost first
    std::size_t order = 0;        // the word it belongs to, in the order of the run
};

// A medium and the command line the launcher would be started with.
struct Medium {
    std::string directory;    // the folder the launcher lies in, absolute
    std::string commandLine;  // raw, program name first
};

std::vector<Finding> checkScript(const Medium& medium);

struct Plan {
    std::vector<simulated::Event> events;
    int exitCode = 0;
    std::string ending;  // how the run ends abnormally, or empty
};

Plan planRun(const Medium& medium, const regfile::Registry* registry, const std::deque<bool>& answers);

// The command line a launcher started as `tolvane.exe WORD...` gets.
std::string commandLineOf(const std::vector<std::string>& words);

}  // namespace check
