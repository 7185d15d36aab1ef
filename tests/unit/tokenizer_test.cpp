#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/tokenizer.h"

namespace {

struct Tokens {
    std::vector<std::string> words;
    std::vector<std::string> written;  // each word as it stands in the text
    bool dispatched;
};

Tokens tokens(const std::string& text, bool skipFirst) {
    struct Context {
        Tokens* result;
        const std::string* text;
    };
    Tokens result;
    Context context{&result, &text};
    result.dispatched = tokenizeText(
        text, skipFirst,
        [](void* c, const std::string& word, WordSpan span) {
            Context& context = *static_cast<Context*>(c);
            context.result->words.push_back(word);
            context.result->written.push_back(context.text->substr(span.begin, span.end - span.begin));
        },
        &context);
    return result;
}

struct Case {
    std::string text;
    bool skipFirst;
    std::vector<std::string> words;
};

TEST(Tokenizer, WorkedExamples) {
    const std::vector<Case> cases = {
        {"tolvane.exe", true, {}},
        {"\"C:\\Program Files\\Setup\\tolvane.exe\"  /res:TITLE=Hello", true, {"/res:TITLE=Hello"}},
        {"C:\\Program Files\\Setup\\tolvane.exe /print:x", true, {"Files\\Setup\\tolvane.exe", "/print:x"}},
        {"\"C:\\Setup\\tolvane.exe\"/res:A=B", true, {}},
        {"\"C:\\new\\tolvane.exe\" x", true, {"x"}},  // an escape inside the name does not move its end
        {"a b\tc\r\nd", false, {"a", "b", "c", "d"}},
        {"abc\"d e\"f", false, {"abcd ef"}},
        {"\"a\\\\b\\\"c\\nd\\xe\"", false, {"a\\b\"c\nd\\xe"}},
        {"a\\\"b c", false, {"a\\b c"}},
        {"\"\" x", false, {"", "x"}},
        {"\"abc", false, {"abc"}},
        {"\"abc\\", false, {"abc\\"}},
        {"\"a b\\\"", false, {"a b\""}},
        {"/cmd:\"start /wait \\\"$javaw$\\\" -jar setup.jar\"", false,
         {"/cmd:start /wait \"$javaw$\" -jar setup.jar"}},
        {"/print:C:\\new", false, {"/print:C:\\new"}},
        {"/print:\"C:\\new\"", false, {"/print:C:\new"}},
        {"/print:\"C:\\\\new\"", false, {"/print:C:\\new"}},
        {"\"@my file.cfg\" @\"other file.cfg\"", false, {"@my file.cfg", "@other file.cfg"}},
        {"\"a\"b\"c\"", false, {"abc"}},
        {"a \" b", false, {"a", " b"}},
        {"\"x\r\ny\"", false, {"x\r\ny"}},
        {"", false, {}},
        {" \t\r\n ", false, {}},
        {"\"\"", false, {""}},
        {"\"\"", true, {}},  // one word, even an empty one, is the program name
        {"prog   ", true, {}},
        {"\"", false, {""}},  // a lone quote at the end makes an empty word
        {"a\\", false, {"a\\"}},
        {"\xe4\xa0 \x80", false, {"\xe4\xa0", "\x80"}},  // high bytes are ordinary
        {"\"a\\qb\"", false, {"a\\qb"}},
        {std::string("a b\0c d", 7), false, {"a", "b"}},  // a NUL ends the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text: [" + c.text + "]");
        const Tokens got = tokens(c.text, c.skipFirst);
        EXPECT_EQ(got.words, c.words);
        EXPECT_EQ(got.dispatched, !c.words.empty());
    }
}

TEST(Tokenizer, EachWordComesWithWhereItStands) {
    const std::string text = "prog  /print:a \"@my file.cfg\"\r\n\tx\"y z\"w \"\" \"open\\";
    const Tokens got = tokens(text, true);
    EXPECT_EQ(got.words, (std::vector<std::string>{"/print:a", "@my file.cfg", "xy zw", "", "open\\"}));
    EXPECT_EQ(got.written,
              (std::vector<std::string>{"/print:a", "\"@my file.cfg\"", "x\"y z\"w", "\"\"", "\"open\\"}));
}

TEST(Tokenizer, QuotedWordsReadBackExactly) {
    for (const std::string word : {"plain", "", "two words", "tab\there", "line\r\nend", "q\"uote", "back\\slash",
                                   "\\\"", "C:\\new", "trailing\\"}) {
        SCOPED_TRACE("word: [" + word + "]");
        EXPECT_EQ(tokens(quoteWord(word), false).words, std::vector<std::string>{word});
    }
    EXPECT_EQ(quoteWord("C:\\new"), "C:\\new");  // needs no quotes, so keeps its backslash as it is
}

}  // namespace
