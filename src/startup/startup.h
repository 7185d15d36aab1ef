// Program entry: prepares the process and runs the script.
#pragma once

// Everything main does after the platform is prepared: builds the resource
// table, moves to the launcher's own directory, refuses a network path and
// runs the script.  Returns 0 when the script has run to its end; every
// failure ends the process with exit code 1 before that.
int runLauncher(const char* programName);
