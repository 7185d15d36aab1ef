// The scripted platform for unit tests: what the launcher will find is set
// up beforehand, and everything it asks of the platform is recorded.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake {

// Thrown by platform::exitProcess, so that a test sees the exit code.
struct Exit {
    int code;
};

struct Box {
    std::string text;
    std::string caption;
    unsigned int style;
};

struct FileEntry {
    std::string contents;
    bool directory = false;
    bool readError = false;      // reading stops short of the end ...
    std::size_t errorAfter = 0;  // ... after this many bytes
};

struct RegistryValue {
    unsigned long type = 1;  // REG_SZ
    std::string data;        // raw bytes, with the NUL a string value carries
};

struct State {
    // Start-up.
    std::string commandLine;
    std::string currentDirectory = "C:\\work";
    bool failFullPath = false;            // GetFullPathNameA returns 0
    unsigned long fullPathTooLong = 0;    // ... returns this size needed instead
    bool fullPathWithoutFilePart = false;  // ... reports no file part
    bool failSetCurrentDirectory = false;
    bool failGetCurrentDirectory = false;
    std::string reportedCurrentDirectory;  // GetCurrentDirectoryA's answer, if set

    // The file system, keyed by the path exactly as the launcher passes it.
    std::map<std::string, FileEntry> files;

    // HKEY_LOCAL_MACHINE: key path (below the root) -> value name -> value.
    std::map<std::string, std::map<std::string, RegistryValue>> registry;

    // Answers of question boxes (a MessageBoxA result each); when none are
    // left, No.  Results of other boxes are always IDOK.
    std::deque<int> answers;

    // Results of the command facility, in order; when none are left, 0.
    std::deque<int> commandResults;
    // Runs when a command line is handed to the facility (e.g. an installer
    // that registers a runtime).
    std::function<void(const std::string&)> onCommand;

    // Records.
    std::vector<Box> boxes;
    std::vector<std::string> commands;  // command lines, in order
    std::vector<std::string> calls;     // every registry and attribute call, in order
    std::vector<std::string> events;    // boxes, commands and output, in order
    std::string output;                 // standard output
    int openKeys = 0;
    int openFiles = 0;
    int flushes = 0;
};

State& state();
void reset();

// Convenience for the file table.
void addFile(const std::string& path, const std::string& contents);
void addDirectory(const std::string& path);

}  // namespace fake
