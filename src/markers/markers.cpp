// Markers: $java$, $javaw$, $res:KEY$ and $$ for one dollar sign.
#include "intake/launcher.h"
#include "intake/watcher.h"
#include "runtime/runtime.h"

std::string Launcher::expandMarkers(std::string_view text) {
    std::string result;
    appendExpanded(result, text);
    return result;
}

std::string_view Launcher::expandInto(std::string_view text, std::string& scratch) {
    // Most arguments hold no marker: they are used as they stand.
    if (text.find('$') == std::string_view::npos) return text;
    scratch.clear();
    appendExpanded(scratch, text);
    return scratch;
}

void Launcher::appendExpanded(std::string& out, std::string_view text) {
    out.reserve(out.size() + text.size());  // markers seldom make a text much longer
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find('$', position);
        if (open == std::string_view::npos) {
            out.append(text.substr(position));
            break;
        }
        const std::size_t close = text.find('$', open + 1);
        if (close == std::string_view::npos) fatalError("MARKER_CLOSING_MARK_MISSING");
        out.append(text.substr(position, open - position));
        if (close == open + 1) {
            out += '$';
        } else {
            // Replacements are never scanned again.
            appendMarker(out, text.substr(open + 1, close - open - 1));
        }
        position = close + 1;
    }
}

std::string Launcher::resolveMarker(std::string_view name) {
    std::string result;
    appendMarker(result, name);
    return result;
}

void Launcher::appendMarker(std::string& out, std::string_view name) {
    const OptionalText& binDir = runtimeState().javaBinDir;
    if (name == "java" || name == "javaw") {
        if (!binDir.present) fatalError("JAVA_NOT_DEFINED");
        out += binDir.text;
        out += name;
        out += ".exe";
        return;
    }
    if (name.substr(0, 4) == "res:") {
        if (ScriptWatcher* watcher = scriptWatcher(); watcher != nullptr && watcher->resourceMarker != nullptr)
            watcher->resourceMarker(watcher->context, name.substr(4));
        out += resourceText(table_, name.substr(4));
        return;
    }
    fatalError("UNKNOWN_MARKER");
}
