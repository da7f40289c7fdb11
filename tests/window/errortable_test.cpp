#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "lib/window/errortable.h"
#include "lib/window/text.h"
#include "tests/support/quinda_test.h"

namespace {

// number|text lines: the library's error table as published.
std::map<int, std::string> load_table() {
    std::map<int, std::string> t;
    std::ifstream in(std::string(QUINDA_TEST_DATA) + "/error_texts.txt");
    std::string line;
    while (std::getline(in, line)) {
        const auto bar = line.find('|');
        if (bar == std::string::npos) continue;
        t[std::stoi(line.substr(0, bar))] = line.substr(bar + 1);
    }
    return t;
}

}  // namespace

TEST(ErrorTable, EveryNumberMatchesThePublishedTable) {
    const auto table = load_table();
    ASSERT_EQ(table.size(), 129u);
    int with_text = 0;
    for (int n = -100; n <= 1200; ++n) {
        std::string text(100, '#');
        winfoerrormessage(n, text);
        const auto it = table.find(n);
        if (it == table.end()) {
            EXPECT_TRUE(txt_blank(text)) << n;
        } else {
            EXPECT_EQ(txt_trim(text), it->second) << n;
            ++with_text;
        }
    }
    EXPECT_EQ(with_text, 129);
    for (int n : {2147483647, -2147483647 - 1, 10000}) {
        std::string text(10, '#');
        winfoerrormessage(n, text, 1);
        EXPECT_TRUE(txt_blank(text));
    }
}

TEST(ErrorTable, TextIsCutOrPaddedToTheArgument) {
    std::string shortt(7, '#');
    winfoerrormessage(44, shortt);
    EXPECT_EQ(shortt, "Invalid");
    std::string longt(70, '#');
    winfoerrormessage(1081, longt);
    EXPECT_EQ(longt, txt_fixed("QUINAX.DLL not found", 70));
}

TEST(ErrorTable, CompressionStatuses) {
    const std::map<int, std::string> expected = {
        {-7, ""}, {-6, "incompatible version"}, {-5, "buffer error"}, {-4, "insufficient memory"},
        {-3, "data error"}, {-2, "stream error"}, {-1, "file error"}, {0, ""},
        {1, "stream end"}, {2, "need dictionary"}, {3, ""}, {44, ""},
    };
    for (const auto& [status, text] : expected) {
        std::string out(30, '#');
        winfoerrormessage(status, out, 3);
        EXPECT_EQ(txt_trim(out), text) << status;
    }
}

TEST(ErrorTable, OperatingSystemTexts) {
    struct Case {
        int code;
        std::string text;
    };
    const Case cases[] = {
        {0, ""},
        {2, "The system cannot find the file specified."},
        {3, "The system cannot find the path specified."},
        {5, "Access is denied."},
        {32, "The process cannot access the file because it is being used by another process."},
        {80, "The file exists."},
        {-1, ""},
        {987654, ""},
    };
    for (const auto& c : cases) {
        std::string out(120, '#');
        winfoerrormessage(c.code, out, 2);
        EXPECT_EQ(txt_trim(out), c.text) << c.code;
    }
}

TEST(ErrorTable, UnknownKindLeavesTheTextAlone) {
    for (int kind : {0, 4, -1}) {
        std::string out = "unchanged";
        winfoerrormessage(44, out, kind);
        EXPECT_EQ(out, "unchanged");
    }
}
