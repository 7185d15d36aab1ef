// Test helper: starts a command line given byte for byte, so that a case's
// raw command line reaches the launcher exactly (Wine would rebuild it from
// an argument vector).  The line is read from the file named by the only
// argument; the child inherits the console, handles and current directory,
// and its exit code is passed on.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: rawrun FILE  (FILE holds the command line to start)\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "rawrun: cannot open %s\n", argv[1]);
        return 2;
    }
    std::string line;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) line.append(chunk, got);
    std::fclose(file);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "rawrun: CreateProcessA failed: %lu\n", GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
