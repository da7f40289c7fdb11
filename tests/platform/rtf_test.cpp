// The RTF reader and writer: round trips, what other writers produce,
// damaged input, and our output read by independent readers where installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/os_rtf.h"
#include "tests/support/quinda_test.h"

namespace {

using namespace osrtf;

std::string text_of(const Document& d) {
    std::string s;
    for (std::size_t i = 0; i < d.paras.size(); ++i) {
        if (i) s += '\n';
        for (const osrtf::Run& r : d.paras[i].runs) s += r.text;
    }
    return s;
}

// A document of every format the editor keeps.
Document sample() {
    Document d;
    d.fonts = {Font{"Arial", 0, FamilySwiss}, Font{"Times New Roman", 0, FamilyRoman}};
    d.colours = {Colour{}, Colour{255, 0, 0}, Colour{0, 0, 255}};
    Paragraph p1;
    p1.fmt.align = AlignCentre;
    CharFormat plain;
    CharFormat bold = plain;
    bold.bold = true;
    CharFormat ital = plain;
    ital.italic = true;
    ital.font = 1;
    ital.half_points = 36;
    CharFormat ul = plain;
    ul.underline = true;
    ul.colour = 1;
    CharFormat st = plain;
    st.strike = true;
    st.back = 2;
    st.protect = true;
    p1.runs = {{"Plain ", plain}, {"bold", bold}, {" italic", ital}, {" under", ul}, {" struck", st}};
    Paragraph p2;
    p2.fmt.align = AlignRight;
    p2.fmt.left = 720;
    p2.fmt.first = -360;
    p2.fmt.tabs = {1440, 2880};
    p2.runs = {{"caf\xc3\xa9 \xe2\x82\xac \xce\xa9 {x} \\ a\tb \xf0\x9f\x98\x80", plain}};
    Paragraph p3;
    p3.fmt.bullet = true;
    p3.runs = {{"item", plain}};
    d.paras = {p1, p2, p3};
    return d;
}

TEST(Rtf, WrittenDocumentReadsBackUnchanged) {
    const Document d = sample();
    const std::string rtf = write(d);
    Document back;
    ASSERT_TRUE(read(rtf, back));
    ASSERT_EQ(back.paras.size(), d.paras.size());
    for (std::size_t i = 0; i < d.paras.size(); ++i) {
        EXPECT_EQ(back.paras[i].fmt, d.paras[i].fmt) << i;
        ASSERT_EQ(back.paras[i].runs.size(), d.paras[i].runs.size()) << i;
        for (std::size_t k = 0; k < d.paras[i].runs.size(); ++k) {
            const osrtf::Run& a = d.paras[i].runs[k];
            const osrtf::Run& b = back.paras[i].runs[k];
            EXPECT_EQ(b.text, a.text);
            EXPECT_EQ(b.fmt.bold, a.fmt.bold);
            EXPECT_EQ(b.fmt.italic, a.fmt.italic);
            EXPECT_EQ(b.fmt.underline, a.fmt.underline);
            EXPECT_EQ(b.fmt.strike, a.fmt.strike);
            EXPECT_EQ(b.fmt.protect, a.fmt.protect);
            EXPECT_EQ(b.fmt.half_points, a.fmt.half_points);
            EXPECT_EQ(back.fonts.at(static_cast<std::size_t>(b.fmt.font)), d.fonts.at(static_cast<std::size_t>(a.fmt.font)));
            EXPECT_EQ(back.colours.at(static_cast<std::size_t>(b.fmt.colour)), d.colours.at(static_cast<std::size_t>(a.fmt.colour)));
            EXPECT_EQ(back.colours.at(static_cast<std::size_t>(b.fmt.back)), d.colours.at(static_cast<std::size_t>(a.fmt.back)));
        }
    }
    // Characters outside 1252 go as \uN with a fallback, the rest as \'hh.
    EXPECT_NE(rtf.find("\\'e9"), std::string::npos);
    EXPECT_NE(rtf.find("\\'80"), std::string::npos);
    EXPECT_NE(rtf.find("\\u937?"), std::string::npos);
}

TEST(Rtf, ReadsWhatOtherWritersProduce) {
    struct Case {
        const char* name;
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {"unknown words, destinations and pictures skipped",
         "{\\rtf1\\ansi{\\*\\generator x;}{\\info{\\title T}}\\zzunknown5 A{\\pict\\pngblip 89504e47}B"
         "{\\*\\shppict{\\pict 00}}C}",
         "ABC"},
        {"field result kept, instruction dropped",
         "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} here}", "see link here"},
        {"binary data skipped by its count", "{\\rtf1 a\\bin3 }{xb}after", "ab"},
        {"unicode with fallbacks and \\uc", "{\\rtf1 \\u8364?x\\uc2\\u937\\'3f\\'3fy\\uc0\\u-4064 z}",
         "\xe2\x82\xac" "x\xce\xa9y\xef\x80\xa0z"},
        {"escaped braces and 1252 escapes", "{\\rtf1 \\{\\}\\\\ \\'e9\\'80}", "{}\\ \xc3\xa9\xe2\x82\xac"},
        {"paragraphs and line breaks", "{\\rtf1 one\\par two\\line three\\par}", "one\ntwo\nthree"},
        {"symbols", "{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\tab\\~}",
         "\xe2\x80\x94\xe2\x80\x93\xe2\x80\x98\xe2\x80\x99\xe2\x80\x9c\xe2\x80\x9d\t\xc2\xa0"},
        {"list text of bullets not doubled", "{\\rtf1 \\pard{\\listtext \\'b7\\tab}\\ls1 item\\par}", "item"},
        {"table cells apart, a paragraph per row",
         "{\\rtf1 \\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
         "\\trowd\\cellx1000\\cellx2000\\pard\\intbl 1\\cell 2\\cell\\row\\pard after\\par}",
         "A\tB\n1\t2\nafter"},
        {"empty cells keep their places", "{\\rtf1 \\trowd\\intbl \\cell B\\cell\\cell D\\cell\\row}", "\tB\t\tD"},
        {"paragraph ends before cell ends", "{\\rtf1 {{\\pard\\intbl A\\par}\\cell}{{\\pard\\intbl B\\par}\\cell}\\intbl\\row"
         "{\\pard\\intbl 1\\par}\\cell{\\pard\\intbl 2\\par}\\cell\\row{\\pard after\\par}}", "A\tB\n1\t2\nafter"},
        {"a cell of two paragraphs", "{\\rtf1 \\intbl A\\par a\\cell B\\cell\\row}", "A\na\tB"},
        {"nested cells", "{\\rtf1 \\intbl x\\nestcell y\\nestcell{\\*\\nesttableprops\\nestrow}\\cell z\\cell\\row}",
         "x\ty\tz"},
    };
    for (const Case& c : cases) {
        Document d;
        ASSERT_TRUE(read(c.rtf, d)) << c.name;
        EXPECT_EQ(text_of(d), c.text) << c.name;
    }
    Document d;
    EXPECT_FALSE(read("plain text", d));
    EXPECT_FALSE(read("", d));
}

TEST(Rtf, FormatsOfOtherWriters) {
    Document d;
    ASSERT_TRUE(read("{\\rtf1{\\fonttbl\\f0\\froman\\fcharset0 Times;\\f3\\fmodern\\fcharset2 Courier New;}"
                     "{\\colortbl;\\red10\\green20\\blue30;}"
                     "\\pard\\qc\\li100\\ri200\\fi-50\\tx500\\tx300 \\f3\\fs30\\cf1\\b B\\b0\\ul U\\ulnone\\strike S\\strike0 "
                     "\\i I\\plain P\\par\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}x}",
                     d));
    ASSERT_EQ(d.paras.size(), 2u);
    const ParaFormat& pf = d.paras[0].fmt;
    EXPECT_EQ(pf.align, AlignCentre);
    EXPECT_EQ(pf.left, 100);
    EXPECT_EQ(pf.right, 200);
    EXPECT_EQ(pf.first, -50);
    EXPECT_EQ(pf.tabs, (std::vector<std::int32_t>{300, 500}));
    EXPECT_TRUE(d.paras[1].fmt.bullet);
    const auto& runs = d.paras[0].runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_TRUE(runs[0].fmt.bold);
    EXPECT_EQ(runs[0].fmt.half_points, 30);
    EXPECT_EQ(d.fonts[static_cast<std::size_t>(runs[0].fmt.font)].face, "Courier New");
    EXPECT_EQ(d.fonts[static_cast<std::size_t>(runs[0].fmt.font)].charset, 2);
    EXPECT_EQ(d.fonts[static_cast<std::size_t>(runs[0].fmt.font)].family, FamilyModern);
    EXPECT_EQ(d.colours[static_cast<std::size_t>(runs[0].fmt.colour)], (Colour{10, 20, 30}));
    EXPECT_TRUE(runs[1].fmt.underline && !runs[1].fmt.bold);
    EXPECT_TRUE(runs[2].fmt.strike && !runs[2].fmt.underline);
    EXPECT_TRUE(runs[3].fmt.italic);
    EXPECT_FALSE(runs[4].fmt.italic || runs[4].fmt.bold);
    EXPECT_EQ(runs[4].fmt.colour, 0);
}

// Font tables as word processors and LibreOffice write them: the panose
// digits, a substitute face, embedded font data and theme words stay out of
// the name, and an entry ends with its own group. Written again, the table
// carries the same names.
TEST(Rtf, FontTablesOfOtherWriters) {
    struct Case {
        const char* writer;
        const char* table;
        std::vector<Font> fonts;
        std::int32_t used;  // font number of the text
        const char* face;   // and its face
    };
    const Case cases[] = {
        {"word processor",
         "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
         "{\\f37\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020f0502020204030204}Calibri;}\r\n"
         "{\\flomajor\\f31500\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
         "{\\f39\\fbidi \\froman\\fcharset238\\fprq2 Times New Roman CE;}}",
         {{"Times New Roman", 0, FamilyRoman}, {"Calibri", 0, FamilySwiss}, {"Times New Roman", 0, FamilyRoman},
          {"Times New Roman CE", 238, FamilyRoman}},
         37, "Calibri"},
        {"LibreOffice",
         "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
         "{\\f3\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}"
         "{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt Arial};}}",
         {{"Times New Roman", 0, FamilyRoman}, {"Symbol", 2, FamilyRoman}, {"Liberation Serif", 0, FamilyRoman},
          {"Liberation Sans", 0, FamilySwiss}},
         3, "Liberation Serif"},
        {"embedded font data and an unknown ignorable destination",
         "{\\fonttbl{\\f0\\fnil{\\*\\fontemb\\fttruetype{\\*\\fontfile font.ttf}}Mine;}"
         "{\\f1\\fswiss{\\*\\fname Helv}{\\*\\zzfuture {x} y}Arial;}}",
         {{"Mine", 0, FamilyNil}, {"Arial", 0, FamilySwiss}}, 1, "Arial"},
        {"entries without a semicolon end with their group",
         "{\\fonttbl{\\f0\\fswiss Arial{\\*\\falt Helvetica}}{\\f1\\fmodern Courier New}}",
         {{"Arial", 0, FamilySwiss}, {"Courier New", 0, FamilyModern}}, 1, "Courier New"},
        {"a table without entry groups",
         "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\fmodern Courier;}",
         {{"Helvetica", 0, FamilySwiss}, {"Courier", 0, FamilyModern}}, 1, "Courier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.writer);
        const std::string rtf = std::string("{\\rtf1\\ansi\\deff0") + c.table + "\\pard\\plain \\f" +
                                std::to_string(c.used) + " Text\\par}";
        Document d;
        ASSERT_TRUE(read(rtf, d));
        EXPECT_EQ(d.fonts, c.fonts);
        EXPECT_EQ(text_of(d), "Text");
        ASSERT_FALSE(d.paras[0].runs.empty());
        EXPECT_EQ(d.fonts.at(static_cast<std::size_t>(d.paras[0].runs[0].fmt.font)).face, c.face);
        const std::string saved = write(d);
        EXPECT_NE(saved.find(std::string(" ") + c.face + ";}"), std::string::npos) << saved;
        Document again;
        ASSERT_TRUE(read(saved, again));
        // The writer adds the bullet symbol's font after the document's own.
        ASSERT_GE(again.fonts.size(), d.fonts.size());
        EXPECT_EQ(std::vector<Font>(again.fonts.begin(), again.fonts.begin() + static_cast<std::ptrdiff_t>(d.fonts.size())),
                  d.fonts);
        EXPECT_EQ(again.fonts.at(static_cast<std::size_t>(again.paras[0].runs[0].fmt.font)).face, c.face);
    }
}

// Damaged input: truncations, flipped bytes, deep nesting, huge numbers and a
// \bin beyond the end. The reader must finish without touching memory it does
// not own (the sanitizer build checks that) and keep its limits.
TEST(Rtf, DamagedInputIsReadSafely) {
    const std::string good = write(sample());
    Document d;
    for (std::size_t n = 0; n <= good.size(); n += 3) read(std::string_view(good).substr(0, n), d);
    std::mt19937 rng(38);
    for (int k = 0; k < 300; ++k) {
        std::string bad = good;
        for (int j = 0; j < 8; ++j) bad[rng() % bad.size()] = static_cast<char>(rng() % 256);
        read(bad, d);
    }
    const std::string deep = "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "y}";
    ASSERT_TRUE(read(deep, d));
    EXPECT_EQ(text_of(d), "y");  // text beyond the nesting limit is dropped
    ASSERT_TRUE(read("{\\rtf1 a\\fs99999999999999999999\\tx-99999999999999 b\\bin999999999 cd", d));
    EXPECT_EQ(text_of(d), "ab");
    EXPECT_GT(d.paras[0].runs.size(), 0u);
    ASSERT_TRUE(read("{\\rtf1 " + std::string(10000, '\\') + "}}}}}", d));
    ASSERT_TRUE(read("{\\rtf1 \\u", d));
    ASSERT_TRUE(read("{\\rtf1 \\'", d));
    ASSERT_TRUE(read("{\\rtf1 \\'4", d));
    EXPECT_EQ(text_of(d), "");  // one digit: character 4, a control character and no text
    ASSERT_TRUE(read("{\\rtf1 \\'4x", d));
    EXPECT_EQ(text_of(d), "x");
}

// ---- independent readers ----

bool have(const char* tool) { return have_reader(tool); }
std::string run(const std::string& cmd) { return command_output(cmd); }

std::filesystem::path temp_dir() {
    auto p = std::filesystem::temp_directory_path() / ("quinda_rtf_" + std::to_string(getpid()));
    std::filesystem::create_directories(p);
    return p;
}

void write_file(const std::filesystem::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

TEST(RtfReaders, PandocReadsOurTextAndRuns) {
    if (!have("pandoc")) GTEST_SKIP() << "pandoc not installed";
    const auto dir = temp_dir();
    write_file(dir / "s.rtf", write(sample()));
    const std::string json = run("pandoc -f rtf -t json " + (dir / "s.rtf").string());
    EXPECT_NE(json.find("\"Strong\",\"c\":[{\"t\":\"Str\",\"c\":\"bold\"}"), std::string::npos) << json;
    EXPECT_NE(json.find("\"Emph\""), std::string::npos);
    EXPECT_NE(json.find("\"Underline\""), std::string::npos);
    EXPECT_NE(json.find("\"Strikeout\""), std::string::npos);
    EXPECT_NE(json.find("caf\xc3\xa9"), std::string::npos);
    EXPECT_NE(json.find("\xe2\x82\xac"), std::string::npos);
    EXPECT_NE(json.find("\xce\xa9"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(RtfReaders, TablesOfPandocAndLibreOfficeKeepTheirCellsApart) {
    const auto dir = temp_dir();
    write_file(dir / "t.html", "<table><tr><td>A</td><td>B</td></tr><tr><td>1</td><td>2</td></tr></table><p>after</p>");
    std::vector<std::pair<std::string, std::string>> made;
    if (have("pandoc")) made.emplace_back("pandoc", run("pandoc -s -f html -t rtf " + (dir / "t.html").string()));
    if (have("soffice")) {
        const std::string prof = "-env:UserInstallation=file://" + (dir / "profile").string();
        run("cd " + dir.string() + " && soffice " + prof + " --headless --convert-to 'rtf:Rich Text Format' --infilter=HTML t.html >/dev/null 2>&1");
        std::ifstream in(dir / "t.rtf", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        made.emplace_back("LibreOffice", ss.str());
    }
    if (made.empty()) GTEST_SKIP() << "neither pandoc nor LibreOffice installed";
    for (const auto& [who, rtf] : made) {
        Document d;
        ASSERT_TRUE(read(rtf, d)) << who << rtf;
        const std::string t = text_of(d);
        EXPECT_NE(t.find("A\tB\n1\t2\n"), std::string::npos) << who << ": " << t;
        EXPECT_NE(t.find("after"), std::string::npos) << who << ": " << t;
    }
    std::filesystem::remove_all(dir);
}

TEST(RtfReaders, WhatPandocWritesReadsBack) {
    if (!have("pandoc")) GTEST_SKIP() << "pandoc not installed";
    const auto dir = temp_dir();
    write_file(dir / "in.md", "Plain **bold** *ital* ~~gone~~ caf\xc3\xa9\n\n- item one\n");
    const std::string rtf = run("pandoc -s -f markdown -t rtf " + (dir / "in.md").string());
    Document d;
    ASSERT_TRUE(read(rtf, d)) << rtf;
    const std::string t = text_of(d);
    EXPECT_NE(t.find("Plain bold ital gone caf\xc3\xa9"), std::string::npos) << t;
    EXPECT_NE(t.find("item one"), std::string::npos);
    bool bold = false, ital = false, strike = false;
    for (const Paragraph& p : d.paras)
        for (const osrtf::Run& r : p.runs) {
            bold |= r.fmt.bold && r.text == "bold";
            ital |= r.fmt.italic && r.text == "ital";
            strike |= r.fmt.strike && r.text == "gone";
        }
    EXPECT_TRUE(bold && ital && strike);
    std::filesystem::remove_all(dir);
}

TEST(RtfReaders, LibreOfficeConvertsOurFormatsAndItsOwnReadBack) {
    if (!have("soffice")) GTEST_SKIP() << "LibreOffice not installed";
    const auto dir = temp_dir();
    write_file(dir / "s.rtf", write(sample()));
    const std::string prof = "-env:UserInstallation=file://" + (dir / "profile").string();
    run("cd " + dir.string() + " && soffice " + prof + " --headless --convert-to html s.rtf >/dev/null 2>&1");
    std::ifstream in(dir / "s.html");
    std::stringstream ss;
    ss << in.rdbuf();
    std::string html = ss.str();
    for (auto& c : html) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(html.find("center"), std::string::npos) << html;
    EXPECT_NE(html.find("right"), std::string::npos);
    EXPECT_NE(html.find("#ff0000"), std::string::npos);
    EXPECT_NE(html.find("times new roman"), std::string::npos);
    EXPECT_NE(html.find("18pt"), std::string::npos);
    EXPECT_NE(html.find("<li"), std::string::npos);
    // LibreOffice's own RTF of that document keeps the text and formats for us.
    run("cd " + dir.string() + " && mkdir -p o && soffice " + prof +
        " --headless --convert-to rtf --outdir o s.rtf >/dev/null 2>&1");
    std::ifstream lo(dir / "o" / "s.rtf", std::ios::binary);
    std::stringstream ls;
    ls << lo.rdbuf();
    Document d;
    ASSERT_TRUE(read(ls.str(), d));
    const std::string t = text_of(d);
    EXPECT_NE(t.find("bold"), std::string::npos) << t;
    EXPECT_NE(t.find("item"), std::string::npos);
    bool bold = false, centred = false;
    for (const Paragraph& p : d.paras) {
        centred |= p.fmt.align == AlignCentre;
        for (const osrtf::Run& r : p.runs) bold |= r.fmt.bold && r.text.find("bold") != std::string::npos;
    }
    EXPECT_TRUE(bold && centred);
    // Its font table names substitutes beside the faces: the faces read are
    // whole names, and the italic run keeps the face it was written in.
    for (const Font& f : d.fonts) {
        EXPECT_EQ(f.face.find("Liberation SerifTimes"), std::string::npos) << f.face;
        EXPECT_EQ(f.face.find("Liberation SansArial"), std::string::npos) << f.face;
        EXPECT_EQ(f.face.find_first_of("{}\\;0123456789"), std::string::npos) << f.face;
    }
    bool times = false;
    for (const Paragraph& p : d.paras)
        for (const osrtf::Run& r : p.runs)
            if (r.fmt.italic && r.text.find("italic") != std::string::npos)
                times = d.fonts.at(static_cast<std::size_t>(r.fmt.font)).face == "Times New Roman";
    EXPECT_TRUE(times);
    std::filesystem::remove_all(dir);
}

}  // namespace
