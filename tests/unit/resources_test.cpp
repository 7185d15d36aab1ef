#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

class Resources : public ::testing::Test {
protected:
    void SetUp() override { test::freshProcess(); }
};

TEST_F(Resources, BuiltinTextsByteForByte) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"MISSING_FILE", "A file, which should be included in this distribution, is missing: "},
        {"MISSING_ARGUMENT", "This option requires an argument: "},
        {"FILE_IO_ERROR", "An file I/O error occured while proccessing "},
        {"EXECUTE_ERROR", "Installation failed!\n\nThe setup programm could not be started."},
        {"NO_VM_FOUND", "No suitable Java VM found."},
        {"MARKER_CLOSING_MARK_MISSING", "Marker closing mark is missing."},
        {"JAVA_NOT_DEFINED", "No Java VM has been defined (searched for), cannot replace Java marker."},
        {"UNKNOWN_MARKER", "Unknown marker."},
        {"ASK_INSTALL_VM", "Install virtual machine?"},
        {"UNKNOWN_VM_VERSION", "Unknown VM Version, can't perform check"},
        {"INVALID_COMMAND", "Invalid command: "},
        {"USE_UNOFFICIAL_VM", "The found Java Virtual Machine is not officially supported!\n\nUse Java VM : "},
        {"NESTING_TOO_DEEP", "Response files are nested too deeply: "},
    };
    ASSERT_EQ(kBuiltinTextCount, expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(kBuiltinTexts[i].key, expected[i].first) << "registration order";
        EXPECT_EQ(getResource(test::table(), expected[i].first), expected[i].second);
    }
    EXPECT_TRUE(fake::state().boxes.empty());
}

TEST_F(Resources, SetReplacesAndAdds) {
    setResource(test::table(), "UNKNOWN_MARKER", "first");
    setResource(test::table(), "UNKNOWN_MARKER", "second");
    setResource(test::table(), "my key", "mine");
    EXPECT_EQ(getResource(test::table(), "UNKNOWN_MARKER"), "second");
    EXPECT_EQ(getResource(test::table(), "my key"), "mine");
}

TEST_F(Resources, MissingKeysEndTheProcess) {
    for (const std::string key : {"missing_file", "", "NO_SUCH_KEY"}) {
        SCOPED_TRACE(key);
        test::freshProcess();
        const std::size_t before = test::table().size();
        const test::Outcome outcome = test::capture([&] { getResource(test::table(), key); });
        EXPECT_TRUE(outcome.failedWith("Resource not found"));
        EXPECT_EQ(fake::state().boxes.back().style, kErrorStyle);
        EXPECT_EQ(test::table().size(), before) << "no entry is left behind";
    }
}

TEST_F(Resources, BoxStylesAndCaption) {
    showWarning("w");
    showError("e");
    fake::state().answers = {6, 7, 0, 1};
    EXPECT_TRUE(askYesNo("q"));
    EXPECT_FALSE(askYesNo("q"));  // IDNO
    EXPECT_FALSE(askYesNo("q"));  // the box could not be shown
    EXPECT_FALSE(askYesNo("q"));  // IDOK is not Yes
    const std::vector<unsigned int> styles = {0x52030, 0x52010, 0x52024, 0x52024, 0x52024, 0x52024};
    ASSERT_EQ(fake::state().boxes.size(), styles.size());
    for (std::size_t i = 0; i < styles.size(); ++i) {
        EXPECT_EQ(fake::state().boxes[i].style, styles[i]);
        EXPECT_EQ(fake::state().boxes[i].caption, "ORX Setup");
    }
}

TEST_F(Resources, FatalErrorAppendsDetailToTheCurrentText) {
    EXPECT_TRUE(test::capture([] { fatalError("MISSING_FILE", "setup.jar"); })
                    .failedWith("A file, which should be included in this distribution, is missing: setup.jar"));
    EXPECT_TRUE(test::capture([] { fatalError("NO_VM_FOUND"); }).failedWith("No suitable Java VM found."));
    setResource(test::table(), "INVALID_COMMAND", "Bad: ");
    EXPECT_TRUE(test::capture([] { fatalError("INVALID_COMMAND", "foo"); }).failedWith("Bad: foo"));
}

}  // namespace
