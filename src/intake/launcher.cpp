#include "intake/launcher.h"

#include <vector>

#include "intake/tokenizer.h"
#include "platform/platform.h"

namespace {

void dispatchToLauncher(void* context, const std::string& word) {
    static_cast<Launcher*>(context)->dispatchArgument(word);
}

void warnBareArgument(const std::string& expanded) {
    showWarning("Should start process: " + expanded);
}

}  // namespace

Launcher::Launcher(const std::string& commandLine, ResourceTable& table) : table_(table) {
    if (!tokenize(commandLine, true)) tokenize("@tolvane.cfg", false);
}

bool Launcher::tokenize(const std::string& text, bool skipFirst) {
    return tokenizeText(text, skipFirst, dispatchToLauncher, this);
}

void Launcher::dispatchArgument(const std::string& word) {
    const char first = word.empty() ? '\0' : word[0];
    if (first == '@') {
        readResponseFile(word.substr(1));
    } else if (first == '/' || first == '-') {
        runOptionCommand(std::string_view(word).substr(1));
    } else {
        warnBareArgument(expandMarkers(word));
    }
}

void Launcher::readResponseFile(const std::string& name) {
    if (responseFileDepth_ >= kMaxResponseFileDepth) fatalError("NESTING_TOO_DEEP", name);

    platform::File file = platform::openFileForReading(name.c_str());
    if (file == nullptr) fatalError("MISSING_FILE", name);

    // Read in chunks of 1024 bytes; each chunk counts as a NUL-terminated
    // text, so a NUL drops the rest of its own chunk only.
    std::string contents;
    {
        constexpr std::size_t kChunk = 1024;
        std::vector<char> buffer(kChunk + 1);
        std::size_t got;
        do {
            got = platform::readFile(file, buffer.data(), kChunk);
            buffer[got] = '\0';
            contents.append(buffer.data());
        } while (got == kChunk);
    }

    if (!platform::atEndOfFile(file)) {
        // A read stopped short of the end: nothing of the file has run yet.
        platform::closeFile(file);
        fatalError("FILE_IO_ERROR", name);
    }
    platform::closeFile(file);
    contents.shrink_to_fit();

    ++responseFileDepth_;
    tokenize(contents, false);
    --responseFileDepth_;
}
