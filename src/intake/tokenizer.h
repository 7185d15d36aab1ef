// The launcher's one word syntax, shared by the command line and response
// files.
#pragma once

#include <string>

// Receives each word as soon as it is complete.
using WordSink = void (*)(void* context, const std::string& word);

// Splits `text` (up to its first NUL byte) into words and hands each to
// `sink` before scanning on.  With `skipFirst` the first word is scanned by
// the same rules but dropped.  Returns true when at least one word was handed
// on.
bool tokenizeText(const std::string& text, bool skipFirst, WordSink sink, void* context);

// The same for a NUL-terminated text.
bool tokenizeText(const char* text, bool skipFirst, WordSink sink, void* context);
