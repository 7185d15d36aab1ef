// The launcher's one word syntax, shared by the command line and response
// files.
#pragma once

#include <cstddef>
#include <string>

// Where a word stands in the text it was scanned from: the offset of its
// first byte and of the byte after its last, quotes included.
struct WordSpan {
    std::size_t begin;
    std::size_t end;
};

// Receives each word as soon as it is complete.
using WordSink = void (*)(void* context, const std::string& word, WordSpan span);

// Splits `text` (up to its first NUL byte) into words and hands each to
// `sink` before scanning on.  With `skipFirst` the first word is scanned by
// the same rules but dropped.  Returns true when at least one word was handed
// on.
bool tokenizeText(const std::string& text, bool skipFirst, WordSink sink, void* context);

// The same for a NUL-terminated text.
bool tokenizeText(const char* text, bool skipFirst, WordSink sink, void* context);

// `word` written so that tokenizeText gives it back exactly: as it stands
// when it is not empty and holds no blank, line end or double quote;
// otherwise in quotes, with each backslash and double quote escaped.
std::string quoteWord(const std::string& word);
