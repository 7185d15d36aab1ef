// Launcher::expandMarkers on arbitrary text.  The first byte chooses the
// runtime: bit 0 set selects one (bit 1 picks a bin directory that holds a
// dollar sign); the rest is the text to expand.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common.h"
#include "intake/launcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ResourceTable& table = fuzz::freshProcess();
    setResource(table, "TITLE", "Setup of $java$");
    setResource(table, "K", "v");
    setResource(table, "x", "$res:x$");
    const unsigned mode = data[0];
    if (mode & 1) runtimeState().javaBinDir.set((mode & 2) ? "C:\\J$RE\\bin\\" : "C:\\JRE\\bin\\");
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    // A launcher with an empty script, ready to expand.
    fake::addFile("tolvane.cfg", "");
    Launcher launcher("tolvane.exe", table);

    try {
        const std::string result = launcher.expandMarkers(text);
        // Text without markers stands as it is.
        if (text.find('$') == std::string::npos) FUZZ_CHECK(result == text);
        FUZZ_CHECK(fake::state().boxes.empty());
    } catch (const fake::Exit& exit) {
        FUZZ_CHECK(exit.code == 1);
        FUZZ_CHECK(fake::state().boxes.size() == 1);
        FUZZ_CHECK(text.find('$') != std::string::npos);
    }
    return 0;
}
