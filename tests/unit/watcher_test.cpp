// A run under a ScriptWatcher: what it is told, and a word's failure coming
// back to it instead of ending the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/watcher.h"
#include "support.h"

namespace {

// Writes down everything the watcher is told, one line each; a word whose
// failure it catches is written down as such, and the run goes on.
struct Log {
    std::vector<std::string> lines;
    std::vector<std::string> texts;  // the text of each open text, innermost last
};

ScriptWatcher recorder(Log& log) {
    ScriptWatcher w;
    w.context = &log;
    w.beginText = [](void* c, TextOrigin origin, const std::string& name, const char* text) {
        Log& log = *static_cast<Log*>(c);
        const char* kinds[] = {"command line", "default word", "response file"};
        log.lines.push_back(std::string("begin ") + kinds[static_cast<int>(origin)] + " [" + name + "]");
        log.texts.push_back(text);
    };
    w.endText = [](void* c) {
        static_cast<Log*>(c)->lines.push_back("end");
        static_cast<Log*>(c)->texts.pop_back();
    };
    w.word = [](void* c, Launcher& launcher, const std::string& word, WordSpan span) {
        Log& log = *static_cast<Log*>(c);
        log.lines.push_back("word " + word + " as " + log.texts.back().substr(span.begin, span.end - span.begin));
        try {
            launcher.dispatchArgument(word);
        } catch (const fake::Exit& exit) {
            log.lines.push_back("ended " + std::to_string(exit.code));
        }
    };
    w.option = [](void* c, std::string_view command, std::string_view argument) {
        static_cast<Log*>(c)->lines.push_back("option " + std::string(command) + " " + std::string(argument));
    };
    w.resourceMarker = [](void* c, std::string_view key) {
        static_cast<Log*>(c)->lines.push_back("marker " + std::string(key));
    };
    w.failure = [](void* c, const char* key, const std::string& detail) {
        static_cast<Log*>(c)->lines.push_back(std::string("failure ") + (key ? key : "(fixed)") + " " + detail);
    };
    return w;
}

TEST(Watcher, IsToldEachTextWordOptionMarkerAndFailure) {
    test::freshProcess();
    fake::addFile("tolvane.cfg", "/res:A=x \"/print:$res:A$\"\r\n  @more.cfg /Nope:1 /print:$res:B$ /print:after");
    fake::addFile("more.cfg", "/cf:gone.jar");
    Log log;
    ScriptWatcher watcher = recorder(log);
    setScriptWatcher(&watcher);
    const int code = test::runMain("tolvane.exe");
    setScriptWatcher(nullptr);

    EXPECT_EQ(code, 0) << "every failure came back to the watcher";
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "begin command line []",
                             "end",
                             "begin default word []",
                             "word @tolvane.cfg as @tolvane.cfg",
                             "begin response file [tolvane.cfg]",
                             "word /res:A=x as /res:A=x",
                             "option res A=x",
                             "word /print:$res:A$ as \"/print:$res:A$\"",
                             "marker A",
                             "option print x",
                             "word @more.cfg as @more.cfg",
                             "begin response file [more.cfg]",
                             "word /cf:gone.jar as /cf:gone.jar",
                             "option cf gone.jar",
                             "failure MISSING_FILE gone.jar",
                             "ended 1",
                             "end",
                             "word /Nope:1 as /Nope:1",
                             "failure INVALID_COMMAND nope",
                             "ended 1",
                             "word /print:$res:B$ as /print:$res:B$",
                             "marker B",
                             "failure (fixed) ",
                             "ended 1",
                             "word /print:after as /print:after",
                             "option print after",
                             "end",
                             "end",
                         }));
    EXPECT_EQ(fake::state().output, "x\nafter\n");
    EXPECT_EQ(fake::state().openFiles, 0);
}

}  // namespace
