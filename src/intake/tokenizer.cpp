#include "intake/tokenizer.h"

#include <cstring>

namespace {

bool isWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes that end a run of plain bytes, besides the NUL that ends the
// text.  Plain bytes go into the word a run at a time.
const char* const kUnquotedStops = " \t\r\n\"";
const char* const kQuotedStops = "\"\\";

}  // namespace

bool tokenizeText(const std::string& text, bool skipFirst, WordSink sink, void* context) {
    // The text ends at its first NUL; nothing after it is scanned.
    return tokenizeText(text.c_str(), skipFirst, sink, context);
}

bool tokenizeText(const char* text, bool skipFirst, WordSink sink, void* context) {
    const char* p = text;
    bool dispatched = false;
    bool first = true;
    std::string word;

    for (;;) {
        while (isWhitespace(*p)) ++p;
        if (*p == '\0') return dispatched;

        word.clear();
        const char* const begin = p;
        bool quoted = false;
        for (;;) {
            const std::size_t run = std::strcspn(p, quoted ? kQuotedStops : kUnquotedStops);
            word.append(p, run);
            p += run;
            const char c = *p;
            if (c == '\0') break;
            if (!quoted) {
                if (c != '"') break;  // a blank: scanning goes on from it
                ++p;
                quoted = true;
                continue;
            }
            ++p;
            if (c == '"') {
                quoted = false;
                continue;
            }
            // A backslash: an escape only before a backslash, '"' or 'n'.
            const char next = *p;
            if (next == '\0') {
                word += '\\';
                break;
            }
            ++p;
            if (next == '\\') {
                word += '\\';
            } else if (next == '"') {
                word += '"';
            } else if (next == 'n') {
                word += '\n';
            } else {
                word += '\\';
                word += next;
            }
        }

        if (!(skipFirst && first)) {
            sink(context, word,
                 WordSpan{static_cast<std::size_t>(begin - text), static_cast<std::size_t>(p - text)});
            dispatched = true;
        }
        first = false;
    }
}

std::string quoteWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_of(" \t\r\n\"") == std::string::npos;
    if (plain) return word;
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}
