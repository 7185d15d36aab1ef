// The simulated machine of tolvane-check (see simulated.h).  The files of
// the medium are read through std::filesystem, so this runs alike on Linux
// and on Windows.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <system_error>

#include "platform/platform.h"
#include "platform/simulated.h"

namespace simulated {

namespace {

namespace fs = std::filesystem;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool hostIsWindows() { return fs::path::preferred_separator == '\\'; }

using regfile::equalNoCase;
using regfile::lower;

std::string joinHost(const std::string& directory, const std::string& name) {
    if (!directory.empty() && isSeparator(directory.back())) return directory + name;
    return directory + static_cast<char>(fs::path::preferred_separator) + name;
}

// The names in a folder of this machine; nothing changes during a run, so
// each folder is listed once.
const std::vector<std::string>& listing(const std::string& directory) {
    static std::map<std::string, std::vector<std::string>> cache;
    auto found = cache.find(directory);
    if (found != cache.end()) return found->second;
    std::vector<std::string>& names = cache[directory];
    std::error_code error;
    for (fs::directory_iterator it(fs::path(directory), error), end; !error && it != end; it.increment(error)) {
        try {
            names.push_back(it->path().filename().string());
        } catch (const std::exception&) {
            // A name this code page cannot spell cannot be asked for either.
        }
    }
    return names;
}

// Windows takes these names, with any extension, for devices in every folder.
bool isDeviceName(const std::string& component) {
    std::string stem = component.substr(0, component.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = lower(c);
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// Windows drops the dots and blanks at the end of a name.
std::string windowsName(const std::string& component) {
    if (component == "." || component == "..") return component;
    std::size_t end = component.size();
    while (end > 0 && (component[end - 1] == '.' || component[end - 1] == ' ')) --end;
    return component.substr(0, end);
}

Machine gMachine;

}  // namespace

Machine& machine() { return gMachine; }

void reset() { gMachine = Machine(); }

std::string launcherPath(const std::string& directory) { return joinHost(directory, "tolvane.exe"); }

FileLookup lookUp(const std::string& path) {
    const Machine& m = gMachine;
    FileLookup result;
    if (path.empty()) return result;

    // Where the path starts: a share, a drive, the root of the current
    // drive, or the current directory.
    std::string base;
    std::string givenRoot;  // the path's own root, as written
    std::size_t rest = 0;
    bool canLook = true;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        result.outsideMedium = true;
        std::size_t server = path.find_first_of("\\/", 2);
        std::size_t share = server == std::string::npos ? server : path.find_first_of("\\/", server + 1);
        rest = share == std::string::npos ? path.size() : share + 1;
        givenRoot = path.substr(0, rest);
        base = givenRoot;
        canLook = hostIsWindows();
    } else if (path.size() >= 2 && path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        result.outsideMedium = true;
        rest = path.size() >= 3 && isSeparator(path[2]) ? 3 : 2;
        givenRoot = path.substr(0, rest);
        base = path.substr(0, 2) + "\\";
        canLook = hostIsWindows();
    } else if (isSeparator(path[0])) {
        result.outsideMedium = true;
        rest = 1;
        givenRoot = path.substr(0, 1);
        base = hostIsWindows() ? m.currentDirectory.substr(0, 2) + "\\" : "/";
    } else {
        base = m.currentDirectory;
    }
    if (result.outsideMedium && (!m.lookOutsideMedium || !canLook)) {
        result.outcome = FileLookup::Assumed;
        return result;
    }

    std::string directory = base;
    std::vector<std::string> found;  // the components walked so far, spelt as found
    std::vector<std::string> hostDirectories;
    bool caseDiffers = false;
    while (rest <= path.size()) {
        std::size_t end = path.find_first_of("\\/", rest);
        if (end == std::string::npos) end = path.size();
        const std::string component = windowsName(path.substr(rest, end - rest));
        rest = end + 1;
        if (component.empty() || component == ".") continue;
        if (isDeviceName(component)) result.deviceName = true;
        if (component == "..") {
            if (!found.empty()) {
                found.pop_back();
                directory = hostDirectories.back();
                hostDirectories.pop_back();
                continue;
            }
            if (givenRoot.empty()) {
                // Out of the medium.
                result.outsideMedium = true;
                if (!m.lookOutsideMedium) {
                    result.outcome = FileLookup::Assumed;
                    return result;
                }
            }
            directory = fs::path(directory).parent_path().string();
            givenRoot += "..\\";
            continue;
        }
        const std::vector<std::string>& names = listing(directory);
        const std::string* match = nullptr;
        for (const std::string& name : names)
            if (name == component) {
                match = &name;
                break;
            }
        if (match == nullptr) {
            for (const std::string& name : names)
                if (equalNoCase(name, component)) {
                    match = &name;
                    caseDiffers = true;
                    break;
                }
        }
        if (match == nullptr) return result;  // Absent
        hostDirectories.push_back(directory);
        found.push_back(*match);
        directory = joinHost(directory, *match);
    }

    std::error_code error;
    result.outcome = FileLookup::Present;
    result.directory = fs::is_directory(fs::path(directory), error);
    result.hostPath = directory;
    if (caseDiffers) {
        result.caseDiffers = true;
        result.foundAs = givenRoot;
        for (std::size_t i = 0; i < found.size(); ++i) result.foundAs += (i ? "\\" : "") + found[i];
    }
    return result;
}

}  // namespace simulated

namespace platform {

namespace {

using simulated::Event;
using simulated::FileLookup;

simulated::Machine& m() { return simulated::machine(); }

Event made(Event::Kind kind, std::string text) {
    Event event;
    event.kind = kind;
    event.text = std::move(text);
    return event;
}

void record(Event event) {
    if (m().recordEvents) m().events.push_back(std::move(event));
}

FileLookup lookUpNoting(const std::string& path) {
    FileLookup lookup = simulated::lookUp(path);
    if (lookup.caseDiffers) m().pathNotes.push_back({simulated::PathNote::CaseDiffers, path, lookup.foundAs});
    if (lookup.deviceName) m().pathNotes.push_back({simulated::PathNote::DeviceName, path, std::string()});
    return lookup;
}

// Open registry keys: a snapshot of their values.
std::map<RegistryKey, regfile::Values> gOpenKeys;
RegistryKey gNextKey = 0x100;

struct OpenFile {
    std::FILE* file = nullptr;  // null: a file outside the medium, read as empty
    std::size_t offset = 0;
};

}  // namespace

void prepareProcess(int, char**) {}

std::string commandLine() { return m().commandLine; }

unsigned long getFullPathName(const char* name, unsigned long bufferLength, char* buffer, char** filePart) {
    *filePart = nullptr;
    const std::size_t length = std::strlen(name);
    if (length == 0) return 0;
    if (length + 1 > bufferLength) return static_cast<unsigned long>(length + 1);
    std::memcpy(buffer, name, length + 1);
    const char* last = nullptr;
    for (const char* p = buffer; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/') last = p;
    if (last != nullptr && last[1] != '\0') *filePart = buffer + (last - buffer) + 1;
    return static_cast<unsigned long>(length);
}

int setCurrentDirectory(const char* path) {
    std::string directory = path;
    while (directory.size() > 1 && (directory.back() == '\\' || directory.back() == '/') &&
           !(directory.size() == 3 && directory[1] == ':'))
        directory.pop_back();
    m().currentDirectory = directory;
    return 1;
}

unsigned long getCurrentDirectory(unsigned long bufferLength, char* buffer) {
    const std::string& directory = m().currentDirectory;
    if (directory.size() + 1 > bufferLength) return static_cast<unsigned long>(directory.size() + 1);
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return static_cast<unsigned long>(directory.size());
}

unsigned long getFileAttributes(const char* path) {
    Event event = made(Event::FileTest, path);
    event.lookup = lookUpNoting(path);
    const FileLookup::Outcome outcome = event.lookup.outcome;
    const bool directory = event.lookup.directory;
    record(std::move(event));
    if (outcome == FileLookup::Absent) return kInvalidFileAttributes;
    return directory ? 0x10ul : 0x80ul;  // DIRECTORY : NORMAL
}

long regOpenKeyLocalMachine(const char* subKey, unsigned long, unsigned long, RegistryKey* key) {
    *key = 0;
    const regfile::Values* values =
        m().registry == nullptr ? nullptr
                                : regfile::findKey(*m().registry, std::string("HKEY_LOCAL_MACHINE\\") + subKey);
    Event event = made(Event::RegistryOpen, subKey);
    event.found = values != nullptr;
    record(std::move(event));
    if (values == nullptr) return 2;  // ERROR_FILE_NOT_FOUND
    *key = gNextKey++;
    gOpenKeys[*key] = *values;
    return 0;
}

long regQueryValue(RegistryKey key, const char* valueName, unsigned long* type, unsigned char* data,
                   unsigned long* dataSize) {
    auto open = gOpenKeys.find(key);
    if (open == gOpenKeys.end()) return 6;  // ERROR_INVALID_HANDLE
    auto value = open->second.find(valueName);
    Event event = made(Event::RegistryValue, valueName);
    event.found = value != open->second.end();
    if (event.found) event.value = value->second.data.substr(0, value->second.data.find('\0'));
    record(std::move(event));
    if (value == open->second.end()) return 2;
    const std::string& bytes = value->second.data;
    if (type != nullptr) *type = value->second.type;
    if (bytes.size() > *dataSize) {
        *dataSize = static_cast<unsigned long>(bytes.size());
        return 234;  // ERROR_MORE_DATA
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = static_cast<unsigned long>(bytes.size());
    return 0;
}

long regCloseKey(RegistryKey key) { return gOpenKeys.erase(key) == 1 ? 0 : 6; }

int messageBox(const char* text, const char* caption, unsigned int style) {
    (void)caption;
    Event event = made(Event::Box, text);
    event.style = style;
    int result = 1;  // IDOK
    if ((style & 0xF) == 4) {
        std::deque<bool>& answers = m().answers;
        event.yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        result = event.yes ? kIdYes : 7;  // IDNO
    }
    record(std::move(event));
    return result;
}

int runCommandInterpreter(const char* line) {
    record(made(Event::Command, line));
    return 0;
}

File openFileForReading(const char* name) {
    m().nulOffset = std::string::npos;
    Event event = made(Event::ReadFile, name);
    event.lookup = lookUpNoting(name);
    OpenFile* open = nullptr;
    if (event.lookup.outcome == FileLookup::Assumed) {
        open = new OpenFile;
    } else if (event.lookup.outcome == FileLookup::Present && !event.lookup.directory) {
        if (std::FILE* file = std::fopen(event.lookup.hostPath.c_str(), "rb")) open = new OpenFile{file};
    }
    event.found = open != nullptr;
    record(std::move(event));
    return open;
}

std::size_t readFile(File file, char* buffer, std::size_t count) {
    OpenFile& open = *static_cast<OpenFile*>(file);
    if (open.file == nullptr) return 0;
    const std::size_t got = std::fread(buffer, 1, count, open.file);
    if (m().nulOffset == std::string::npos) {
        if (const void* nul = std::memchr(buffer, '\0', got))
            m().nulOffset = open.offset + static_cast<std::size_t>(static_cast<const char*>(nul) - buffer);
    }
    open.offset += got;
    return got;
}

bool atEndOfFile(File file) {
    const OpenFile& open = *static_cast<OpenFile*>(file);
    return open.file == nullptr || std::feof(open.file) != 0;
}

void closeFile(File file) {
    OpenFile* open = static_cast<OpenFile*>(file);
    if (open->file != nullptr) std::fclose(open->file);
    delete open;
}

void writeStandardOutput(const char* data, std::size_t length) {
    record(made(Event::Output, std::string(data, length)));
}

void flushStandardOutput() {}

void exitProcess(int code) { throw simulated::Ended{code}; }

void outOfMemory() { throw std::bad_alloc(); }

}  // namespace platform
