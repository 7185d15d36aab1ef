#include "platform/regfile.h"

#include <cstdlib>

namespace regfile {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

namespace {

// Regedit writes version 5 files in UTF-16LE; either form is accepted, as is
// a UTF-8 byte-order mark.  Characters beyond one byte become '?'.
std::string decode(const std::string& raw) {
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
        static_cast<unsigned char>(raw[1]) == 0xFE) {
        std::string text;
        for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
            const unsigned unit = static_cast<unsigned char>(raw[i]) |
                                  (static_cast<unsigned>(static_cast<unsigned char>(raw[i + 1])) << 8);
            text += unit < 0x100 ? static_cast<char>(unit) : '?';
        }
        return text;
    }
    if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) return raw.substr(3);
    return raw;
}

std::string trim(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t')) ++begin;
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
    return s.substr(begin, end - begin);
}

std::string canonicalRoot(const std::string& path) {
    static const char* const kAliases[][2] = {
        {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"},
        {"HKCR", "HKEY_CLASSES_ROOT"},  {"HKU", "HKEY_USERS"},
        {"HKCC", "HKEY_CURRENT_CONFIG"},
    };
    const std::size_t slash = path.find('\\');
    const std::string root = path.substr(0, slash);
    for (const auto& alias : kAliases)
        if (equalNoCase(root, alias[0]))
            return alias[1] + (slash == std::string::npos ? std::string() : path.substr(slash));
    return path;
}

bool knownRoot(const std::string& path) {
    static const char* const kRoots[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT",
                                         "HKEY_USERS", "HKEY_CURRENT_CONFIG"};
    const std::string root = path.substr(0, path.find('\\'));
    for (const char* known : kRoots)
        if (equalNoCase(root, known)) return true;
    return false;
}

// Reads a quoted string starting at text[pos] == '"'; leaves pos after the
// closing quote.
bool readQuoted(const std::string& text, std::size_t& pos, std::string& out, std::string& error) {
    ++pos;
    out.clear();
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos >= text.size()) break;
            const char next = text[pos++];
            if (next != '\\' && next != '"') {
                error = std::string("unknown escape \\") + next + " (write a backslash as \\\\)";
                return false;
            }
            out += next;
        } else {
            out += c;
        }
    }
    error = "unterminated string";
    return false;
}

bool hexDigit(char c, unsigned& value) {
    if (c >= '0' && c <= '9') value = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') value = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') value = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    return true;
}

// One to eight hex digits.
bool parseHexNumber(const std::string& digits, unsigned long& number) {
    if (digits.empty() || digits.size() > 8) return false;
    number = 0;
    for (char c : digits) {
        unsigned d;
        if (!hexDigit(c, d)) return false;
        number = number * 16 + d;
    }
    return true;
}

bool parseHexBytes(const std::string& list, std::string& out, std::string& error) {
    out.clear();
    std::size_t pos = 0;
    const std::string s = trim(list);
    if (s.empty()) return true;
    for (;;) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        unsigned hi, lo;
        if (pos + 1 >= s.size() || !hexDigit(s[pos], hi) || !hexDigit(s[pos + 1], lo)) {
            error = "bad hex byte list";
            return false;
        }
        out += static_cast<char>(hi * 16 + lo);
        pos += 2;
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        if (pos == s.size()) return true;
        if (s[pos] != ',') {
            error = "bad hex byte list";
            return false;
        }
        ++pos;
    }
}

