// Reader for registry files in the regedit export format ("REGEDIT4" or
// "Windows Registry Editor Version 5.00"), used by the POSIX stand-in in
// place of the live registry.
#pragma once

#include <map>
#include <string>

namespace regfile {

// Windows compares registry and file names without regard to the letter
// case of A to Z.
char lower(char c);
bool equalNoCase(const std::string& a, const std::string& b);

// Registry key and value names compare without regard to ASCII letter case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

constexpr unsigned long kRegSz = 1;
constexpr unsigned long kRegBinary = 3;
constexpr unsigned long kRegDword = 4;

struct Value {
    unsigned long type = kRegSz;
    std::string data;  // raw bytes; a string value includes its terminating NUL
};

using Values = std::map<std::string, Value, NoCaseLess>;           // "" is the default value
using Registry = std::map<std::string, Values, NoCaseLess>;  // full key path, root first

// Parses `text` into `registry`.  On failure returns false and describes the
// fault, with its line number, in `error`.
bool parse(const std::string& text, Registry& registry, std::string& error);

// The values of `keyPath` (root first, e.g. "HKEY_LOCAL_MACHINE\\SOFTWARE"),
// or nullptr when no such key exists.  A key that only has subkeys in the
// file exists, with no values.
const Values* findKey(const Registry& registry, const std::string& keyPath);

}  // namespace regfile
