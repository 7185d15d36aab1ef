// The launcher's one window on the operating system.
//
// Every Windows and run-time service that the launcher uses goes through
// these plain functions.  Three implementations exist, chosen at link time:
// platform_win32.cpp (the product), platform_posix.cpp (a stand-in for
// development and dry runs on Linux) and platform_fake.cpp (scripted, for
// unit tests).  The signatures follow the Win32 calls they stand for, so that
// the launcher's code reads like the calls it makes on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Called first thing in main, before anything else happens: hands the
// argument vector to the platform and applies process-wide safety settings
// (on Windows: DLL search limited to the system directory).
void prepareProcess(int argc, char** argv);

// GetCommandLineA: the raw command line of the process.
std::string commandLine();

// GetFullPathNameA: writes the absolute form of `name` into `buffer` (at most
// `bufferLength` bytes, terminator included) and sets `filePart` to where its
// last component begins, or to nullptr when it has none.  Returns the length
// written without the terminator; the size needed, terminator included, when
// the buffer is too small; 0 on failure.
unsigned long getFullPathName(const char* name, unsigned long bufferLength, char* buffer,
                              char** filePart);

// SetCurrentDirectoryA: non-zero on success.
int setCurrentDirectory(const char* path);

// GetCurrentDirectoryA: same result convention as getFullPathName.
unsigned long getCurrentDirectory(unsigned long bufferLength, char* buffer);

// GetFileAttributesA: the attribute bits, or kInvalidFileAttributes.
constexpr unsigned long kInvalidFileAttributes = 0xFFFFFFFFul;
unsigned long getFileAttributes(const char* path);

// The registry, read only, below HKEY_LOCAL_MACHINE.  Results are Win32
// error codes: 0 is success.
using RegistryKey = std::uintptr_t;
constexpr unsigned long kKeyRead = 0x20019ul;
long regOpenKeyLocalMachine(const char* subKey, unsigned long options, unsigned long access,
                            RegistryKey* key);
long regQueryValue(RegistryKey key, const char* valueName, unsigned long* type,
                   unsigned char* data, unsigned long* dataSize);
long regCloseKey(RegistryKey key);

// MessageBoxA with no owner window.  Returns the button pressed (IDYES is 6),
// or 0 when the box could not be shown.
constexpr int kIdYes = 6;
int messageBox(const char* text, const char* caption, unsigned int style);

// system(): runs a command line through the command interpreter and waits
// for it.  Returns the interpreter's exit status, or -1 when none could be
// started.
int runCommandInterpreter(const char* commandLine);

// Binary read streams (fopen "rb", fread, feof, fclose).
using File = void*;
File openFileForReading(const char* name);  // nullptr when it cannot be opened
std::size_t readFile(File file, char* buffer, std::size_t count);
bool atEndOfFile(File file);
void closeFile(File file);

// Standard output.
void writeStandardOutput(const char* data, std::size_t length);
void flushStandardOutput();

// exit(): flushes standard output, runs exit handlers, ends the process.
[[noreturn]] void exitProcess(int code);

// Memory that the launcher grows itself (realloc) ran out: fails the way a
// failed operator new does, with a std::bad_alloc that nothing catches.
[[noreturn]] void outOfMemory();

}  // namespace platform
