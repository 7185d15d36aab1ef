// The POSIX stand-in: runs a medium on Linux for development and dry runs.
//
// - The command line is rebuilt from the argument vector so that the
//   launcher's tokenizer gives every argument back exactly.
// - A backslash in a path handed to a file service is a directory separator.
// - Message boxes are written to standard error (see writeBox); a Yes/No
//   question reads one line from standard input.
// - HKEY_LOCAL_MACHINE comes from the regedit-format file named by
//   TOLVANE_REGISTRY (a relative name is taken from the directory the
//   launcher was started in), read afresh at every key open; without it the
//   registry is empty.
// - The command facility runs the line through /bin/sh unchanged.
// - Writing to a pipe whose reader has gone fails, as on Windows, instead of
//   ending the process.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "intake/tokenizer.h"
#include "platform/platform.h"
#include "platform/regfile.h"
#include "resources/resources.h"

namespace platform {

namespace {

std::string gCommandLine;
std::string gRegistryFile;  // absolute, or empty for an empty registry

std::string currentDirectory() {
    std::vector<char> cwd(4096);
    while (getcwd(cwd.data(), cwd.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        cwd.resize(cwd.size() * 2);
    }
    return cwd.data();
}

std::string toSlashes(const char* path) {
    std::string converted = path;
    for (char& c : converted)
        if (c == '\\') c = '/';
    return converted;
}

unsigned long copyOut(const std::string& text, unsigned long bufferLength, char* buffer) {
    if (text.size() + 1 > bufferLength) return static_cast<unsigned long>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<unsigned long>(text.size());
}

// The registry file, parsed at each key open; open keys hold a snapshot of
// their values.
std::map<RegistryKey, regfile::Values> gOpenKeys;
RegistryKey gNextKey = 0x100;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;

bool loadRegistry(regfile::Registry& registry) {
    if (gRegistryFile.empty()) return true;
    const char* path = gRegistryFile.c_str();
    std::FILE* file = std::fopen(path, "rb");
    std::string text;
    if (file != nullptr) {
        char chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
        const bool failed = std::ferror(file) != 0;
        std::fclose(file);
        if (failed) file = nullptr;
    }
    if (file == nullptr) {
        std::fprintf(stderr, "tolvane: cannot read the registry file %s (TOLVANE_REGISTRY): %s\n", path,
                     std::strerror(errno));
        std::exit(1);
    }
    std::string error;
    if (!regfile::parse(text, registry, error)) {
        std::fprintf(stderr, "tolvane: cannot parse the registry file %s (TOLVANE_REGISTRY): %s\n", path,
                     error.c_str());
        std::exit(1);
    }
    return true;
}

// A box on standard error:
//
//   --- ORX Setup: error (0x52010) ---
//   |first line of the text|
//   |second line|
//   ---
//
// Each line of the text (split at line feeds only) stands between two bars,
// so trailing blanks and empty lines stay visible.  A question ends with
// "--- Yes/No? " and the answer taken, "yes" or "no", on the same line.
void writeBox(const char* text, const char* caption, unsigned int style) {
    std::string out = "--- ";
    out += caption;
    out += ": ";
    out += boxKindName(style);
    char styleText[32];
    std::snprintf(styleText, sizeof styleText, " (0x%x) ---\n", style);
    out += styleText;
    const char* line = text;
    for (;;) {
        const char* end = std::strchr(line, '\n');
        out += '|';
        out.append(line, end ? static_cast<std::size_t>(end - line) : std::strlen(line));
        out += "|\n";
        if (end == nullptr) break;
        line = end + 1;
    }
    out += (style & 0xF) == 4 ? "--- Yes/No? " : "---\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

bool readAnswer() {
    std::string line;
    int c;
    while ((c = std::getchar()) != EOF && c != '\n') line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& ch : line)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return line == "y" || line == "yes";
}

}  // namespace

void prepareProcess(int argc, char** argv) {
    // A reader that has gone makes a write fail (and the run go on), as on
    // Windows.  Commands get the default action back (see
    // runCommandInterpreter).
    signal(SIGPIPE, SIG_IGN);

    // Start-up changes to the launcher's own directory: a relative registry
    // file is the one beside the caller.
    const char* registry = std::getenv("TOLVANE_REGISTRY");
    gRegistryFile = registry != nullptr ? registry : "";
    if (!gRegistryFile.empty() && gRegistryFile[0] != '/') gRegistryFile = currentDirectory() + "/" + gRegistryFile;

    gCommandLine.clear();
    for (int i = 0; i < argc && argv[i] != nullptr; ++i) {
        if (i > 0) gCommandLine += ' ';
        gCommandLine += quoteWord(argv[i]);
    }
}

std::string commandLine() { return gCommandLine; }

unsigned long getFullPathName(const char* name, unsigned long bufferLength, char* buffer,
                              char** filePart) {
    *filePart = nullptr;
    std::string path = toSlashes(name);
    if (path.empty()) return 0;
    if (path[0] != '/') {
        const std::string cwd = currentDirectory();
        if (cwd.empty()) return 0;
        path = cwd + "/" + path;
    }
    // Lexical clean-up, as the Windows call does: no "." or ".." or empty
    // components remain.
    const bool endsInSlash = path.back() == '/';
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    std::string full;
    for (const std::string& part : parts) full += "/" + part;
    if (full.empty() || endsInSlash) full += "/";
    const unsigned long result = copyOut(full, bufferLength, buffer);
    if (result == full.size() && full.back() != '/') *filePart = buffer + full.rfind('/') + 1;
    return result;
}

int setCurrentDirectory(const char* path) { return chdir(toSlashes(path).c_str()) == 0 ? 1 : 0; }

// Linux reports no network path of the kind Windows refuses (a current
// directory never begins with two slashes), so the stand-in never refuses one.
unsigned long getCurrentDirectory(unsigned long bufferLength, char* buffer) {
    const std::string directory = currentDirectory();
    if (directory.empty()) return 0;
    return copyOut(directory, bufferLength, buffer);
}

unsigned long getFileAttributes(const char* path) {
    struct stat info;
    if (*path == '\0' || stat(toSlashes(path).c_str(), &info) != 0) return kInvalidFileAttributes;
    unsigned long attributes = S_ISDIR(info.st_mode) ? 0x10ul : 0x80ul;  // DIRECTORY : NORMAL
    if (access(toSlashes(path).c_str(), W_OK) != 0 && S_ISREG(info.st_mode)) attributes |= 0x1ul;
    return attributes;
}

long regOpenKeyLocalMachine(const char* subKey, unsigned long, unsigned long, RegistryKey* key) {
    *key = 0;
    regfile::Registry registry;
    loadRegistry(registry);
    const regfile::Values* values = regfile::findKey(registry, std::string("HKEY_LOCAL_MACHINE\\") + subKey);
    if (values == nullptr) return kErrorFileNotFound;
    *key = gNextKey++;
    gOpenKeys[*key] = *values;
    return 0;
}

long regQueryValue(RegistryKey key, const char* valueName, unsigned long* type, unsigned char* data,
                   unsigned long* dataSize) {
    auto open = gOpenKeys.find(key);
    if (open == gOpenKeys.end()) return kErrorInvalidHandle;
    auto value = open->second.find(valueName);
    if (value == open->second.end()) return kErrorFileNotFound;
    const std::string& bytes = value->second.data;
    if (type != nullptr) *type = value->second.type;
    if (bytes.size() > *dataSize) {
        *dataSize = static_cast<unsigned long>(bytes.size());
        return kErrorMoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = static_cast<unsigned long>(bytes.size());
    return 0;
}

long regCloseKey(RegistryKey key) { return gOpenKeys.erase(key) == 1 ? 0 : kErrorInvalidHandle; }

int messageBox(const char* text, const char* caption, unsigned int style) {
    writeBox(text, caption, style);
    if ((style & 0xF) != 4) return 1;  // IDOK
    const bool yes = readAnswer();
    std::fputs(yes ? "yes\n" : "no\n", stderr);
    std::fflush(stderr);
    return yes ? kIdYes : 7;  // IDYES : IDNO
}

int runCommandInterpreter(const char* line) {
    std::fflush(nullptr);
    // The interpreter and its programs get SIGPIPE's default action, as
    // any program started from a shell has it.
    signal(SIGPIPE, SIG_DFL);
    const int status = std::system(line);
    signal(SIGPIPE, SIG_IGN);
    if (status == -1) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return status;
}

File openFileForReading(const char* name) {
    const std::string path = toSlashes(name);
    std::FILE* file = *name == '\0' ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) return nullptr;
    // Opening a directory fails, as on Windows.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

std::size_t readFile(File file, char* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, static_cast<std::FILE*>(file));
}

bool atEndOfFile(File file) { return std::feof(static_cast<std::FILE*>(file)) != 0; }

void closeFile(File file) { std::fclose(static_cast<std::FILE*>(file)); }

void writeStandardOutput(const char* data, std::size_t length) { std::fwrite(data, 1, length, stdout); }

void flushStandardOutput() { std::fflush(stdout); }

void exitProcess(int code) { std::exit(code); }

void outOfMemory() { throw std::bad_alloc(); }

}  // namespace platform
