// The scripted platform for unit tests (see fake.h).
#include <cstring>
#include <new>

#include "platform/fake.h"
#include "platform/platform.h"

namespace fake {

State& state() {
    static State s;
    return s;
}

void reset() { state() = State(); }

void addFile(const std::string& path, const std::string& contents) {
    state().files[path].contents = contents;
}

void addDirectory(const std::string& path) { state().files[path].directory = true; }

}  // namespace fake

namespace platform {

namespace {

struct OpenFile {
    const fake::FileEntry* entry;
    std::size_t position = 0;
    bool eof = false;
};

unsigned long copyOut(const std::string& text, unsigned long bufferLength, char* buffer) {
    if (text.size() + 1 > bufferLength) return static_cast<unsigned long>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<unsigned long>(text.size());
}

std::map<std::string, fake::RegistryValue>* keyOf(RegistryKey key) {
    return reinterpret_cast<std::map<std::string, fake::RegistryValue>*>(key);
}

}  // namespace

void prepareProcess(int, char**) {}

std::string commandLine() { return fake::state().commandLine; }

unsigned long getFullPathName(const char* name, unsigned long bufferLength, char* buffer,
                              char** filePart) {
    fake::State& s = fake::state();
    *filePart = nullptr;
    if (s.failFullPath || *name == '\0') return 0;
    if (s.fullPathTooLong != 0) return s.fullPathTooLong;
    std::string path = name;
    const bool absolute = (path.size() >= 2 && path[1] == ':') || path.compare(0, 2, "\\\\") == 0;
    if (!absolute) {
        std::string base = s.currentDirectory;
        if (!base.empty() && base.back() != '\\') base += '\\';
        path = base + path;
    }
    const unsigned long result = copyOut(path, bufferLength, buffer);
    if (result == path.size() && !s.fullPathWithoutFilePart && path.back() != '\\')
        *filePart = buffer + path.rfind('\\') + 1;
    return result;
}

int setCurrentDirectory(const char* path) {
    fake::State& s = fake::state();
    s.calls.push_back(std::string("SetCurrentDirectoryA ") + path);
    if (s.failSetCurrentDirectory) return 0;
    s.currentDirectory = path;
    return 1;
}

unsigned long getCurrentDirectory(unsigned long bufferLength, char* buffer) {
    fake::State& s = fake::state();
    if (s.failGetCurrentDirectory) return 0;
    std::string directory = s.reportedCurrentDirectory.empty() ? s.currentDirectory : s.reportedCurrentDirectory;
    if (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
    return copyOut(directory, bufferLength, buffer);
}

unsigned long getFileAttributes(const char* path) {
    fake::State& s = fake::state();
    s.calls.push_back(std::string("GetFileAttributesA ") + path);
    auto found = s.files.find(path);
    if (found == s.files.end()) return kInvalidFileAttributes;
    return found->second.directory ? 0x10ul : 0x80ul;
}

long regOpenKeyLocalMachine(const char* subKey, unsigned long options, unsigned long access,
                            RegistryKey* key) {
    fake::State& s = fake::state();
    s.calls.push_back(std::string("RegOpenKeyExA HKLM\\") + subKey + " " + std::to_string(options) + " " +
                      std::to_string(access));
    auto found = s.registry.find(subKey);
    if (found == s.registry.end()) return 2;  // ERROR_FILE_NOT_FOUND
    *key = reinterpret_cast<RegistryKey>(&found->second);
    ++s.openKeys;
    return 0;
}

long regQueryValue(RegistryKey key, const char* valueName, unsigned long* type, unsigned char* data,
                   unsigned long* dataSize) {
    fake::State& s = fake::state();
    s.calls.push_back(std::string("RegQueryValueExA ") + valueName + " " + std::to_string(*dataSize));
    auto found = keyOf(key)->find(valueName);
    if (found == keyOf(key)->end()) return 2;
    const std::string& bytes = found->second.data;
    *type = found->second.type;
    if (bytes.size() > *dataSize) {
        *dataSize = static_cast<unsigned long>(bytes.size());
        return 234;  // ERROR_MORE_DATA
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = static_cast<unsigned long>(bytes.size());
    return 0;
}

long regCloseKey(RegistryKey) {
    fake::State& s = fake::state();
    s.calls.push_back("RegCloseKey");
    --s.openKeys;
    return 0;
}

int messageBox(const char* text, const char* caption, unsigned int style) {
    fake::State& s = fake::state();
    s.boxes.push_back({text, caption, style});
    s.events.push_back(std::string("box ") + text);
    if ((style & 0xF) != 4) return 1;  // IDOK
    if (s.answers.empty()) return 7;   // IDNO
    const int answer = s.answers.front();
    s.answers.pop_front();
    return answer;
}

int runCommandInterpreter(const char* line) {
    fake::State& s = fake::state();
    s.commands.push_back(line);
    s.events.push_back(std::string("command ") + line);
    if (s.onCommand) s.onCommand(line);
    if (s.commandResults.empty()) return 0;
    const int result = s.commandResults.front();
    s.commandResults.pop_front();
    return result;
}

File openFileForReading(const char* name) {
    fake::State& s = fake::state();
    auto found = s.files.find(name);
    if (found == s.files.end() || found->second.directory) return nullptr;
    ++s.openFiles;
    return new OpenFile{&found->second};
}

std::size_t readFile(File file, char* buffer, std::size_t count) {
    OpenFile& open = *static_cast<OpenFile*>(file);
    const fake::FileEntry& entry = *open.entry;
    std::size_t end = entry.contents.size();
    if (entry.readError && entry.errorAfter < end) end = entry.errorAfter;
    std::size_t n = end > open.position ? end - open.position : 0;
    if (n > count) n = count;
    std::memcpy(buffer, entry.contents.data() + open.position, n);
    open.position += n;
    if (n < count && !entry.readError) open.eof = true;
    return n;
}

bool atEndOfFile(File file) { return static_cast<OpenFile*>(file)->eof; }

void closeFile(File file) {
    --fake::state().openFiles;
    delete static_cast<OpenFile*>(file);
}

void writeStandardOutput(const char* data, std::size_t length) {
    fake::State& s = fake::state();
    s.output.append(data, length);
    s.events.push_back("output " + std::string(data, length));
}

void flushStandardOutput() { ++fake::state().flushes; }

void exitProcess(int code) { throw fake::Exit{code}; }

void outOfMemory() { throw std::bad_alloc(); }

}  // namespace platform
