// The resource table, the message boxes and the one failure path.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// Orders keys byte for byte (unsigned), case-sensitively, a key that is a
// prefix of another first: the order of std::string's own comparison, with
// the short keys scripts use compared in line.  A key can be looked up as a
// view, without a copy.
struct KeyOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        const std::size_t common = a.size() < b.size() ? a.size() : b.size();
        if (common > 16) {
            const int order = std::memcmp(a.data(), b.data(), common);
            if (order != 0) return order < 0;
        } else {
            for (std::size_t i = 0; i < common; ++i)
                if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
        }
        return a.size() < b.size();
    }
};

// Every message text and every script-defined text, under its key.
using ResourceTable = std::map<std::string, std::string, KeyOrder>;

// The process-wide table: set once by start-up, before the first text is
// stored, and used by the free functions that have no Launcher at hand.
void setProcessResourceTable(ResourceTable* table);
ResourceTable& processResourceTable();

// Hands the process-wide table over, and leaves none (null when there was
// none): for a program that runs the launcher's code more than once.
std::unique_ptr<ResourceTable> takeProcessResourceTable();

// Stores `text` under `key`, replacing an earlier text.
void setResource(ResourceTable& table, std::string_view key, std::string_view text);

// The text stored under `key`.  A key without a (non-empty) text shows the
// fixed error "Resource not found" and ends the process with exit code 1.
std::string getResource(ResourceTable& table, std::string_view key);

// The same, as the stored text itself: valid until the key is next set.
const std::string& resourceText(ResourceTable& table, std::string_view key);

// The built-in message texts, in the order in which start-up registers them.
struct BuiltinText {
    const char* key;
    const char* text;
};
extern const BuiltinText kBuiltinTexts[];
extern const std::size_t kBuiltinTextCount;
void registerBuiltinTexts(ResourceTable& table);

// Message boxes, all captioned "ORX Setup".
extern const char* const kBoxCaption;
constexpr unsigned int kWarningStyle = 0x52030;   // OK, warning icon, task-modal, foreground, topmost
constexpr unsigned int kErrorStyle = 0x52010;     // OK, error icon, ...
constexpr unsigned int kQuestionStyle = 0x52024;  // Yes/No, question icon, ...

// The kind of box a style shows, by its icon: "error", "question",
// "warning", "information", or "message" without one.  For the programs
// that write boxes down (the stand-in, the checker); inline, so that the
// product exe, which only shows them, carries none of these names.
inline const char* boxKindName(unsigned int style) {
    switch (style & 0xF0) {
    case 0x10: return "error";
    case 0x20: return "question";
    case 0x30: return "warning";
    case 0x40: return "information";
    default: return "message";
    }
}

void showWarning(const std::string& text);
void showError(const std::string& text);
bool askYesNo(const std::string& text);

// Looks `key` up in the process-wide table at this moment, appends `detail`
// directly, shows the result in an error box and ends the process with exit
// code 1.
[[noreturn]] void fatalError(const std::string& key, const std::string& detail = std::string());

// Shows a fixed text (one no script can replace) in an error box and ends the
// process with exit code 1.
[[noreturn]] void fatalFixedError(const std::string& text);
