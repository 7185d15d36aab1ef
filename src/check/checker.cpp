#include "check/checker.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <new>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "intake/launcher.h"
#include "intake/tokenizer.h"
#include "intake/watcher.h"
#include "resources/resources.h"
#include "runtime/runtime.h"
#include "startup/startup.h"

namespace check {

namespace {

using simulated::Event;
using simulated::FileLookup;

// A script that reads response files without end (a file that names
// itself twice, say) is cut short here rather than followed.
constexpr std::size_t kMaxResponseFileReads = 10000;
constexpr std::size_t kMaxResponseFileBytes = std::size_t{1} << 30;
// Past this many findings of one code, the rest are counted only.
constexpr std::size_t kMaxFindingsPerCode = 100;

const char* const kCommandLineFile = "<command line>";
const char* const kAssumedJavaHome = "<JavaHome>";

// Thrown when the script reads too much.
struct Runaway {
    std::size_t reads;
    std::size_t bytes;
};

// Unwinds a chain of response files nested too deeply to its first file.
struct Abandon {};

// Ends the check where the run would exhaust memory: the run ends there,
// abnormally, and what a text that large holds is not worth following.
struct Exhausted {};

bool hasHighByte(const char* p, std::size_t length) {
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, p + i, 8);
        if (chunk & 0x8080808080808080ull) return true;
    }
    for (; i < length; ++i)
        if (static_cast<unsigned char>(p[i]) & 0x80) return true;
    return false;
}

// The length of the UTF-8 sequence at `p` (at most `left` bytes), or 0.
std::size_t utf8Sequence(const unsigned char* p, std::size_t left) {
    std::size_t length;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) length = 2;
    else if (p[0] >= 0xE0 && p[0] <= 0xEF) length = 3;
    else if (p[0] >= 0xF0 && p[0] <= 0xF4) length = 4;
    else return 0;
    if (left < length) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    return length;
}