bool parseData(const std::string& spec, Value& value, bool& remove, std::string& error) {
    remove = false;
    if (spec == "-") {
        remove = true;
        return true;
    }
    if (!spec.empty() && spec[0] == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!readQuoted(spec, pos, text, error)) return false;
        if (!trim(spec.substr(pos)).empty()) {
            error = "text after the closing quote";
            return false;
        }
        value.type = kRegSz;
        value.data = text + '\0';
        return true;
    }
    if (spec.compare(0, 6, "dword:") == 0) {
        unsigned long number = 0;
        if (!parseHexNumber(trim(spec.substr(6)), number)) {
            error = "bad dword";
            return false;
        }
        value.type = kRegDword;
        value.data.clear();
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (spec.compare(0, 4, "hex:") == 0) {
        value.type = kRegBinary;
        return parseHexBytes(spec.substr(4), value.data, error);
    }
    if (spec.compare(0, 4, "hex(") == 0) {
        const std::size_t close = spec.find("):", 4);
        unsigned long type = 0;
        if (close == std::string::npos || !parseHexNumber(spec.substr(4, close - 4), type)) {
            error = "bad hex(type)";
            return false;
        }
        value.type = type;
        return parseHexBytes(spec.substr(close + 2), value.data, error);
    }
    error = "unknown value data";
    return false;
}

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(lower(a[i]));
        const unsigned char y = static_cast<unsigned char>(lower(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

bool parse(const std::string& raw, Registry& registry, std::string& error) {
    const std::string text = decode(raw);
    // Split into logical lines: a line ending in a backslash continues a hex
    // list on the next line.
    std::size_t pos = 0;
    int lineNumber = 0;
    bool sawHeader = false;
    Values* current = nullptr;
    while (pos < text.size()) {
        std::string line;
        const int firstLine = lineNumber + 1;
        for (;;) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string physical = text.substr(pos, end - pos);
            pos = end < text.size() ? end + 1 : end;
            ++lineNumber;
            if (!physical.empty() && physical.back() == '\r') physical.pop_back();
            const std::string trimmed = trim(physical);
            // Only hex lists continue: "=hex" on the first line, or already
            // continuing.
            const bool continues = !trimmed.empty() && trimmed.back() == '\\' &&
                                   (!line.empty() || trimmed.find("=hex") != std::string::npos);
            if (continues) {
                line += trimmed.substr(0, trimmed.size() - 1);
                if (pos >= text.size()) break;
                continue;
            }
            line += line.empty() ? physical : trimmed;
            break;
        }
        auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(firstLine) + ": " + what;
            return false;
        };

        const std::string trimmed = trim(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        if (!sawHeader) {
            if (trimmed != "REGEDIT4" && trimmed != "Windows Registry Editor Version 5.00")
                return fail("expected REGEDIT4 or Windows Registry Editor Version 5.00");
            sawHeader = true;
            continue;
        }
        if (trimmed[0] == '[') {
            if (trimmed.back() != ']') return fail("key line without closing ]");
            std::string path = trimmed.substr(1, trimmed.size() - 2);
            const bool removeKey = !path.empty() && path[0] == '-';
            if (removeKey) path.erase(0, 1);
            while (!path.empty() && path.back() == '\\') path.pop_back();
            path = canonicalRoot(path);
            if (!knownRoot(path)) return fail("unknown root key in [" + path + "]");
            if (removeKey) {
                for (auto it = registry.begin(); it != registry.end();) {
                    const std::string& k = it->first;
                    const bool below = k.size() > path.size() && k[path.size()] == '\\' &&
                                       equalNoCase(k.substr(0, path.size()), path);
                    if (equalNoCase(k, path) || below) it = registry.erase(it);
                    else ++it;
                }
                current = nullptr;
            } else {
                current = &registry[path];
            }
            continue;
        }

        std::string name;
        std::size_t at = 0;
        if (trimmed[0] == '@') {
            at = 1;
        } else if (trimmed[0] == '"') {
            std::string quotedError;
            if (!readQuoted(trimmed, at, name, quotedError)) return fail(quotedError);
        } else {
            return fail("expected a [key], \"name\"=value or @=value line");
        }
        while (at < trimmed.size() && (trimmed[at] == ' ' || trimmed[at] == '\t')) ++at;
        if (at >= trimmed.size() || trimmed[at] != '=') return fail("expected = after the value name");
        if (current == nullptr) return fail("value outside of a key");
        Value value;
        bool remove = false;
        std::string dataError;
        if (!parseData(trim(trimmed.substr(at + 1)), value, remove, dataError)) return fail(dataError);
        if (remove) current->erase(name);
        else (*current)[name] = value;
    }
    if (!sawHeader) {
        error = "empty file: expected REGEDIT4 or Windows Registry Editor Version 5.00";
        return false;
    }
    return true;
}

const Values* findKey(const Registry& registry, const std::string& keyPath) {
    std::string path = canonicalRoot(keyPath);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    auto found = registry.find(path);
    if (found != registry.end()) return &found->second;
    static const Values kNoValues;
    // A key that has subkeys in the file exists too.
    const std::string prefix = path + '\\';
    auto next = registry.lower_bound(prefix);
    if (next != registry.end() && next->first.size() > prefix.size() &&
        equalNoCase(next->first.substr(0, prefix.size()), prefix))
        return &kNoValues;
    return nullptr;
}

}  // namespace regfile
