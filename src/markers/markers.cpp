// Markers: $java$, $javaw$, $res:KEY$ and $$ for one dollar sign.
#include "intake/launcher.h"
#include "runtime/runtime.h"

std::string Launcher::expandMarkers(const std::string& text) {
    std::string result;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find('$', position);
        if (open == std::string::npos) {
            result.append(text, position, std::string::npos);
            break;
        }
        const std::size_t close = text.find('$', open + 1);
        if (close == std::string::npos) fatalError("MARKER_CLOSING_MARK_MISSING");
        result.append(text, position, open - position);
        if (close == open + 1) {
            result += '$';
        } else {
            // Replacements are never scanned again.
            result += resolveMarker(text.substr(open + 1, close - open - 1));
        }
        position = close + 1;
    }
    return result;
}

std::string Launcher::resolveMarker(const std::string& name) {
    const OptionalText& binDir = runtimeState().javaBinDir;
    if (name == "java" || name == "javaw") {
        if (!binDir.present) fatalError("JAVA_NOT_DEFINED");
        return binDir.text + name + ".exe";
    }
    if (name.compare(0, 4, "res:") == 0) return getResource(table_, name.substr(4));
    fatalError("UNKNOWN_MARKER");
}