// `bytes` read in windows-1252, written in UTF-8 (for the checker's own
// messages).
std::string asWindows1252(std::string_view bytes) {
    static const unsigned short k80[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                           0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                           0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
    std::string out;
    for (const char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        const unsigned code = b >= 0x80 && b < 0xA0 ? k80[b - 0x80] : b;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string hexBytes(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        if (!out.empty()) out += ' ';
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return out;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool isBuiltinKey(std::string_view key) {
    for (std::size_t i = 0; i < kBuiltinTextCount; ++i)
        if (key == kBuiltinTexts[i].key) return true;
    return false;
}

// Built-in texts that a detail (a name, a version) follows directly.
bool takesDetail(std::string_view key) {
    if (key.size() < 12 || key.size() > 17) return false;
    return key == "MISSING_FILE" || key == "MISSING_ARGUMENT" || key == "FILE_IO_ERROR" ||
           key == "INVALID_COMMAND" || key == "USE_UNOFFICIAL_VM" || key == "NESTING_TOO_DEEP";
}

// The words of a command line, roughly as the command interpreter splits
// them: at blanks, with double quotes grouping (and dropped).
std::vector<std::pair<std::string, bool>> commandWords(std::string_view line) {
    std::vector<std::pair<std::string, bool>> words;  // word, was quoted
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool quoted = false, inQuotes = false;
        while (i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '"') {
                inQuotes = !inQuotes;
                quoted = true;
            } else {
                word += line[i];
            }
            ++i;
        }
        words.emplace_back(word, quoted);
    }
    return words;
}

bool isRelativePath(std::string_view path) {
    if (path.empty() || path[0] == '\\' || path[0] == '/') return false;
    return !(path.size() >= 2 && path[1] == ':');
}

bool endsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && lowerCase(text.substr(text.size() - end.size())) == end;
}

// A name a command line starts, worth looking for on the medium: a
// relative path with a folder in it or an extension of a program.
bool looksLikeMediumProgram(std::string_view program) {
    if (!isRelativePath(program) || program.find_first_of("%$<>|&") != std::string_view::npos) return false;
    if (program.find_first_of("\\/") != std::string_view::npos) return true;
    for (const char* extension : {".exe", ".bat", ".cmd", ".com", ".msi", ".jar"})
        if (endsWithNoCase(program, extension)) return true;
    return false;
}

// The option commands the checker looks at.
enum class Command { None, Cmd, JavaInst, Java, Cf, Res, Print };

// The launcher hands over its own names; they differ in size or first letter.
Command commandOf(std::string_view name) {
    switch (name.size()) {
    case 2: return Command::Cf;
    case 3: return name[0] == 'c' ? Command::Cmd : Command::Res;
    case 4: return Command::Java;
    case 5: return Command::Print;
    case 8: return Command::JavaInst;
    default: return Command::None;
    }
}

class Checker {
public:
    Checker() : machine_(simulated::machine()) {
        watcher_.context = this;
        watcher_.beginText = [](void* c, TextOrigin origin, const std::string& name, const char* text) {
            static_cast<Checker*>(c)->beginText(origin, name, text);
        };
        watcher_.endText = [](void* c) { static_cast<Checker*>(c)->texts_.pop_back(); };
        watcher_.word = [](void* c, Launcher& launcher, const std::string& word, WordSpan span) {
            static_cast<Checker*>(c)->runWord(launcher, word, span);
        };
        watcher_.option = [](void* c, std::string_view command, std::string_view argument) {
            static_cast<Checker*>(c)->option(command, argument);
        };
        watcher_.resourceMarker = [](void* c, std::string_view key) {
            Checker& checker = *static_cast<Checker*>(c);
            checker.markerKey_.assign(key);
            if (checker.usedKeys_.count(key) == 0) checker.usedKeys_.insert(checker.keep(key));
        };
        watcher_.failure = [](void* c, const char* key, const std::string& detail) {
            WordFrame* word = static_cast<Checker*>(c)->words_.empty() ? nullptr : &static_cast<Checker*>(c)->words_.back();
            if (word == nullptr) return;
            word->failed = true;
            static_cast<Checker*>(c)->failureKey_ = key != nullptr ? key : "";
            static_cast<Checker*>(c)->failureDetail_ = detail;
        };
    }

    ScriptWatcher& watcher() { return watcher_; }

    // The end of the run, cut short or not.
    std::vector<Finding> finish(const simulated::Ended* startupFailure, const Runaway* runaway) {
        if (startupFailure != nullptr) {
            Finding f;
            f.code = "startup-failure";
            f.message = lastBoxText(0);
            f.hints.push_back("the launcher stops before it reads a word");
            add(std::move(f), 0);
        }
        if (runaway != nullptr) {
            Finding f;
            f.code = "runaway-script";
            f.message = runaway->reads > kMaxResponseFileReads
                            ? "the script reads response files more than " + std::to_string(kMaxResponseFileReads) +
                                  " times; the check stops here"
                            : "the script reads more than " + std::to_string(kMaxResponseFileBytes >> 20) +
                                  " MiB of response files; the check stops here";
            f.hints.push_back("a response file is named again and again, so the run would not end in reasonable time");
            add(std::move(f), nextOrder_);
        }
        for (const auto& [keyView, definition] : definitions_) {
            if (isBuiltinKey(keyView) || usedKeys_.count(keyView) != 0) continue;
            const std::string key(keyView);
            Finding f;
            f.severity = Severity::Warning;
            f.code = "unused-resource";
            f.place = definition.place;
            f.message = "the text " + key + " is neither a message of the launcher nor used by any $res:" + key + "$";
            std::string nearest;
            std::size_t best = 3;
            for (std::size_t i = 0; i < kBuiltinTextCount; ++i) {
                const std::string_view builtin = kBuiltinTexts[i].key;
                const std::size_t distance = closeness(key, builtin);
                if (distance < best) {
                    best = distance;
                    nearest = builtin;
                }
            }
            if (!nearest.empty()) f.hints.push_back("did you mean " + nearest + "?");
            add(std::move(f), definition.order);
        }
        if (installer_.present && !installer_.seen) unseenInstaller();
        for (const auto& [code, count] : suppressed_) {
            Finding f;
            f.severity = Severity::Note;
            f.code = code;
            f.message = std::to_string(count) + " more findings of this kind are not shown";
            add(std::move(f), nextOrder_ + 1, true);
        }
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding& a, const Finding& b) { return a.order < b.order; });
        return std::move(findings_);
    }

