// tokenizeText on arbitrary text, with and without the program name, checked
// against properties every word list must have.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common.h"
#include "intake/tokenizer.h"

namespace {

struct Words {
    std::vector<std::string> list;
    std::vector<WordSpan> spans;
    bool dispatched = false;
};

Words collect(const std::string& text, bool skipFirst) {
    Words words;
    words.dispatched = tokenizeText(
        text, skipFirst,
        [](void* context, const std::string& word, WordSpan span) {
            static_cast<Words*>(context)->list.push_back(word);
            static_cast<Words*>(context)->spans.push_back(span);
        },
        &words);
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const Words all = collect(text, false);
    FUZZ_CHECK(all.dispatched == !all.list.empty());

    // Skipping the first word drops exactly that word.
    const Words rest = collect(text, true);
    FUZZ_CHECK(rest.dispatched == !rest.list.empty());
    FUZZ_CHECK(rest.list.size() == (all.list.empty() ? 0 : all.list.size() - 1));
    for (std::size_t i = 0; i < rest.list.size(); ++i) FUZZ_CHECK(rest.list[i] == all.list[i + 1]);

    // Nothing after the first NUL counts.
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) FUZZ_CHECK(collect(text.substr(0, nul), false).list == all.list);

    // A word never holds a NUL, and no word grows beyond its text.
    for (const std::string& word : all.list) {
        FUZZ_CHECK(word.find('\0') == std::string::npos);
        FUZZ_CHECK(word.size() <= text.size());
    }

    // Each word's place: in order, apart, and the word as written there
    // reads back as that word alone.
    std::size_t after = 0;
    for (std::size_t i = 0; i < all.list.size(); ++i) {
        const WordSpan span = all.spans[i];
        FUZZ_CHECK(after <= span.begin && span.begin < span.end && span.end <= text.size());
        after = span.end;
        const Words alone = collect(text.substr(span.begin, span.end - span.begin), false);
        FUZZ_CHECK(alone.list.size() == 1 && alone.list[0] == all.list[i]);
        // And quoting gives the word back exactly.
        const Words quoted = collect(quoteWord(all.list[i]), false);
        FUZZ_CHECK(quoted.list.size() == 1 && quoted.list[0] == all.list[i]);
    }
    return 0;
}
