#include "intake/tokenizer.h"

namespace {

bool isWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool tokenizeText(const std::string& text, bool skipFirst, WordSink sink, void* context) {
    // The text ends at its first NUL; nothing after it is scanned.
    const char* p = text.c_str();
    bool dispatched = false;
    bool first = true;
    std::string word;

    for (;;) {
        while (*p != '\0' && isWhitespace(*p)) ++p;
        if (*p == '\0') return dispatched;

        word.clear();
        bool quoted = false;
        for (;;) {
            const char c = *p;
            if (c == '\0') break;
            if (!quoted) {
                if (isWhitespace(c)) break;  // scanning goes on from the blank
                ++p;
                if (c == '"') {
                    quoted = true;
                } else {
                    word += c;
                }
                continue;
            }
            ++p;
            if (c == '"') {
                quoted = false;
            } else if (c == '\\') {
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
            } else {
                word += c;
            }
        }

        if (!(skipFirst && first)) {
            sink(context, word);
            dispatched = true;
        }
        first = false;
    }
}
