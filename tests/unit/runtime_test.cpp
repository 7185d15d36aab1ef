#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "support.h"

namespace {

using test::builtin;

const std::string kKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4";
const std::string kOpen = "RegOpenKeyExA HKLM\\" + kKey + " 0 131097";
const std::string kQuery = "RegQueryValueExA JavaHome 16384";

void registerRuntime(const std::string& home, bool java = true, bool javaw = true) {
    fake::state().registry[kKey]["JavaHome"] = {1, home + std::string(1, '\0')};
    if (java) fake::addFile(home + "\\bin\\java.exe", "");
    if (javaw) fake::addFile(home + "\\bin\\javaw.exe", "");
}

TEST(Versions, Specifications) {
    struct Case {
        std::string specification;
        std::vector<std::string> official;
        std::vector<std::string> unofficial;
        std::string consoleLine;  // empty: accepted
    };
    const std::string empty = "Empty VM versions are not allowed\n";
    const std::string semicolon = "Only one ; allowed\n";
    const std::string unsupported = "This VM is not supported by tolvane\n";
    const std::vector<Case> cases = {
        {"1.4", {"1.4"}, {}, ""},
        {"1.4,1.3;1.2.2", {"1.4", "1.3"}, {"1.2.2"}, ""},
        {";1.4", {}, {"1.4"}, ""},
        {"1.4;", {"1.4"}, {}, ""},
        {"1.4,", {"1.4"}, {}, ""},
        {"1.4,;1.3", {"1.4"}, {"1.3"}, ""},
        {"1.4;1.3,", {"1.4"}, {"1.3"}, ""},
        {"", {}, {}, ""},
        {";", {}, {}, ""},
        {"1.4,1.4", {"1.4", "1.4"}, {}, ""},
        {",1.4", {}, {}, empty},
        {"1.4,,1.3", {}, {}, empty},
        {"1.4;,1.3", {}, {}, empty},
        {"1.4;1.3;1.2.2", {}, {}, semicolon},
        {";;", {}, {}, semicolon},
        {"1.5", {}, {}, unsupported},
        {"1.5,,1.4", {}, {}, unsupported},
        {"1.4;1.9;", {}, {}, semicolon},
        {"1.4, 1.3", {}, {}, unsupported},
        {"1.4.0", {}, {}, unsupported},
        {"1.4 ", {}, {}, unsupported},
        {";1.2", {}, {}, unsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("specification: [" + c.specification + "]");
        test::freshProcess();
        VersionLists lists;
        const test::Outcome outcome = test::capture([&] { lists = parseVersionSpecification(c.specification); });
        if (c.consoleLine.empty()) {
            EXPECT_FALSE(outcome.exited);
            EXPECT_EQ(lists.official, c.official);
            EXPECT_EQ(lists.unofficial, c.unofficial);
            EXPECT_EQ(fake::state().output, "");
        } else {
            EXPECT_TRUE(outcome.failedWith(builtin("UNKNOWN_VM_VERSION")));
            EXPECT_EQ(fake::state().output, c.consoleLine) << "one line, before the box";
            ASSERT_EQ(fake::state().events.size(), 2u);
            EXPECT_EQ(fake::state().events[0], "output " + c.consoleLine);
        }
    }
}

TEST(RegistryLookup, CallSequenceAndClose) {
    struct Case {
        const char* name;
        void (*setUp)();
        bool found;
        std::vector<std::string> calls;
    };
    const std::string java = "GetFileAttributesA C:\\JRE\\bin\\java.exe";
    const std::string javaw = "GetFileAttributesA C:\\JRE\\bin\\javaw.exe";
    const Case cases[] = {
        {"no key", [] {}, false, {kOpen}},
        {"no value", [] { fake::state().registry[kKey]["Other"] = {1, "x"}; }, false,
         {kOpen, kQuery, "RegCloseKey"}},
        {"value too large", [] { fake::state().registry[kKey]["JavaHome"] = {1, std::string(16385, 'a')}; },
         false, {kOpen, kQuery, "RegCloseKey"}},
        {"no java.exe", [] { registerRuntime("C:\\JRE", false, true); }, false,
         {kOpen, kQuery, java, "RegCloseKey"}},
        {"no javaw.exe", [] { registerRuntime("C:\\JRE", true, false); }, false,
         {kOpen, kQuery, java, javaw, "RegCloseKey"}},
        {"both present", [] { registerRuntime("C:\\JRE"); }, true, {kOpen, kQuery, java, javaw, "RegCloseKey"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::freshProcess();
        runtimeState().javaHome.set("earlier");
        c.setUp();
        EXPECT_EQ(findRegisteredRuntime("1.4"), c.found);
        EXPECT_EQ(fake::state().calls, c.calls);
        EXPECT_EQ(fake::state().openKeys, 0);
        EXPECT_EQ(runtimeState().javaHome.text, c.found ? "C:\\JRE" : "earlier");
    }
}

TEST(RegistryLookup, OnlyExactly14ReachesTheRegistry) {
    test::freshProcess();
    registerRuntime("C:\\JRE");
    for (const std::string version : {"1.3", "1.2.2", "1.4 ", "1.4.0"}) EXPECT_FALSE(findRegisteredRuntime(version));
    EXPECT_TRUE(fake::state().calls.empty());
}

TEST(RegistryLookup, ValueDataIsReadAsTextWithinTheReturnedBytes) {
    struct Case {
        unsigned long type;
        std::string data;
        std::string home;
    };
    const std::vector<Case> cases = {
        {1, std::string("C:\\JRE\0garbage", 14), "C:\\JRE"},
        {1, "C:\\JRE", "C:\\JRE"},                      // no NUL within the bytes returned
        {2, std::string("C:\\JRE\0", 7), "C:\\JRE"},    // REG_EXPAND_SZ is not expanded
        {3, "C:\\JRE", "C:\\JRE"},                      // binary data is text all the same
        {1, std::string(16384, 'a'), std::string(16384, 'a')},  // fills the buffer exactly
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        test::freshProcess();
        fake::state().registry[kKey]["JavaHome"] = {c.type, c.data};
        fake::addFile(c.home + "\\bin\\java.exe", "");
        fake::addFile(c.home + "\\bin\\javaw.exe", "");
        EXPECT_TRUE(findRegisteredRuntime("1.4"));
        EXPECT_EQ(runtimeState().javaHome.text, c.home);
    }
}

class Selection : public ::testing::Test {
protected:
    void SetUp() override { test::freshProcess(); }
    test::Outcome select(const std::string& specification) {
        return test::capture([&] { selectRuntime(specification); });
    }
    std::string unofficialQuestion(const std::string& version) { return builtin("USE_UNOFFICIAL_VM") + version; }
};

TEST_F(Selection, OfficialIsTakenSilently) {
    registerRuntime("C:\\JRE");
    EXPECT_FALSE(select("1.3,1.4;1.4").exited);
    EXPECT_TRUE(fake::state().boxes.empty());
    EXPECT_EQ(runtimeState().javaBinDir.text, "C:\\JRE\\bin\\");
    EXPECT_EQ(test::launcher().expandMarkers("$java$|$javaw$"), "C:\\JRE\\bin\\java.exe|C:\\JRE\\bin\\javaw.exe");
}

TEST_F(Selection, UnofficialAsksAndTakesYes) {
    registerRuntime("C:\\JRE");
    fake::state().answers = {7, 6};  // No to the first, Yes to the second
    EXPECT_FALSE(select(";1.4,1.4").exited);
    ASSERT_EQ(fake::state().boxes.size(), 2u);
    EXPECT_EQ(fake::state().boxes[0].text, unofficialQuestion("1.4"));
    EXPECT_EQ(fake::state().boxes[0].style, kQuestionStyle);
    EXPECT_EQ(runtimeState().javaBinDir.text, "C:\\JRE\\bin\\");
}

TEST_F(Selection, UnofficialDeclinedWithoutInstallerIsNoVmFound) {
    registerRuntime("C:\\JRE");
    EXPECT_TRUE(select(";1.4").failedWith(builtin("NO_VM_FOUND")));
    EXPECT_EQ(fake::state().boxes.size(), 2u);
    EXPECT_FALSE(runtimeState().javaBinDir.present);
}

TEST_F(Selection, UnsupportedRegisteredVersionsNeverAsk) {
    registerRuntime("C:\\JRE");
    EXPECT_TRUE(select("1.3;1.2.2").failedWith(builtin("NO_VM_FOUND")));
    EXPECT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_TRUE(fake::state().calls.empty());
}

TEST_F(Selection, OfficialWithoutJavawFallsToUnofficial) {
    registerRuntime("C:\\JRE", true, false);
    EXPECT_TRUE(select("1.4;1.4").failedWith(builtin("NO_VM_FOUND")));
    EXPECT_EQ(fake::state().boxes.size(), 1u) << "not found, so not asked about";
}

TEST_F(Selection, BadSpecificationFailsBeforeAnyLookup) {
    registerRuntime("C:\\JRE");
    runtimeState().installerCommand.set("inst.exe");
    EXPECT_TRUE(select("1.4,,x").failedWith(builtin("UNKNOWN_VM_VERSION")));
    EXPECT_TRUE(fake::state().calls.empty());
}

TEST_F(Selection, InstallerRunsAndSearchRepeatsUntilNo) {
    runtimeState().installerCommand.set("jre\\setup.exe");
    fake::addFile("jre\\setup.exe", "");
    fake::state().answers = {6, 6, 7};
    EXPECT_TRUE(select("1.4").failedWith(builtin("NO_VM_FOUND")));
    EXPECT_EQ(fake::state().commands,
              (std::vector<std::string>{"start /wait jre\\setup.exe", "start /wait jre\\setup.exe"}));
    std::vector<std::string> boxes;
    for (const fake::Box& box : fake::state().boxes) boxes.push_back(box.text);
    EXPECT_EQ(boxes, (std::vector<std::string>{builtin("ASK_INSTALL_VM"), builtin("ASK_INSTALL_VM"),
                                               builtin("ASK_INSTALL_VM"), builtin("NO_VM_FOUND")}));
}

TEST_F(Selection, InstallerThatRegistersARuntimeIsFoundOnTheNextPass) {
    runtimeState().installerCommand.set("setup.exe");
    fake::addFile("setup.exe", "");
    fake::state().answers = {6};
    fake::state().onCommand = [](const std::string&) { registerRuntime("C:\\New JRE"); };
    EXPECT_FALSE(select("1.4").exited);
    EXPECT_EQ(runtimeState().javaBinDir.text, "C:\\New JRE\\bin\\");
    EXPECT_EQ(fake::state().openKeys, 0);
}

TEST_F(Selection, MissingInstallerOnlyAfterYes) {
    runtimeState().installerCommand.set("setup.exe /s");
    fake::addFile("setup.exe", "");
    EXPECT_TRUE(select("1.4").failedWith(builtin("NO_VM_FOUND")));  // No: never looked for

    test::freshProcess();
    runtimeState().installerCommand.set("setup.exe /s");
    fake::addFile("setup.exe", "");
    fake::state().answers = {6};
    EXPECT_TRUE(select("1.4").failedWith(builtin("MISSING_FILE") + "setup.exe /s"));
    EXPECT_TRUE(fake::state().commands.empty());
}

TEST_F(Selection, InstallerThatCannotStartIsExecuteError) {
    runtimeState().installerCommand.set("setup.exe");
    fake::addFile("setup.exe", "");
    fake::state().answers = {6};
    fake::state().commandResults = {-1};
    EXPECT_TRUE(select("1.4").failedWith(builtin("EXECUTE_ERROR")));
}

TEST_F(Selection, LaterJavaOptionReplacesTheRuntime) {
    fake::addFile("tolvane.cfg", "/java:1.4 /print:$javaw$ /cmd:reinstall /java:1.4 /print:$java$");
    registerRuntime("C:\\Old");
    fake::state().onCommand = [](const std::string&) { registerRuntime("C:\\New"); };
    EXPECT_EQ(test::runMain("tolvane.exe"), 0);
    EXPECT_EQ(fake::state().output, "C:\\Old\\bin\\javaw.exe\nC:\\New\\bin\\java.exe\n");
}

TEST_F(Selection, WholeRoadOfATypicalRun) {
    fake::addFile("tolvane.cfg",
                  "\"/res:NO_VM_FOUND=Please install Java.\" /javainst:jre\\setup.exe /java:1.4,1.3;1.2.2 "
                  "/cf:setup\\setup.jar /cmd:\"\\\"$javaw$\\\" -jar setup\\setup.jar\"");
    fake::addFile("setup\\setup.jar", "");
    registerRuntime("C:\\Program Files\\Java\\j2re1.4.2");
    EXPECT_EQ(test::runMain("\"D:\\tolvane.exe\"", "D:\\tolvane.exe"), 0);
    EXPECT_TRUE(fake::state().boxes.empty()) << fake::state().boxes.at(0).text;
    EXPECT_EQ(fake::state().commands,
              std::vector<std::string>{"\"C:\\Program Files\\Java\\j2re1.4.2\\bin\\javaw.exe\" -jar setup\\setup.jar"});
}

}  // namespace
