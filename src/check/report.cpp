#include "check/report.h"

#include <cstdio>

#include "resources/resources.h"

namespace check {

namespace {

using simulated::Event;
using simulated::FileLookup;

const char* severityName(Severity severity) {
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "note";
}

// A text on one line: line ends and other control bytes written as escapes.
std::string oneLine(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (b < 0x20 || b == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

std::string where(const Place& place, const std::string& medium) {
    if (place.file.empty()) return medium;
    if (place.line == 0) return place.file;
    return place.file + ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
}

std::string placeJson(const Place& place) {
    return "{\"file\": " + jsonString(place.file) + ", \"line\": " + std::to_string(place.line) +
           ", \"column\": " + std::to_string(place.column) + ", \"word\": " + jsonString(place.word) + "}";
}

const char* outcomeName(FileLookup::Outcome outcome) {
    switch (outcome) {
    case FileLookup::Present: return "present";
    case FileLookup::Absent: return "absent";
    case FileLookup::Assumed: return "assumed";
    }
    return "absent";
}

// An installer run: "start /wait ..." right after the user said Yes.
bool isInstallerRun(const std::vector<Event>& events, std::size_t i) {
    return events[i].text.rfind("start /wait ", 0) == 0 && i > 0 && events[i - 1].kind == Event::Box &&
           (events[i - 1].style & 0xF) == 4 && events[i - 1].yes;
}

}  // namespace

Counts count(const std::vector<Finding>& findings) {
    Counts counts;
    for (const Finding& f : findings) {
        if (f.severity == Severity::Error) ++counts.errors;
        else if (f.severity == Severity::Warning) ++counts.warnings;
        else ++counts.notes;
    }
    return counts;
}

std::string findingsText(const std::vector<Finding>& findings, const std::string& medium) {
    std::string out;
    for (const Finding& f : findings) {
        const std::string at = where(f.place, medium);
        if (!f.console.empty()) {
            std::string console = f.console;
            if (!console.empty() && console.back() == '\n') console.pop_back();
            out += at + ": note: the console shows first: " + oneLine(console) + "\n";
        }
        out += at + ": " + severityName(f.severity) + ": " + oneLine(f.message) + " [" + f.code + "]\n";
        for (const std::string& hint : f.hints) out += at + ": note: " + oneLine(hint) + "\n";
        for (const Place& link : f.chain) out += where(link, medium) + ": note: named from here\n";
    }
    const Counts counts = count(findings);
    auto plural = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    out += "tolvane-check: " + medium + ": " + plural(counts.errors, "error") + ", " +
           plural(counts.warnings, "warning") + ", " + plural(counts.notes, "note") + "\n";
    return out;
}

std::string findingsJson(const std::vector<Finding>& findings) {
    std::string out = "[";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        out += i ? ",\n " : "\n ";
        out += "{\"file\": " + jsonString(f.place.file) + ", \"line\": " + std::to_string(f.place.line) +
               ", \"column\": " + std::to_string(f.place.column) + ", \"word\": " + jsonString(f.place.word) +
               ", \"severity\": \"" + severityName(f.severity) + "\", \"code\": " + jsonString(f.code) +
               ", \"message\": " + jsonString(f.message) + ", \"console\": " + jsonString(f.console) +
               ", \"hints\": [";
        for (std::size_t h = 0; h < f.hints.size(); ++h) out += (h ? ", " : "") + jsonString(f.hints[h]);
        out += "], \"chain\": [";
        for (std::size_t c = 0; c < f.chain.size(); ++c) out += (c ? ", " : "") + placeJson(f.chain[c]);
        out += "]}";
    }
    out += findings.empty() ? "]\n" : "\n]\n";
    return out;
}

std::string planText(const Plan& plan, const std::string& heading) {
    std::string out = heading + "\n";
    auto step = [&out](const char* label, const std::string& text) {
        std::string padded = label;
        padded.resize(10, ' ');
        out += "  " + padded + " " + text + "\n";
    };
    const std::vector<Event>& events = plan.events;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        switch (e.kind) {
        case Event::Output: {
            std::string text = e.text;
            if (!text.empty() && text.back() == '\n') text.pop_back();
            std::size_t start = 0;
            for (;;) {
                const std::size_t end = text.find('\n', start);
                step("output", oneLine(text.substr(start, end == std::string::npos ? end : end - start)));
                if (end == std::string::npos) break;
                start = end + 1;
            }
            break;
        }
        case Event::Box:
            if ((e.style & 0xF) == 4)
                step("question", oneLine(e.text) + "  -> " + (e.yes ? "yes" : "no"));
            else
                step(boxKindName(e.style), oneLine(e.text));
            break;
        case Event::ReadFile:
            step("read", oneLine(e.text) + (e.found ? "" : ": cannot be opened"));
            break;
        case Event::RegistryOpen:
            step("registry", "HKLM\\" + oneLine(e.text) + (e.found ? ": found" : ": no such key"));
            break;
        case Event::RegistryValue:
            step("registry", oneLine(e.text) + (e.found ? " = " + oneLine(e.value) : ": no such value"));
            break;
        case Event::FileTest: {
            std::string text = oneLine(e.text) + ": ";
            if (e.lookup.outcome == FileLookup::Assumed)
                text += "taken as present (this machine cannot look there)";
            else
                text += outcomeName(e.lookup.outcome);
            if (e.lookup.caseDiffers) text += " (as " + oneLine(e.lookup.foundAs) + ")";
            step("file", text);
            break;
        }
        case Event::Command:
            step(isInstallerRun(events, i) ? "install" : "run", oneLine(e.text) + "   (not run)");
            break;
        }
    }
    if (!plan.ending.empty()) step("ends", plan.ending);
    out += "  exit code " + std::to_string(plan.exitCode) + "\n";
    return out;
}

std::string planJson(const Plan& plan) {
    std::string steps, stdoutText, boxes;
    const std::vector<Event>& events = plan.events;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        steps += steps.empty() ? "\n  " : ",\n  ";
        switch (e.kind) {
        case Event::Output:
            stdoutText += e.text;
            steps += "{\"step\": \"output\", \"text\": " + jsonString(e.text) + "}";
            break;
        case Event::Box: {
            const std::string kind = boxKindName(e.style);
            boxes += std::string(boxes.empty() ? "" : ", ") + "[\"" + kind + "\", " + jsonString(e.text) + "]";
            steps += "{\"step\": \"box\", \"kind\": \"" + kind + "\", \"text\": " + jsonString(e.text);
            if (kind == "question") steps += std::string(", \"answer\": \"") + (e.yes ? "yes" : "no") + "\"";
            steps += "}";
            break;
        }
        case Event::ReadFile:
            steps += "{\"step\": \"read\", \"name\": " + jsonString(e.text) +
                     ", \"found\": " + (e.found ? "true" : "false") + "}";
            break;
        case Event::RegistryOpen:
            steps += "{\"step\": \"registry-key\", \"key\": " + jsonString("HKEY_LOCAL_MACHINE\\" + e.text) +
                     ", \"found\": " + (e.found ? "true" : "false") + "}";
            break;
        case Event::RegistryValue:
            steps += "{\"step\": \"registry-value\", \"name\": " + jsonString(e.text) +
                     ", \"found\": " + (e.found ? "true" : "false") + ", \"value\": " + jsonString(e.value) + "}";
            break;
        case Event::FileTest:
            steps += "{\"step\": \"file\", \"path\": " + jsonString(e.text) + ", \"outcome\": \"" +
                     outcomeName(e.lookup.outcome) + "\", \"found_as\": " + jsonString(e.lookup.foundAs) + "}";
            break;
        case Event::Command:
            steps += std::string("{\"step\": \"") + (isInstallerRun(events, i) ? "install" : "run") +
                     "\", \"command\": " + jsonString(e.text) + "}";
            break;
        }
    }
    return "{\"steps\": [" + steps + (steps.empty() ? "" : "\n ") + "],\n \"stdout\": " + jsonString(stdoutText) +
           ",\n \"boxes\": [" + boxes + "],\n \"exit\": " + std::to_string(plan.exitCode) +
           ",\n \"ending\": " + jsonString(plan.ending) + "}\n";
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (b < 0x20 || b >= 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", b);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

}  // namespace check
