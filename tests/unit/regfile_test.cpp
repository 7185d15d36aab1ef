#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/regfile.h"

namespace {

const char* const kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4";

TEST(RegistryFile, ReadsBothHeadersAndValueKinds) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4]\r\n"
        "\"JavaHome\"=\"C:\\\\Program Files\\\\Java \\\"x\\\"\"\r\n"
        "@=\"default\"\r\n"
        "\"Count\"=dword:0000010a\r\n"
        "\"Raw\"=hex:41,42,\\\r\n"
        "  43\r\n"
        "\"Expand\"=hex(2):25,00\r\n";
    regfile::Registry registry;
    std::string error;
    ASSERT_TRUE(regfile::parse(text, registry, error)) << error;
    const regfile::Values* values = regfile::findKey(registry, "hklm\\software\\javasoft\\JAVA RUNTIME ENVIRONMENT\\1.4");
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->at("javahome").data, std::string("C:\\Program Files\\Java \"x\"") + '\0');
    EXPECT_EQ(values->at("").data, std::string("default\0", 8));
    EXPECT_EQ(values->at("Count").type, regfile::kRegDword);
    EXPECT_EQ(values->at("Count").data, std::string("\x0a\x01\0\0", 4));
    EXPECT_EQ(values->at("Raw").data, "ABC");
    EXPECT_EQ(values->at("Expand").type, 2u);
    EXPECT_EQ(values->at("Expand").data, std::string("%\0", 2));
    // A parent of a listed key exists too; an unrelated one does not.
    EXPECT_NE(regfile::findKey(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft"), nullptr);
    EXPECT_EQ(regfile::findKey(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Java"), nullptr);
}

TEST(RegistryFile, Utf16AndRemovals) {
    const std::string narrow = std::string("REGEDIT4\n[") + kKey + "]\n\"JavaHome\"=\"C:\\\\J\"\n\"Gone\"=\"x\"\n" +
                               "\"Gone\"=-\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n";
    std::string wide = "\xFF\xFE";
    for (char c : narrow) {
        wide += c;
        wide += '\0';
    }
    regfile::Registry registry;
    std::string error;
    ASSERT_TRUE(regfile::parse(wide, registry, error)) << error;
    const regfile::Values* values = regfile::findKey(registry, kKey);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->count("Gone"), 0u);
    EXPECT_EQ(values->at("JavaHome").data, std::string("C:\\J\0", 5));
}

TEST(RegistryFile, FaultsAreReportedWithTheirLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "empty file"},
        {"[HKEY_LOCAL_MACHINE\\X]\n", "line 1: expected REGEDIT4"},
        {"REGEDIT4\n\"a\"=\"b\"\n", "line 2: value outside of a key"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n", "line 2: key line without closing ]"},
        {"REGEDIT4\n[NOWHERE\\X]\n", "line 2: unknown root key"},
        {"REGEDIT4\n[HKLM\\X]\n\"a\"=\"C:\\Java\"\n", "line 3: unknown escape"},
        {"REGEDIT4\n[HKLM\\X]\n\"a\"=\"open\n", "line 3: unterminated string"},
        {"REGEDIT4\n[HKLM\\X]\n\"a\"=hex:4\n", "line 3: bad hex byte list"},
        {"REGEDIT4\n[HKLM\\X]\n\"a\"=dword:xyz\n", "line 3: bad dword"},
        {"REGEDIT4\n[HKLM\\X]\n\"a\"=sz:1\n", "line 3: unknown value data"},
        {"REGEDIT4\n[HKLM\\X]\njunk\n", "line 3: expected a [key]"},
        {"REGEDIT4\n[HKLM\\X]\n\"a\" \"b\"\n", "line 3: expected ="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        regfile::Registry registry;
        std::string error;
        EXPECT_FALSE(regfile::parse(c.first, registry, error));
        EXPECT_EQ(error.rfind(c.second, 0), 0u) << error;
    }
}

}  // namespace
