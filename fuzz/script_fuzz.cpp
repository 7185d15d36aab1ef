// A whole run, as main does it, on the fake platform.  The input is the text
// of tolvane.cfg; a line "=====" splits off the rest as more.cfg.
//
// The medium around the script:
//   setup\setup.jar, jre-setup.exe, good-jre.exe  files
//   data                                        a directory
//   broken.cfg                                  a response file whose read fails
//   a runtime 1.4 registered at C:\JRE, whose javaw.exe is missing until
//   a command "register" or "start /wait good-jre.exe..." runs
//   a command "nointerp" finds no command interpreter
//   question boxes are answered Yes, No, Yes, then No
//
// A script that stores a text holding two or more $res: markers (say
// /res:T=$res:T$$res:T$) doubles a resource each time the word runs, so a
// few hundred bytes of script exhaust any memory: a run ending abnormally
// that way is the documented outcome, not a fault.  Such inputs are skipped.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common.h"
#include "intake/tokenizer.h"
#include "startup/startup.h"

namespace {

const char* const kSeparator = "\n=====\n";
const char* const kRuntimeKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4";

void setUpMedium(const std::string& input) {
    fake::State& s = fake::state();
    s.commandLine = "C:\\medium\\tolvane.exe";

    const std::size_t split = input.find(kSeparator);
    fake::addFile("tolvane.cfg", input.substr(0, split));
    if (split != std::string::npos) fake::addFile("more.cfg", input.substr(split + std::string(kSeparator).size()));
    fake::addFile("setup\\setup.jar", "jar");
    fake::addFile("jre-setup.exe", "exe");
    fake::addFile("good-jre.exe", "exe");
    fake::addDirectory("data");
    fake::FileEntry& broken = s.files["broken.cfg"];
    broken.contents = "/print:never " + std::string(1100, ' ') + "/print:never";
    broken.readError = true;
    broken.errorAfter = 1030;

    s.registry[kRuntimeKey]["JavaHome"] = {1, std::string("C:\\JRE") + '\0'};
    fake::addFile("C:\\JRE\\bin\\java.exe", "");
    s.answers = {6, 7, 6};
    s.onCommand = [](const std::string& line) {
        fake::State& state = fake::state();
        if (line == "register" || line.rfind("start /wait good-jre.exe", 0) == 0)
            fake::addFile("C:\\JRE\\bin\\javaw.exe", "");
        if (line == "nointerp") state.commandResults.push_front(-1);
    };
}

// The text a response file's words are read from: each chunk of 1024 bytes
// up to its first NUL, as the launcher reads it.
std::string asRead(const std::string& contents) {
    std::string text;
    for (std::size_t at = 0; at < contents.size(); at += 1024) {
        const std::string chunk = contents.substr(at, 1024);
        text += chunk.substr(0, chunk.find('\0'));
    }
    return text;
}

void noteGrowingDefinition(void* context, const std::string& word, WordSpan) {
    if (word.size() < 5 || (word[0] != '/' && word[0] != '-')) return;
    std::string name = word.substr(1, 4);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (name != "res:") return;
    std::size_t markers = 0;
    for (std::size_t at = word.find("$res:"); at != std::string::npos; at = word.find("$res:", at + 1)) ++markers;
    if (markers >= 2) *static_cast<bool*>(context) = true;
}

bool canDoubleAResource() {
    bool found = false;
    for (const char* name : {"tolvane.cfg", "more.cfg"}) {
        auto file = fake::state().files.find(name);
        if (file != fake::state().files.end())
            tokenizeText(asRead(file->second.contents), false, noteGrowingDefinition, &found);
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fake::reset();
    runtimeState() = RuntimeState();
    setUpMedium(std::string(reinterpret_cast<const char*>(data), size));
    if (canDoubleAResource()) return -1;  // not kept in the corpus

    int code = 0;
    try {
        code = runLauncher("C:\\medium\\tolvane.exe");
    } catch (const fake::Exit& exit) {
        code = exit.code;
        // Every failure tells the user why.
        FUZZ_CHECK(!fake::state().boxes.empty());
        FUZZ_CHECK(fake::state().boxes.back().style == kErrorStyle);
    }
    FUZZ_CHECK(code == 0 || code == 1);
    // Every file and key the run opened was closed again, on either road.
    FUZZ_CHECK(fake::state().openFiles == 0);
    FUZZ_CHECK(fake::state().openKeys == 0);

    // runLauncher's table is the process's until it ends; this process goes
    // on with the next input.
    delete &processResourceTable();
    setProcessResourceTable(nullptr);
    return 0;
}
