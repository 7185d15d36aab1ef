#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

using test::builtin;

// The texts of all boxes shown, in order.
std::vector<std::string> boxTexts() {
    std::vector<std::string> texts;
    for (const fake::Box& box : fake::state().boxes) texts.push_back(box.text);
    return texts;
}

std::string warned(const std::string& word) { return "Should start process: " + word; }

class Intake : public ::testing::Test {
protected:
    void SetUp() override { test::freshProcess(); }
};

TEST_F(Intake, ChunkBoundariesReadWholeFiles) {
    for (std::size_t size : {1023u, 1024u, 1025u, 2048u, 3000u}) {
        SCOPED_TRACE(size);
        test::freshProcess();
        // Words "x" separated by blanks, with "end" as the last word.
        std::string contents(size - 3, ' ');
        for (std::size_t i = 0; i + 1 < contents.size(); i += 97) contents[i] = 'x';
        contents += "end";
        ASSERT_EQ(contents.size(), size);
        fake::addFile("big.cfg", contents);
        EXPECT_EQ(test::runMain("tolvane.exe @big.cfg"), 0);
        ASSERT_FALSE(fake::state().boxes.empty());
        EXPECT_EQ(fake::state().boxes.back().text, warned("end"));
        EXPECT_EQ(fake::state().openFiles, 0);
    }
}

TEST_F(Intake, NulDropsTheRestOfItsChunkOnly) {
    std::string contents = "a b";
    contents += '\0';
    contents += " hidden ";
    contents.resize(1024, 'z');  // the rest of the first chunk is dropped too
    contents += "c d";           // the second chunk is appended right after "a b"
    fake::addFile("nul.cfg", contents);
    EXPECT_EQ(test::runMain("tolvane.exe @nul.cfg"), 0);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{warned("a"), warned("bc"), warned("d")}));
}

TEST_F(Intake, NestedFilesRunInPlace) {
    fake::addFile("a.cfg", "a1 @b.cfg a2");
    fake::addFile("b.cfg", "b1\r\n@c.cfg\r\nb2");
    fake::addFile("c.cfg", "c1");
    EXPECT_EQ(test::runMain("tolvane.exe before @a.cfg after"), 0);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{warned("before"), warned("a1"), warned("b1"),
                                                    warned("c1"), warned("b2"), warned("a2"),
                                                    warned("after")}));
}

TEST_F(Intake, ResponseFileFailures) {
    struct Case {
        std::string commandLine;
        std::string box;
    };
    const std::vector<Case> cases = {
        {"tolvane.exe @missing.cfg", builtin("MISSING_FILE") + "missing.cfg"},
        {"tolvane.exe @", builtin("MISSING_FILE")},
        {"tolvane.exe @dir", builtin("MISSING_FILE") + "dir"},
        {"tolvane.exe \"@my file.cfg\"", builtin("MISSING_FILE") + "my file.cfg"},
        {"tolvane.exe @\"my file.cfg\"", builtin("MISSING_FILE") + "my file.cfg"},
        {"tolvane.exe", builtin("MISSING_FILE") + "tolvane.cfg"},
        {"tolvane.exe @broken.cfg", builtin("FILE_IO_ERROR") + "broken.cfg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        test::freshProcess();
        fake::addDirectory("dir");
        fake::FileEntry& broken = fake::state().files["broken.cfg"];
        broken.contents = std::string(1500, ' ') + "never";
        broken.readError = true;
        broken.errorAfter = 1200;
        EXPECT_EQ(test::runMain(c.commandLine), 1);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{c.box});
        EXPECT_EQ(fake::state().boxes.back().style, kErrorStyle);
        EXPECT_EQ(fake::state().openFiles, 0);
    }
}

TEST_F(Intake, ReadErrorRunsNothingOfTheFile) {
    fake::FileEntry& entry = fake::state().files["half.cfg"];
    entry.contents = "/print:first " + std::string(2000, ' ') + "/print:second";
    entry.readError = true;
    entry.errorAfter = 1500;
    EXPECT_EQ(test::runMain("tolvane.exe /print:before @half.cfg"), 1);
    EXPECT_EQ(fake::state().output, "before\n");
}

TEST_F(Intake, DefaultResponseFile) {
    struct Case {
        std::string commandLine;
        bool readsDefault;
    };
    const std::vector<Case> cases = {
        {"tolvane.exe", true},
        {"tolvane.exe   \t ", true},
        {"\"C:\\medium\\tolvane.exe\"", true},
        {"\"C:\\medium\\tolvane.exe\"/print:x", true},  // written against the name: dropped with it
        {"tolvane.exe \"\"", false},                     // an empty word counts
        {"tolvane.exe /print:x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        test::freshProcess();
        fake::addFile("tolvane.cfg", "/print:default");
        EXPECT_EQ(test::runMain(c.commandLine), 0);
        EXPECT_EQ(fake::state().output.find("default") != std::string::npos, c.readsDefault);
    }
}

TEST_F(Intake, BareWordsAreExpandedAndWarned) {
    fake::addFile("tolvane.cfg", "\"\" plain /res:KEY=text $res:KEY$ a$$b");
    EXPECT_EQ(test::runMain("tolvane.exe"), 0);
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{warned(""), warned("plain"), warned("text"), warned("a$b")}));
    for (const fake::Box& box : fake::state().boxes) EXPECT_EQ(box.style, kWarningStyle);
}

TEST_F(Intake, FileNamingItselfEndsWithNestingTooDeep) {
    fake::addFile("loop.cfg", "/print:round @loop.cfg");
    EXPECT_EQ(test::runMain("tolvane.exe @loop.cfg"), 1);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{builtin("NESTING_TOO_DEEP") + "loop.cfg"});
    // Level 1 to 64 each printed once; the 65th level was never opened.
    std::string expected;
    for (int i = 0; i < 64; ++i) expected += "round\n";
    EXPECT_EQ(fake::state().output, expected);
    EXPECT_EQ(fake::state().openFiles, 0);
}

void writeChain(int length) {
    for (int i = 1; i <= length; ++i) {
        std::string contents = "/print:" + std::to_string(i);
        if (i < length) contents += " @f" + std::to_string(i + 1) + ".cfg";
        fake::addFile("f" + std::to_string(i) + ".cfg", contents);
    }
}

TEST_F(Intake, ChainOf64WorksAndOf65Fails) {
    writeChain(64);
    EXPECT_EQ(test::runMain("tolvane.exe @f1.cfg"), 0);
    EXPECT_TRUE(fake::state().boxes.empty());

    test::freshProcess();
    writeChain(65);
    EXPECT_EQ(test::runMain("tolvane.exe @f1.cfg"), 1);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{builtin("NESTING_TOO_DEEP") + "f65.cfg"});

    // The default file counts as level 1 as well; and the text may be reworded.
    test::freshProcess();
    writeChain(64);
    fake::addFile("tolvane.cfg", "\"/res:NESTING_TOO_DEEP=Too deep: \" @f1.cfg");
    EXPECT_EQ(test::runMain("tolvane.exe"), 1);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Too deep: f64.cfg"});
}

TEST_F(Intake, SiblingFilesDoNotCountAsNesting) {
    std::string many;
    for (int i = 0; i < 200; ++i) many += "@leaf.cfg ";
    fake::addFile("many.cfg", many);
    fake::addFile("leaf.cfg", "/print:leaf");
    EXPECT_EQ(test::runMain("tolvane.exe @many.cfg"), 0);
    EXPECT_EQ(fake::state().output.size(), 200 * std::string("leaf\n").size());
}

}  // namespace
