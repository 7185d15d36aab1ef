// How tolvane-check writes what it found.
#pragma once

#include <string>
#include <vector>

#include "check/checker.h"

namespace check {

struct Counts {
    std::size_t errors = 0;
    std::size_t warnings = 0;
    std::size_t notes = 0;
};
Counts count(const std::vector<Finding>& findings);

// One line per finding in the form compilers use,
//   tolvane.cfg:3:1: error: Invalid command: prnt [invalid-command]
// followed by its hints and chain as note lines, then a summary line.  A
// finding without a place of its own is put at `medium`.
std::string findingsText(const std::vector<Finding>& findings, const std::string& medium);

// The same findings as a JSON array.
std::string findingsJson(const std::vector<Finding>& findings);

// Each step of a planned run, and its exit code.
std::string planText(const Plan& plan, const std::string& heading);

// The same as a JSON object: "steps", and what a run shows: "stdout",
// "boxes" ([kind, text] in order), "exit", "ending".
std::string planJson(const Plan& plan);

// `text` as a JSON string.  Bytes of 0x80 and above stand for the
// characters U+0080 to U+00FF: the texts are in the ANSI code page, whose
// characters the checker does not know.
std::string jsonString(const std::string& text);

}  // namespace check
