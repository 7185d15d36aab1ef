#include "intake/launcher.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "intake/tokenizer.h"
#include "platform/platform.h"

namespace {

void dispatchToLauncher(void* context, const std::string& word, WordSpan) {
    static_cast<Launcher*>(context)->dispatchArgument(word);
}

// Under a watcher, each word is handed to it to carry out.
void dispatchThroughWatcher(void* context, const std::string& word, WordSpan span) {
    ScriptWatcher& watcher = *scriptWatcher();
    watcher.word(watcher.context, *static_cast<Launcher*>(context), word, span);
}

// Tells the watcher that a text has ended, on every way out of it.
class TextEnd {
public:
    explicit TextEnd(ScriptWatcher& watcher) : watcher_(watcher) {}
    TextEnd(const TextEnd&) = delete;
    TextEnd& operator=(const TextEnd&) = delete;
    ~TextEnd() {
        if (watcher_.endText != nullptr) watcher_.endText(watcher_.context);
    }

private:
    ScriptWatcher& watcher_;
};

// One more level of response files for as long as it lives.
class NestingLevel {
public:
    explicit NestingLevel(int& depth) : depth_(depth) { ++depth_; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;
    ~NestingLevel() { --depth_; }

private:
    int& depth_;
};

void warnBareArgument(const std::string& expanded) {
    showWarning("Should start process: " + expanded);
}

// A response file's text, NUL-terminated.  It grows through realloc, which
// extends or remaps a large block where a std::string would copy it at every
// step; so the contents are held once, and copied hardly at all, however
// large the file.
class ResponseText {
public:
    ResponseText() = default;
    ResponseText(const ResponseText&) = delete;
    ResponseText& operator=(const ResponseText&) = delete;
    ~ResponseText() { std::free(data_); }

    // Room for `count` more bytes after the text.
    char* tail(std::size_t count) {
        if (capacity_ - size_ < count) {
            // Eightfold up to 128 MiB, then twofold.  Remapped pages are slow
            // to touch again on some systems (virtual machines with shadow
            // page tables), and doubling would remap all of a large text at
            // least once; room never touched costs only address space.
            constexpr std::size_t kFastGrowthLimit = std::size_t{128} << 20;
            std::size_t capacity = capacity_ == 0 ? 4096 : capacity_;
            while (capacity - size_ < count) {
                const std::size_t factor = capacity < kFastGrowthLimit ? 8 : 2;
                if (capacity > std::numeric_limits<std::size_t>::max() / factor) platform::outOfMemory();
                capacity *= factor;
            }
            resize(capacity);
        }
        return data_ + size_;
    }
    void grow(std::size_t count) { size_ += count; }

    // Terminates the text and gives back the room it no longer needs.
    const char* finish() {
        tail(1)[0] = '\0';
        resize(size_ + 1);
        return data_;
    }

private:
    void resize(std::size_t capacity) {
        char* data = static_cast<char*>(std::realloc(data_, capacity));
        if (data == nullptr) platform::outOfMemory();
        data_ = data;
        capacity_ = capacity;
    }

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace

Launcher::Launcher(const std::string& commandLine, ResourceTable& table) : table_(table) {
    if (!runText(TextOrigin::CommandLine, std::string(), commandLine.c_str(), true))
        runText(TextOrigin::DefaultWord, std::string(), "@tolvane.cfg", false);
}

bool Launcher::tokenize(const std::string& text, bool skipFirst) {
    return tokenizeText(text, skipFirst, dispatchToLauncher, this);
}

bool Launcher::runText(TextOrigin origin, const std::string& name, const char* text, bool skipFirst) {
    ScriptWatcher* const watcher = scriptWatcher();
    if (watcher == nullptr) return tokenizeText(text, skipFirst, dispatchToLauncher, this);
    if (watcher->beginText != nullptr) watcher->beginText(watcher->context, origin, name, text);
    const TextEnd end(*watcher);
    return tokenizeText(text, skipFirst, watcher->word != nullptr ? dispatchThroughWatcher : dispatchToLauncher,
                          this);
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
    ResponseText contents;
    {
        constexpr std::size_t kChunk = 1024;
        std::size_t got;
        do {
            char* chunk = contents.tail(kChunk);
            got = platform::readFile(file, chunk, kChunk);
            const void* nul = std::memchr(chunk, '\0', got);
            contents.grow(nul == nullptr ? got : static_cast<std::size_t>(static_cast<const char*>(nul) - chunk));
        } while (got == kChunk);
    }

    if (!platform::atEndOfFile(file)) {
        // A read stopped short of the end: nothing of the file has run yet.
        platform::closeFile(file);
        fatalError("FILE_IO_ERROR", name);
    }
    platform::closeFile(file);
    const char* const text = contents.finish();

    const NestingLevel level(responseFileDepth_);
    runText(TextOrigin::ResponseFile, name, text, false);
}
