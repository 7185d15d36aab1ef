// The product: the real Win32 and C run-time services.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

void prepareProcess(int, char**) {
    // A setup program is often started from a Downloads folder, where a DLL
    // planted beside it would be loaded by the system's own code (themed
    // message boxes load DLLs that are not KnownDLLs).  Load from the system
    // directory only.  This holds for the launcher alone: the command
    // interpreter, the installer and the product's setup program search as
    // they always do.  SetDefaultDllDirectories is looked up at run time so
    // that the exe still starts where Windows lacks it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault != nullptr) setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    }
}

std::string commandLine() {
    const char* line = GetCommandLineA();
    return line != nullptr ? line : "";
}

unsigned long getFullPathName(const char* name, unsigned long bufferLength, char* buffer,
                              char** filePart) {
    return GetFullPathNameA(name, bufferLength, buffer, filePart);
}

int setCurrentDirectory(const char* path) { return SetCurrentDirectoryA(path); }

unsigned long getCurrentDirectory(unsigned long bufferLength, char* buffer) {
    return GetCurrentDirectoryA(bufferLength, buffer);
}

unsigned long getFileAttributes(const char* path) { return GetFileAttributesA(path); }

long regOpenKeyLocalMachine(const char* subKey, unsigned long options, unsigned long access,
                            RegistryKey* key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, options, access, &opened);
    *key = reinterpret_cast<RegistryKey>(opened);
    return result;
}

long regQueryValue(RegistryKey key, const char* valueName, unsigned long* type, unsigned char* data,
                   unsigned long* dataSize) {
    DWORD valueType = 0;
    DWORD size = *dataSize;
    const LONG result =
        RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName, nullptr, &valueType, data, &size);
    *type = valueType;
    *dataSize = size;
    return result;
}

long regCloseKey(RegistryKey key) { return RegCloseKey(reinterpret_cast<HKEY>(key)); }

int messageBox(const char* text, const char* caption, unsigned int style) {
    return MessageBoxA(nullptr, text, caption, style);
}

int runCommandInterpreter(const char* line) { return std::system(line); }

File openFileForReading(const char* name) { return std::fopen(name, "rb"); }

std::size_t readFile(File file, char* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, static_cast<std::FILE*>(file));
}

bool atEndOfFile(File file) { return std::feof(static_cast<std::FILE*>(file)) != 0; }

void closeFile(File file) { std::fclose(static_cast<std::FILE*>(file)); }

void writeStandardOutput(const char* data, std::size_t length) { std::fwrite(data, 1, length, stdout); }

void flushStandardOutput() { std::fflush(stdout); }

void exitProcess(int code) { std::exit(code); }

// The way a failed operator new goes; runtime_win32.cpp ends the process there.
void outOfMemory() { std::__throw_bad_alloc(); }

}  // namespace platform