private:
    struct TextFrame {
        TextOrigin origin;
        std::string name;
        const char* text;
        std::size_t length;
        bool highBytes = false;
        // Line counting goes forward from the last place asked for.
        std::size_t cursor = 0;
        std::size_t line = 1;
        std::size_t lineStart = 0;
        // The option word last met in this text, while only bare words
        // follow it: an option split at a blank.
        std::size_t optionStart = std::string::npos;
        bool splitReported = false;
    };

    struct WordFrame {
        std::size_t order;
        std::size_t text;  // index into texts_
        WordSpan span;
        std::size_t firstEvent;
        char first;                          // the word's first byte, or 0
        Command command = Command::None;     // set when an option is about to act
        bool failed = false;                 // the failure is in failureKey_
    };

    struct Definition {
        Place place;
        std::size_t order;
    };

    struct Installer {
        bool present = false;
        bool seen = false;
        Place place;
        std::size_t order = 0;
    };

    // How far apart two keys are: 0 when they differ in letter case only.
    static std::size_t closeness(std::string_view a, std::string_view b) {
        const std::size_t apart = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
        if (apart > 2) return apart;
        return lowerCase(a) == lowerCase(b) ? 0 : editDistance(a, b);
    }

    // The defined or built-in key nearest to `key`, if one is close.
    std::string nearestKey(const std::string& key) const {
        std::string nearest;
        std::size_t best = 3;
        auto consider = [&](const std::string& candidate) {
            if (candidate == key) return;
            const std::size_t distance = closeness(key, candidate);
            if (distance < best || (distance == best && !nearest.empty() && candidate < nearest)) {
                best = distance;
                nearest = candidate;
            }
        };
        for (std::size_t i = 0; i < kBuiltinTextCount; ++i) consider(kBuiltinTexts[i].key);
        for (const auto& definition : definitions_) consider(std::string(definition.first));
        return nearest;
    }

    // --- places

    Place placeIn(std::size_t textIndex, WordSpan span) {
        TextFrame& text = texts_[textIndex];
        Place place;
        place.word.assign(text.text + span.begin, span.end - span.begin);
        switch (text.origin) {
        case TextOrigin::CommandLine: place.file = kCommandLineFile; break;
        case TextOrigin::DefaultWord: place.file = "tolvane.cfg"; return place;
        case TextOrigin::ResponseFile: place.file = text.name; break;
        }
        if (span.begin < text.cursor) {
            text.cursor = 0;
            text.line = 1;
            text.lineStart = 0;
        }
        const char* p = text.text + text.cursor;
        const char* const end = text.text + span.begin;
        while (const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
            p = static_cast<const char*>(found) + 1;
            ++text.line;
            text.lineStart = static_cast<std::size_t>(p - text.text);
        }
        text.cursor = span.begin;
        place.line = text.line;
        place.column = span.begin - text.lineStart + 1;
        return place;
    }

    Place placeOf(const WordFrame& word) { return placeIn(word.text, word.span); }

    // --- findings

    void add(Finding finding, std::size_t order, bool always = false) {
        finding.order = order;
        if (!always && ++perCode_[finding.code] > kMaxFindingsPerCode) {
            ++suppressed_[finding.code];
            return;
        }
        findings_.push_back(std::move(finding));
    }

    Finding at(const WordFrame& word, Severity severity, const char* code, std::string message) {
        Finding f;
        f.severity = severity;
        f.code = code;
        f.place = placeOf(word);
        f.message = std::move(message);
        return f;
    }

    std::string lastBoxText(std::size_t from) const {
        const std::vector<Event>& events = machine_.events;
        for (std::size_t i = events.size(); i > from; --i)
            if (events[i - 1].kind == Event::Box) return events[i - 1].text;
        return std::string();
    }

    std::string outputSince(std::size_t from) const {
        std::string out;
        const std::vector<Event>& events = machine_.events;
        for (std::size_t i = from; i < events.size(); ++i)
            if (events[i].kind == Event::Output) out += events[i].text;
        return out;
    }

    void drainPathNotes() {
        std::vector<simulated::PathNote>& notes = machine_.pathNotes;
        if (notes.empty() || words_.empty()) return;
        for (const simulated::PathNote& note : notes) {
            if (note.kind == simulated::PathNote::CaseDiffers) {
                Finding f = at(words_.back(), Severity::Warning, "name-case",
                               note.given + " is on the medium only as " + note.foundAs);
                f.hints.push_back("Windows finds it; a copy of the medium on a case-sensitive file system would not");
                add(std::move(f), words_.back().order);
            } else {
                Finding f = at(words_.back(), Severity::Warning, "device-name",
                               note.given + " names a device on Windows, not a file");
                f.hints.push_back("CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, with any extension, are "
                                  "devices in every folder: rename the file");
                add(std::move(f), words_.back().order);
            }
        }
        notes.clear();
    }

    // --- the watcher's callbacks

    void beginText(TextOrigin origin, const std::string& name, const char* text) {
        TextFrame frame{origin, name, text, std::strlen(text)};
        if (origin == TextOrigin::ResponseFile) {
            ++reads_;
            bytes_ += frame.length;
            if (reads_ > kMaxResponseFileReads || bytes_ > kMaxResponseFileBytes) throw Runaway{reads_, bytes_};
        }
        frame.highBytes = hasHighByte(text, frame.length);
        texts_.push_back(std::move(frame));
        drainPathNotes();
        if (origin != TextOrigin::ResponseFile || words_.empty()) return;

        const std::size_t index = texts_.size() - 1;
        const std::size_t order = words_.back().order;
        const std::vector<Event>& events = machine_.events;
        if (!events.empty() && events.back().kind == Event::ReadFile &&
            events.back().lookup.outcome == FileLookup::Assumed)
            outside(words_.back(), name, "the response file is outside the medium, read here as empty");
        const std::size_t nul = machine_.nulOffset;
        if (nul != std::string::npos) {
            Finding f;
            f.severity = Severity::Warning;
            f.code = "nul-byte";
            f.place = placeIn(index, WordSpan{nul, nul});
            f.message = name + " holds a NUL byte: the rest of its 1024-byte chunk is dropped";
            f.hints.push_back("write response files as text in the ANSI code page");
            add(std::move(f), order);
        }
        const std::string_view start(text, std::min<std::size_t>(frame.length, 3));
        if (start == "\xEF\xBB\xBF" || start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
            Finding f;
            f.severity = Severity::Warning;
            f.code = "byte-order-mark";
            f.place = placeIn(index, WordSpan{0, 0});
            const bool utf8 = start == "\xEF\xBB\xBF";
            f.message = name + " begins with a " + (utf8 ? "UTF-8" : "UTF-16") +
                        " byte order mark, which becomes part of its first word";
            f.hints.push_back(utf8 ? "save the file without a byte order mark, in the ANSI code page"
                                   : "save the file as text in the ANSI code page, not UTF-16");
            add(std::move(f), order);
        }
    }

    void option(std::string_view name, std::string_view argument) {
        WordFrame& word = words_.back();
        word.command = commandOf(name);
        if (word.command == Command::Res) {
            const std::size_t equals = argument.find('=');
            if (equals == std::string_view::npos || equals == 0 || equals + 1 == argument.size()) return;
            const std::string_view key = argument.substr(0, equals);
            // A key new to the table is defined here first: the table grows
            // by it (see finishWord).  The built-in keys are there from the
            // start.
            resKey_.assign(key);
            tableSize_ = processResourceTable().size();
            const char last = argument.back();
            if (takesDetail(key) && last != ' ' && last != '\n' && last != '\t') {
                Finding f = at(word, Severity::Warning, "detail-joined",
                               std::string(key) + "'s text is followed directly by a name or version");
                f.hints.push_back("end the text in a blank, as the built-in one does");
                add(std::move(f), word.order);
            }
        } else if (word.command != Command::Print) {
            argument_.assign(argument);
        }
    }

    void runWord(Launcher& launcher, const std::string& word, WordSpan span) {
        {
            WordFrame& frame = words_.emplace_back();
            frame.order = nextOrder_++;
            frame.text = texts_.size() - 1;
            frame.span = span;
            frame.firstEvent = machine_.events.size();
            frame.first = word.empty() ? '\0' : word[0];
        }
        try {
            try {
                launcher.dispatchArgument(word);
            } catch (const simulated::Ended&) {
                // The failure was noted as it was shown.
            }
            finishWord();
        } catch (const std::bad_alloc&) {
            Finding f = at(words_.back(), Severity::Error, "memory-exhausted",
                           "the run would exhaust memory here and end abnormally; the check stops here");
            f.hints.push_back("a text defined from itself more than once ($res:T$$res:T$) doubles each time");
            add(std::move(f), words_.back().order);
            throw Exhausted{};
        } catch (const Abandon&) {
            const bool top = words_.back().text <= 1;
            endWord();
            if (!top) throw;
            return;
        }
        words_.pop_back();
    }

    void endWord() {
        machine_.events.resize(words_.back().firstEvent);
        machine_.pathNotes.clear();
        words_.pop_back();
    }

    void finishWord() {
        WordFrame& word = words_.back();
        if (!machine_.pathNotes.empty()) drainPathNotes();
        TextFrame& text = texts_[word.text];
        if (text.highBytes) checkText(word);
        const bool option = word.first == '/' || word.first == '-';
        if (word.failed) {
            failedWord(word);
        } else if (option) {
            if (word.command == Command::Res) {
                if (processResourceTable().size() != tableSize_)
                    definitions_.emplace(keep(resKey_), Definition{placeOf(word), word.order});
            } else if (word.command != Command::Print) {
                succeededOption(word);
            }
        } else if (word.first != '@') {
            bareWord(word);
        }
        if (option) {
            text.optionStart = word.span.begin;
            text.splitReported = false;
        } else if (word.first == '@') {
            text.optionStart = std::string::npos;
        }
        if (machine_.events.size() != word.firstEvent) machine_.events.resize(word.firstEvent);
    }

    // --- what a word did

    void failedWord(WordFrame& word) {
        const std::string& key = failureKey_;
        const Command command = word.command;
        if (key == "NO_VM_FOUND" && command == Command::Java) {
            assumeRuntime(word);
            return;
        }
        Finding f = at(word, Severity::Error, "", lastBoxText(word.firstEvent));
        if (key.empty()) {
            f.code = f.message == "Resource not found" ? "resource-not-found" : "startup-failure";
            if (f.code == "resource-not-found") {
                f.hints.push_back("$res:" + markerKey_ + "$ names a text that no res option before it defines");
                const std::string nearest = nearestKey(markerKey_);
                if (!nearest.empty()) f.hints.push_back("did you mean " + nearest + "?");
            }
        } else if (key == "INVALID_COMMAND") {
            f.code = "invalid-command";
        } else if (key == "MISSING_ARGUMENT") {
            f.code = command == Command::Res ? "malformed-res" : "missing-argument";
            if (command == Command::Res) f.hints.push_back("write /res:KEY=text, with something on both sides of the =");
        } else if (key == "MARKER_CLOSING_MARK_MISSING") {
            f.code = "unclosed-marker";
            f.hints.push_back("markers are $java$, $javaw$, $res:KEY$; $$ stands for one dollar sign");
        } else if (key == "JAVA_NOT_DEFINED") {
            f.code = "java-not-defined";
            f.hints.push_back("$java$ and $javaw$ need a java option before them");
        } else if (key == "UNKNOWN_MARKER") {
            f.code = "unknown-marker";
            f.hints.push_back("markers are $java$, $javaw$, $res:KEY$ (lower case); $$ stands for one dollar sign");
        } else if (key == "UNKNOWN_VM_VERSION") {
            f.console = outputSince(word.firstEvent);
            f.code = f.console.find("Empty") == 0       ? "empty-version"
                     : f.console.find("Only one") == 0 ? "second-semicolon"
                                                       : "unsupported-version";
            if (f.code == "unsupported-version") f.hints.push_back("the versions known are 1.4, 1.3 and 1.2.2");
        } else if (key == "MISSING_FILE") {
            if (command == Command::Cf) {
                f.code = "missing-file";
                missingFile(f);
            } else if (command == Command::Java) {
                f.code = "missing-installer";
            } else {
                f.code = "missing-response-file";
            }
        } else if (key == "FILE_IO_ERROR") {
            f.code = "unreadable-response-file";
        } else if (key == "NESTING_TOO_DEEP") {
            f.code = "nesting-too-deep";
            for (std::size_t i = words_.size() - 1; i-- > 0;)
                if (words_[i].first == '@') f.chain.push_back(placeOf(words_[i]));
            f.hints.push_back("response files name each other in a loop, or nest more than " +
                              std::to_string(Launcher::kMaxResponseFileDepth) + " deep");
            add(std::move(f), word.order);
            throw Abandon{};
        } else if (key == "EXECUTE_ERROR") {
            f.code = "execute-error";
        } else {
            f.code = "failure";
        }
        add(std::move(f), word.order);
    }

    // A cf path absent from the medium.  One that a command line run before
    // names may be one the command makes.
    void missingFile(Finding& f) {
        std::string name = argument_;
        const std::size_t slash = name.find_last_of("\\/");
        if (slash != std::string::npos) name = name.substr(slash + 1);
        for (const std::string& line : commandLines_) {
            if (name.empty() || lowerCase(line).find(lowerCase(name)) == std::string::npos) continue;
            f.severity = Severity::Warning;
            f.code = "maybe-made-by-command";
            f.hints.push_back("absent from the medium, but a command line before it names it: " + line);
            return;
        }
    }

    void succeededOption(const WordFrame& word) {
        if (word.command == Command::JavaInst) {
            if (installer_.present && !installer_.seen) unseenInstaller();
            installer_ = Installer{true, false, placeOf(word), word.order};
        } else if (word.command == Command::Cmd) {
            commandLines_.push_back(argument_);
            commandLine(word);
        } else if (word.command == Command::Cf) {
            // The launcher's own test of the file, as the machine answered it.
            const std::vector<Event>& events = machine_.events;
            for (std::size_t i = events.size(); i > word.firstEvent; --i)
                if (events[i - 1].kind == Event::FileTest) {
                    if (events[i - 1].lookup.outcome == FileLookup::Assumed)
                        outside(word, argument_, "the file is outside the medium");
                    break;
                }
        }
    }

    void outside(const WordFrame& word, const std::string& path, const std::string& what) {
        Finding f = at(word, Severity::Note, "outside-medium", path + ": " + what + ", so it is not checked");
        add(std::move(f), word.order);
    }

    void unseenInstaller() {
        Finding f;
        f.severity = Severity::Warning;
        f.code = "installer-never-offered";
        f.place = installer_.place;
        f.message = "no java option after this javainst offers its installer";
        f.hints.push_back("put javainst before the java option that is to offer it");
        add(std::move(f), installer_.order);
        installer_.seen = true;
    }

    // A java option whose versions were all right: on the user's machine a
    // runtime may be found or not.  The check goes on as if one were.
    void assumeRuntime(WordFrame& word) {
        const VersionLists lists = parseVersionSpecification(argument_);
        ResourceTable& table = processResourceTable();
        bool findable = false;
        std::set<std::string> reported;
        for (const std::vector<std::string>* list : {&lists.official, &lists.unofficial})
            for (const std::string& version : *list) findable = findable || version == "1.4";
        const bool noVersions = lists.official.empty() && lists.unofficial.empty();
        if (noVersions) {
            Finding f = at(word, Severity::Warning, "java-without-versions",
                           "this java option names no version, so it never finds a runtime");
            add(std::move(f), word.order);
        }
        if (!findable) {
            // Whatever the machine, the run ends here (after the install
            // question, if an installer is named, until the user says No).
            Finding f = at(word, Severity::Error, "runtime-never-found", getResource(table, "NO_VM_FOUND"));
            f.hints.push_back(noVersions ? "name the version 1.4"
                                         : "only 1.4 is looked up in the registry: 1.3 and 1.2.2 are accepted but never found");
            add(std::move(f), word.order);
        } else {
            for (const std::vector<std::string>* list : {&lists.official, &lists.unofficial})
                for (const std::string& version : *list) {
                    if (version == "1.4" || !reported.insert(version).second) continue;
                    Finding f = at(word, Severity::Warning, "version-never-found",
                                   "version " + version + " is accepted but never found");
                    f.hints.push_back("only 1.4 is looked up in the registry");
                    add(std::move(f), word.order);
                }
        }
        for (const std::string& version : lists.unofficial) {
            if (version != "1.4") continue;
            add(at(word, Severity::Note, "may-ask",
                   "the user may be asked: " + getResource(table, "USE_UNOFFICIAL_VM") + version),
                word.order);
            break;
        }
        const OptionalText& installer = runtimeState().installerCommand;
        if (installer.present) {
            installer_.seen = true;
            add(at(word, Severity::Note, "may-ask", "the user may be asked: " + getResource(table, "ASK_INSTALL_VM")),
                word.order);
            const FileLookup lookup = simulated::lookUp(installer.text);
            if (lookup.outcome == FileLookup::Absent) {
                Finding f = at(word, Severity::Error, "missing-installer",
                               getResource(table, "MISSING_FILE") + installer.text);
                f.hints.push_back("the installer named by javainst at " + installer_.place.file + ":" +
                                  std::to_string(installer_.place.line) + ":" +
                                  std::to_string(installer_.place.column) +
                                  " is not on the medium; the user sees this after answering Yes");
                add(std::move(f), word.order);
            } else if (lookup.outcome == FileLookup::Assumed) {
                outside(word, installer.text, "the installer is outside the medium");
            }
        }
        runtimeState().javaHome.set(kAssumedJavaHome);
        adoptRuntime();
    }

    // Best effort: the program a command line starts, and where it writes.
    void commandLine(const WordFrame& word) {
        const auto words = commandWords(argument_);
        std::size_t i = 0;
        if (i < words.size() && lowerCase(words[i].first) == "start") {
            ++i;
            while (i < words.size() && !words[i].second && !words[i].first.empty() && words[i].first[0] == '/') ++i;
            // start's first quoted word is the window title.
            if (i + 1 < words.size() && words[i].second) ++i;
            while (i < words.size() && !words[i].second && !words[i].first.empty() && words[i].first[0] == '/') ++i;
        }
        if (i < words.size()) {
            std::string program = words[i].first;
            if (program.rfind(kAssumedJavaHome, 0) == 0) {
                // The runtime: look for the jar it runs instead.
                for (std::size_t j = i + 1; j + 1 < words.size(); ++j)
                    if (words[j].first == "-jar") {
                        program = words[j + 1].first;
                        break;
                    }
            }
            if (looksLikeMediumProgram(program) && simulated::lookUp(program).outcome == FileLookup::Absent) {
                Finding f = at(word, Severity::Warning, "missing-program",
                               "the command line starts " + program + ", which is not on the medium");
                f.hints.push_back("a relative path is taken from the launcher's folder on the medium");
                add(std::move(f), word.order);
            }
        }
        // A redirection to a relative file writes beside the launcher.
        bool inQuotes = false;
        const std::string& line = argument_;
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (line[k] == '"') inQuotes = !inQuotes;
            if (inQuotes || line[k] != '>') continue;
            std::size_t t = k + 1;
            if (t < line.size() && line[t] == '>') ++t;
            if (t < line.size() && line[t] == '&') continue;  // 2>&1
            while (t < line.size() && line[t] == ' ') ++t;
            std::size_t e = t;
            if (e < line.size() && line[e] == '"') {
                const std::size_t close = line.find('"', e + 1);
                e = close == std::string::npos ? line.size() : close + 1;
            } else {
                while (e < line.size() && line[e] != ' ' && line[e] != '&' && line[e] != '|') ++e;
            }
            std::string target = line.substr(t, e - t);
            target.erase(std::remove(target.begin(), target.end(), '"'), target.end());
            if (target.empty() || !isRelativePath(target) || target.find('%') != std::string::npos ||
                lowerCase(target) == "nul" || lowerCase(target) == "con")
                continue;
            Finding f = at(word, Severity::Warning, "writes-to-medium",
                           "the command line writes " + target + " beside the launcher");
            f.hints.push_back("a medium on a CD or a read-only share cannot be written: write to %TEMP% instead");
            add(std::move(f), word.order);
            break;
        }
    }

    bool startsWithByteOrderMark(const WordFrame& word) const {
        const TextFrame& text = texts_[word.text];
        return word.span.begin == 0 && text.origin == TextOrigin::ResponseFile &&
               std::string_view(text.text, std::min<std::size_t>(text.length, 3)) == "\xEF\xBB\xBF" &&
               word.span.end >= 3;
    }

    void bareWord(WordFrame& word) {
        Finding f = at(word, Severity::Warning, "bare-word", lastBoxText(word.firstEvent));
        TextFrame& text = texts_[word.text];
        if (startsWithByteOrderMark(word)) {
            f.hints.push_back("the byte order mark in front of it makes it a bare word");
        } else if (text.optionStart != std::string::npos &&
            std::memchr(text.text + text.optionStart, '\n', word.span.begin - text.optionStart) == nullptr) {
            if (!text.splitReported) {
                text.splitReported = true;
                std::size_t end = text.optionStart;
                while (end < text.length && text.text[end] != '\n' && text.text[end] != '\r') ++end;
                while (end > text.optionStart && (text.text[end - 1] == ' ' || text.text[end - 1] == '\t')) --end;
                const std::string written(text.text + text.optionStart, end - text.optionStart);
                if (written.find('"') == std::string::npos)
                    f.hints.push_back("an option split at a blank? Quote it: \"" + written + "\"");
                else
                    f.hints.push_back("an option split at a blank? Quote the option word whole");
            } else {
                f.hints.push_back("part of the same option split at blanks");
            }
        } else {
            f.hints.push_back("a word that is neither an option (/name:argument) nor @file is only shown to the user");
        }
        add(std::move(f), word.order);
    }

    // Non-ASCII text that is valid UTF-8: the boxes show it in the ANSI code
    // page.
    void checkText(const WordFrame& word) {
        const TextFrame& text = texts_[word.text];
        auto* p = reinterpret_cast<const unsigned char*>(text.text + word.span.begin);
        std::size_t length = word.span.end - word.span.begin;
        if (startsWithByteOrderMark(word)) {
            // Reported once, for the whole file.
            p += 3;
            length -= 3;
        }
        std::size_t first = std::string::npos, firstLength = 0;
        for (std::size_t i = 0; i < length;) {
            if (p[i] < 0x80) {
                ++i;
                continue;
            }
            const std::size_t sequence = utf8Sequence(p + i, length - i);
            if (sequence == 0) return;  // not UTF-8: the ANSI code page, presumably
            if (first == std::string::npos) {
                first = i;
                firstLength = sequence;
            }
            i += sequence;
        }
        if (first == std::string::npos) return;
        const std::string_view sequence(reinterpret_cast<const char*>(p + first), firstLength);
        Finding f = at(word, Severity::Warning, "utf8-text", "the word holds text written in UTF-8");
        f.hints.push_back("boxes and the console show bytes in the system's ANSI code page: " +
                          std::string(sequence) + " (bytes " + hexBytes(sequence) + ") shows as " +
                          asWindows1252(sequence) + "; save the file in the ANSI code page (windows-1252)");
        add(std::move(f), word.order);
    }

    ScriptWatcher watcher_;
    simulated::Machine& machine_;
    std::vector<TextFrame> texts_;
    std::vector<WordFrame> words_;
    std::vector<Finding> findings_;
    std::map<std::string, std::size_t> perCode_;
    std::map<std::string, std::size_t> suppressed_;
    std::size_t nextOrder_ = 1;
    std::size_t reads_ = 0;
    std::size_t bytes_ = 0;
    // FNV-1a: keys are short, and hashed once a word.
    struct KeyHash {
        std::size_t operator()(std::string_view key) const noexcept {
            std::uint64_t hash = 14695981039346656037ull;
            for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            return static_cast<std::size_t>(hash);
        }
    };
    std::string_view keep(std::string_view key) { return keys_.emplace_back(key); }
    std::string resKey_;          // the key of the res option acting
    std::size_t tableSize_ = 0;   // the table's size before it acts
    std::deque<std::string> keys_;  // the keys below point here; a deque keeps them in place
    std::unordered_map<std::string_view, Definition, KeyHash> definitions_;
    std::unordered_set<std::string_view, KeyHash> usedKeys_;
    // Of the innermost word: only an option or a bare word, which names no
    // further words, sets them.
    std::string argument_;     // of java, javainst, cmd and cf
    std::string markerKey_;    // of the last $res: marker
    std::string failureKey_;   // of the failure shown
    std::string failureDetail_;
    std::vector<std::string> commandLines_;
    Installer installer_;
};

