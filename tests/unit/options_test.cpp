#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/execution.h"
#include "runtime/runtime.h"
#include "support.h"

namespace {

using test::builtin;

class Options : public ::testing::Test {
protected:
    void SetUp() override { test::freshProcess(); }
    test::Outcome run(const std::string& optionText) {
        return test::capture([&] { test::launcher().runOptionCommand(optionText); });
    }
};

TEST_F(Options, Failures) {
    struct Case {
        std::string option;
        std::string box;
    };
    const std::vector<Case> cases = {
        {"", builtin("INVALID_COMMAND")},
        {":abc", builtin("INVALID_COMMAND")},
        {"Foo:bar", builtin("INVALID_COMMAND") + "foo"},
        {"FOO", builtin("INVALID_COMMAND") + "foo"},
        {"cmd2:x", builtin("INVALID_COMMAND") + "cmd2"},
        {"javainstall:x", builtin("INVALID_COMMAND") + "javainstall"},
        {"cm:x", builtin("INVALID_COMMAND") + "cm"},
        {"cmd :x", builtin("INVALID_COMMAND") + "cmd "},
        {"\xC4MD:x", builtin("INVALID_COMMAND") + "\xC4md"},  // only A to Z are folded
        {"cmd", builtin("MISSING_ARGUMENT") + "cmd"},
        {"cmd:", builtin("MISSING_ARGUMENT") + "cmd"},
        {"Java", builtin("MISSING_ARGUMENT") + "java"},
        {"JAVAINST:", builtin("MISSING_ARGUMENT") + "javainst"},
        {"cf", builtin("MISSING_ARGUMENT") + "cf"},
        {"res", builtin("MISSING_ARGUMENT") + "res"},
        {"res:=x", builtin("MISSING_ARGUMENT") + "res"},
        {"res:x=", builtin("MISSING_ARGUMENT") + "res"},
        {"res:x", builtin("MISSING_ARGUMENT") + "res"},
        {"res:$res:NOPE$", "Resource not found"},  // expansion comes before the '=' test
        {"cf:$bad", builtin("MARKER_CLOSING_MARK_MISSING")},
        {"javainst:$javaw$", builtin("JAVA_NOT_DEFINED")},
        {"cf:setup\\data.jar", builtin("MISSING_FILE") + "setup\\data.jar"},
        {"cf:$$x", builtin("MISSING_FILE") + "$x"},
        {"cmd:$java$", builtin("JAVA_NOT_DEFINED")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("option: [" + c.option + "]");
        test::freshProcess();
        EXPECT_TRUE(run(c.option).failedWith(c.box)) << fake::state().boxes.size();
        EXPECT_TRUE(fake::state().commands.empty());
    }
}

TEST_F(Options, EmptyArgumentIsTestedBeforeExpansion) {
    // "$$" is not empty as written, whatever it expands to.
    EXPECT_FALSE(run("cmd:$$").exited);
    EXPECT_EQ(fake::state().commands, std::vector<std::string>{"$"});
}

TEST_F(Options, CommandsAct) {
    EXPECT_FALSE(run("CMD:dir").exited);
    EXPECT_FALSE(run("cmd:DIR /w").exited);
    EXPECT_FALSE(run("cmd:a:b").exited);  // the argument keeps its colons
    EXPECT_EQ(fake::state().commands, (std::vector<std::string>{"dir", "DIR /w", "a:b"}));

    EXPECT_FALSE(run("print:Hello").exited);
    EXPECT_FALSE(run("print").exited);
    EXPECT_FALSE(run("print:").exited);
    EXPECT_FALSE(run("PRINT:a$$b").exited);
    EXPECT_EQ(fake::state().output, "Hello\n\n\na$b\n");
    EXPECT_EQ(fake::state().flushes, 4) << "each printed line is flushed";

    fake::addDirectory("dir");
    fake::addFile("file", "");
    EXPECT_FALSE(run("cf:dir").exited);
    EXPECT_FALSE(run("cf:file").exited);
}

TEST_F(Options, ResStoresKeyAndText) {
    setResource(test::table(), "Pair", "a=b");
    setResource(test::table(), "Other", "other text");
    struct Case {
        std::string option;
        std::string key;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"res:A=B=C", "A", "B=C"},
        {"res:A:B=C", "A:B", "C"},
        {"RES:Key = spaced ", "Key ", " spaced "},
        {"res:Title=$res:Other$", "Title", "other text"},
        {"res:$res:Pair$", "a", "b"},
        {"res:T=$$javaw$$", "T", "$javaw$"},
        {"res:MISSING_FILE=Missing: ", "MISSING_FILE", "Missing: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        ASSERT_FALSE(run(c.option).exited);
        EXPECT_EQ(getResource(test::table(), c.key), c.text);
    }
    // A copy was taken: changing Other later leaves Title alone.
    ASSERT_FALSE(run("res:Other=changed").exited);
    EXPECT_EQ(getResource(test::table(), "Title"), "other text");
    // The reworded text is used by every later message.
    EXPECT_TRUE(run("cf:gone").failedWith("Missing: gone"));
}

TEST_F(Options, JavainstIsStoredExpandedAndReplaced) {
    setResource(test::table(), "INST", "jre-setup.exe");
    ASSERT_FALSE(run("javainst:first.exe").exited);
    ASSERT_FALSE(run("javainst:media\\$res:INST$").exited);
    EXPECT_EQ(runtimeState().installerCommand.text, "media\\jre-setup.exe");
    EXPECT_TRUE(fake::state().calls.empty()) << "the installer is not looked for here";
}

TEST(Execution, RunCommandLineResults) {
    for (int result : {0, 1, 255, -1}) {
        SCOPED_TRACE(result);
        test::freshProcess();
        fake::state().commandResults = {result};
        const test::Outcome outcome = test::capture([] { runCommandLine("setup.exe -x \"a b\""); });
        EXPECT_EQ(fake::state().commands, std::vector<std::string>{"setup.exe -x \"a b\""});
        if (result == -1) {
            EXPECT_TRUE(outcome.failedWith(builtin("EXECUTE_ERROR")));
        } else {
            EXPECT_FALSE(outcome.exited);
        }
    }
}

TEST(Execution, RequireFile) {
    test::freshProcess();
    fake::addFile("setup\\data.jar", "");
    fake::addDirectory("setup");
    EXPECT_FALSE(test::capture([] { requireFile("setup\\data.jar"); }).exited);
    EXPECT_FALSE(test::capture([] { requireFile("setup"); }).exited);
    EXPECT_TRUE(test::capture([] { requireFile("setup\\other.jar"); })
                    .failedWith(builtin("MISSING_FILE") + "setup\\other.jar"));
    EXPECT_EQ(fake::state().calls.back(), "GetFileAttributesA setup\\other.jar");
}

}  // namespace
