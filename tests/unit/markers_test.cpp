#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "support.h"

namespace {

using test::builtin;

struct Case {
    std::string input;
    std::string binDir;  // empty: no runtime selected
    std::string result;  // expected result, or ...
    std::string box;     // ... the text of the failure
};

TEST(Markers, Expansion) {
    const std::string jre = "C:\\JRE\\bin\\";
    const std::vector<Case> cases = {
        {"", "", "", ""},
        {"no markers here", "", "no markers here", ""},
        {"a$$b", "", "a$b", ""},
        {"$$", "", "$", ""},
        {"$$$$", "", "$$", ""},
        {"$$java$$", "", "$java$", ""},
        {"$$$", "", "", builtin("MARKER_CLOSING_MARK_MISSING")},
        {"100$", "", "", builtin("MARKER_CLOSING_MARK_MISSING")},
        {"$java", jre, "", builtin("MARKER_CLOSING_MARK_MISSING")},
        {"$JAVA$", jre, "", builtin("UNKNOWN_MARKER")},
        {"$Java$", jre, "", builtin("UNKNOWN_MARKER")},
        {"$ java$", jre, "", builtin("UNKNOWN_MARKER")},
        {"$RES:UNKNOWN_MARKER$", "", "", builtin("UNKNOWN_MARKER")},
        {"$re$", "", "", builtin("UNKNOWN_MARKER")},
        {"$res:UNKNOWN_MARKER$", "", "Unknown marker.", ""},
        {"$res:$", "", "", "Resource not found"},
        {"$res:NO_SUCH_KEY$", "", "", "Resource not found"},
        {"$javaw$", "", "", builtin("JAVA_NOT_DEFINED")},
        {"$java$", "", "", builtin("JAVA_NOT_DEFINED")},
        {"$javaw$", jre, "C:\\JRE\\bin\\javaw.exe", ""},
        {"$java$ -jar setup.jar", jre, "C:\\JRE\\bin\\java.exe -jar setup.jar", ""},
        {"$java$java$", jre, "", builtin("MARKER_CLOSING_MARK_MISSING")},
        {"$java$java$", "", "", builtin("JAVA_NOT_DEFINED")},
        {"$bad$ then $", "", "", builtin("UNKNOWN_MARKER")},  // the leftmost fault decides
        {"\"$javaw$\" -jar", "C:\\Program Files\\J$RE\\bin\\", "\"C:\\Program Files\\J$RE\\bin\\javaw.exe\" -jar",
         ""},
        {"$res:with $$ inside$", "", "", "Resource not found"},  // pairs left to right: the key is "with "
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("input: [" + c.input + "] binDir: [" + c.binDir + "]");
        test::freshProcess();
        if (!c.binDir.empty()) runtimeState().javaBinDir.set(c.binDir);
        std::string result;
        const test::Outcome outcome = test::capture([&] { result = test::launcher().expandMarkers(c.input); });
        if (c.box.empty()) {
            EXPECT_FALSE(outcome.exited);
            EXPECT_EQ(result, c.result);
        } else {
            EXPECT_TRUE(outcome.failedWith(c.box)) << outcome.lastBox;
        }
    }
}

TEST(Markers, ReplacementsAreNotScannedAgain) {
    test::freshProcess();
    setResource(test::table(), "Holder", "$javaw$ and $res:Holder$");
    setResource(test::table(), "UNKNOWN_MARKER", "reworded");
    EXPECT_EQ(test::launcher().expandMarkers("[$res:Holder$]"), "[$javaw$ and $res:Holder$]");
    EXPECT_EQ(test::launcher().expandMarkers("$res:UNKNOWN_MARKER$"), "reworded");
}

}  // namespace