// Sets up the machine and the process for one run of the launcher's code.
void prepare(const Medium& medium) {
    takeProcessResourceTable();
    simulated::reset();
    simulated::Machine& m = simulated::machine();
    m.launcherDirectory = medium.directory;
    m.commandLine = medium.commandLine;
    runtimeState() = RuntimeState();
}

// runLauncher's table is the process's until it ends; another run may follow.
void releaseTable() { takeProcessResourceTable(); }

}  // namespace

std::vector<Finding> checkScript(const Medium& medium) {
    prepare(medium);
    Checker checker;
    setScriptWatcher(&checker.watcher());
    bool startupFailed = false;
    simulated::Ended startupEnd{0};
    bool ranAway = false;
    Runaway runaway{0, 0};
    try {
        runLauncher(simulated::launcherPath(medium.directory).c_str());
    } catch (const simulated::Ended& ended) {
        startupFailed = true;
        startupEnd = ended;
    } catch (const Runaway& r) {
        ranAway = true;
        runaway = r;
    } catch (const Exhausted&) {
        // Reported where it happened.
    }
    setScriptWatcher(nullptr);
    releaseTable();
    return checker.finish(startupFailed ? &startupEnd : nullptr, ranAway ? &runaway : nullptr);
}

Plan planRun(const Medium& medium, const regfile::Registry* registry, const std::deque<bool>& answers) {
    prepare(medium);
    simulated::Machine& m = simulated::machine();
    m.lookOutsideMedium = true;
    m.registry = registry;
    m.answers = answers;

    // Counts the response files read, so that a script that reads them
    // without end is cut short.
    struct Count {
        std::size_t reads = 0;
        std::size_t bytes = 0;
    } count;
    ScriptWatcher watcher;
    watcher.context = &count;
    watcher.beginText = [](void* c, TextOrigin origin, const std::string&, const char* text) {
        Count& count = *static_cast<Count*>(c);
        if (origin != TextOrigin::ResponseFile) return;
        ++count.reads;
        count.bytes += std::strlen(text);
        if (count.reads > kMaxResponseFileReads || count.bytes > kMaxResponseFileBytes)
            throw Runaway{count.reads, count.bytes};
    };
    setScriptWatcher(&watcher);

    Plan plan;
    try {
        plan.exitCode = runLauncher(simulated::launcherPath(medium.directory).c_str());
    } catch (const simulated::Ended& ended) {
        plan.exitCode = ended.code;
    } catch (const std::bad_alloc&) {
        plan.exitCode = 3;
        plan.ending = "the run exhausts memory and ends abnormally (exit code 3)";
    } catch (const Runaway& r) {
        plan.exitCode = 3;
        plan.ending = r.reads > kMaxResponseFileReads
                          ? "the run reads response files more than " + std::to_string(kMaxResponseFileReads) +
                                " times and would not end in reasonable time; the plan stops here"
                          : "the run reads more than " + std::to_string(kMaxResponseFileBytes >> 20) +
                                " MiB of response files and would not end in reasonable time; the plan stops here";
    }
    setScriptWatcher(nullptr);
    releaseTable();
    plan.events = std::move(m.events);
    return plan;
}

std::string commandLineOf(const std::vector<std::string>& words) {
    std::string line = "tolvane.exe";
    for (const std::string& word : words) line += " " + quoteWord(word);
    return line;
}

}  // namespace check
