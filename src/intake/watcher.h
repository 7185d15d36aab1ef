// A way for another program to follow a run of the script word by word: the
// checker runs the launcher's own code under a watcher, so that its verdict
// on every word is the launcher's.  The launcher itself runs unwatched.
#pragma once

#include <string>
#include <string_view>

#include "intake/tokenizer.h"

class Launcher;

// Where the words of a text come from.
enum class TextOrigin {
    CommandLine,   // the process command line; its first word is the program name
    DefaultWord,   // "@tolvane.cfg", run when the command line holds no word
    ResponseFile,  // a response file's contents; the name as written after '@'
};

// Every member may be null.  A callback may throw: an exception that passes
// through the launcher's code leaves it consistent.
struct ScriptWatcher {
    void* context = nullptr;

    // A text is about to be tokenized, and has been.  `text` stays valid
    // until endText; texts nest as response files do.
    void (*beginText)(void* context, TextOrigin origin, const std::string& name, const char* text) = nullptr;
    void (*endText)(void* context) = nullptr;

    // A word of the current text, to be carried out by calling
    // launcher.dispatchArgument(word).
    void (*word)(void* context, Launcher& launcher, const std::string& word, WordSpan span) = nullptr;

    // An option word is about to act: its command name, lower case, and its
    // argument with the markers expanded.
    void (*option)(void* context, std::string_view command, std::string_view argument) = nullptr;

    // The marker $res:KEY$ is about to look up `key`.
    void (*resourceMarker)(void* context, std::string_view key) = nullptr;

    // A failure is about to be shown: `key` is the resource key of its text,
    // or null for a fixed text.
    void (*failure)(void* context, const char* key, const std::string& detail) = nullptr;
};

// The process-wide watcher, or null (the launcher's own runs).
void setScriptWatcher(ScriptWatcher* watcher);
ScriptWatcher* scriptWatcher();
