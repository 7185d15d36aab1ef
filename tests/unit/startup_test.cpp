#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { test::freshProcess(); }
};

const char* const kNoPath = "Error: Could not retrieve absolute pathname of execution directory";

TEST_F(Startup, Failures) {
    struct Case {
        const char* name;
        void (*setUp)();
        std::string program;
        std::string box;
    };
    const Case cases[] = {
        {"full path fails", [] { fake::state().failFullPath = true; }, "C:\\m\\tolvane.exe", kNoPath},
        {"full path too long", [] { fake::state().fullPathTooLong = 20000; }, "C:\\m\\tolvane.exe", kNoPath},
        {"no file part", [] { fake::state().fullPathWithoutFilePart = true; }, "C:\\m\\tolvane.exe", kNoPath},
        {"name ends in backslash", [] {}, "C:\\m\\", kNoPath},
        {"empty program name", [] {}, "", kNoPath},
        {"cannot set directory", [] { fake::state().failSetCurrentDirectory = true; }, "C:\\m\\tolvane.exe",
         "Error: Can't set working directory"},
        {"cannot read directory", [] { fake::state().failGetCurrentDirectory = true; }, "C:\\m\\tolvane.exe",
         "Error: Could not retrieve current directory"},
        {"UNC path", [] {}, "\\\\server\\share\\setup\\tolvane.exe",
         "Error: Can't install from a network path\n\nPlease map the network drive and start\n"
         "setup from the mapped drive."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::freshProcess();
        c.setUp();
        fake::addFile("tolvane.cfg", "/print:ran");
        EXPECT_EQ(test::runMain("tolvane.exe", c.program), 1);
        ASSERT_EQ(fake::state().boxes.size(), 1u);
        EXPECT_EQ(fake::state().boxes[0].text, c.box);
        EXPECT_EQ(fake::state().boxes[0].style, kErrorStyle);
        EXPECT_EQ(fake::state().output, "") << "no word of the script is read";
    }
}

TEST_F(Startup, StartupTextsCannotBeReworded) {
    // The fixed texts are not resources: a table entry does not change them.
    fake::state().reportedCurrentDirectory = "\\\\server\\share";
    EXPECT_EQ(test::runMain("tolvane.exe /res:x=y", "X:\\tolvane.exe"), 1);
    EXPECT_EQ(fake::state().boxes.at(0).text.rfind("Error: Can't install from a network path", 0), 0u);
}

TEST_F(Startup, WorksInItsOwnDirectory) {
    struct Case {
        std::string program;
        std::string directory;
    };
    const Case cases[] = {
        {"C:\\setup\\tolvane.exe", "C:\\setup\\"},
        {"sub\\tolvane.exe", "C:\\work\\sub\\"},  // relative to where it was started
        {"tolvane.exe", "C:\\work\\"},            // found through the search path
        {"Z:\\mapped\\tolvane.exe", "Z:\\mapped\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        test::freshProcess();
        fake::addFile("tolvane.cfg", "/print:ran");
        EXPECT_EQ(test::runMain("tolvane.exe", c.program), 0);
        EXPECT_EQ(fake::state().currentDirectory, c.directory);
        EXPECT_EQ(fake::state().output, "ran\n");
    }
}

TEST_F(Startup, ScriptToItsEndExitsZeroWhateverItShowed) {
    fake::state().answers = {6};
    EXPECT_EQ(test::runMain("tolvane.exe bare /print:x"), 0);
    EXPECT_EQ(fake::state().boxes.size(), 1u);
}

}  // namespace
