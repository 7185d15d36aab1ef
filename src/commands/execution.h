// Acting on the system around the launcher.
#pragma once

#include <string>

// Runs `commandLine` through the command interpreter and waits for it.  Its
// exit status is not looked at; only an interpreter that cannot be started
// (the facility reports -1) ends the process with EXECUTE_ERROR.
void runCommandLine(const std::string& commandLine);

// Returns when `path` names an existing file or directory; otherwise ends the
// process with MISSING_FILE and the path.
void requireFile(const std::string& path);
