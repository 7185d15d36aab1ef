// The application object: its construction runs the whole script.
#pragma once

#include <string>
#include <string_view>

#include "intake/watcher.h"
#include "resources/resources.h"

class Launcher {
public:
    // Runs every word of `commandLine` after the program name or, when there
    // is none, the default response file tolvane.cfg.
    Launcher(const std::string& commandLine, ResourceTable& table);

    // Word intake.
    bool tokenize(const std::string& text, bool skipFirst);
    void dispatchArgument(const std::string& word);
    void readResponseFile(const std::string& name);

    // Option words (the word without its leading '/' or '-').
    void runOptionCommand(std::string_view optionText);

    // Markers.
    std::string expandMarkers(std::string_view text);
    std::string resolveMarker(std::string_view name);

    // How deeply response files may nest: the default tolvane.cfg, or a file
    // named on the command line, is level 1.
    static constexpr int kMaxResponseFileDepth = 64;

private:
    // Tokenizes a text and dispatches its words, told to the watcher (if
    // any) as a text of that origin.
    bool runText(TextOrigin origin, const std::string& name, const char* text, bool skipFirst);

    // `text` with its markers replaced: `text` itself when it holds none,
    // otherwise the expansion, written over `scratch`.
    std::string_view expandInto(std::string_view text, std::string& scratch);
    void appendExpanded(std::string& out, std::string_view text);
    void appendMarker(std::string& out, std::string_view name);

    ResourceTable& table_;
    int responseFileDepth_ = 0;
};
