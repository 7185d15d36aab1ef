// The application object: its construction runs the whole script.
#pragma once

#include <string>

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
    void runOptionCommand(const std::string& optionText);

    // Markers.
    std::string expandMarkers(const std::string& text);
    std::string resolveMarker(const std::string& name);

    // How deeply response files may nest: the default tolvane.cfg, or a file
    // named on the command line, is level 1.
    static constexpr int kMaxResponseFileDepth = 64;

private:
    ResourceTable& table_;
    int responseFileDepth_ = 0;
};
