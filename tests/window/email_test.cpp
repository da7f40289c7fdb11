// E-mail: the recipient and attachment arrays, and the message handed to a
// recording mail program in place of xdg-email.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lib/window/email.h"
#include "tests/support/quinda_test.h"

namespace fs = std::filesystem;

namespace {

class EmailTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        fs::create_directories(dir.path() / "bin");
        write_file(dir.file("bin/xdg-email"),
                   "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$MAIL_RECORD\"\nexit ${MAIL_EXIT:-0}\n");
        fs::permissions(dir.path() / "bin/xdg-email", fs::perms::owner_all);
    }
    std::vector<std::string> recorded() {
        std::vector<std::string> out;
        const std::string bytes = read_file(dir.file("record"));
        std::size_t start = 0;
        for (std::size_t k = bytes.find('\0'); k != std::string::npos; k = bytes.find('\0', start)) {
            out.push_back(bytes.substr(start, k - start));
            start = k + 1;
        }
        return out;
    }
    TempDir dir;
    ScopedEnv path{"PATH", dir.file("bin") + ":/usr/bin:/bin"};
    ScopedEnv rec{"MAIL_RECORD", dir.file("record")};
};

}  // namespace

TEST_F(EmailTest, RecipientArraysInBothShapes) {
    yyemailclearrecip(3);
    const EmailState& s = email_state;
    ASSERT_EQ(s.mapi_recipients.size(), 3u);
    EXPECT_EQ(s.recipient_count, 3);
    // The first starts as To, the others unset; every role starts as To.
    EXPECT_EQ(s.mapi_recipients[0].recip_class, 1u);
    EXPECT_EQ(s.mapi_recipients[1].recip_class, 0u);
    EXPECT_EQ(s.cmc_recipients[2].role, 0);
    EXPECT_EQ(s.cmc_recipients[2].flags, CmcLastElement);
    EXPECT_EQ(s.cmc_recipients[1].flags, 0u);

    yyemailaddname(1, "");                 // no address yet: the name stays empty
    EXPECT_EQ(s.cmc_recipients[1].name, "");
    yyemailaddaddress(1, "b@example.org");
    yyemailaddname(1, "");                 // an empty name: the address stands in
    EXPECT_EQ(s.cmc_recipients[1].name, "b@example.org");
    EXPECT_EQ(s.mapi_recipients[1].name, "");
    yyemailaddname(0, "Ann");
    EXPECT_EQ(s.cmc_recipients[0].name, "Ann");
    const std::pair<int, std::pair<std::uint32_t, int>> types[] = {
        {2, {2, 1}}, {3, {3, 2}}, {1, {1, 0}}, {7, {1, 0}}, {0, {1, 0}}};
    for (auto [type, expect] : types) {
        yyemailaddtype(2, type);
        EXPECT_EQ(s.mapi_recipients[2].recip_class, expect.first) << type;
        EXPECT_EQ(s.cmc_recipients[2].role, expect.second) << type;
    }

    // Indexes outside the count change nothing.
    const EmailState before = s;
    yyemailaddaddress(3, "x@example.org");
    yyemailaddaddress(-1, "x@example.org");
    yyemailaddtype(5, 2);
    EXPECT_EQ(s.mapi_recipients.size(), before.mapi_recipients.size());
    EXPECT_EQ(s.mapi_recipients[2].address, "");
    EXPECT_EQ(s.recipient_count, 3);

    // A count of 0 or less discards every recipient: one empty entry stays,
    // the count is the one given, and no index reaches the entry.
    for (const std::int32_t count : {0, -2}) {
        SCOPED_TRACE(count);
        yyemailclearrecip(3);
        yyemailaddaddress(0, "old@example.org");
        yyemailclearrecip(count);
        ASSERT_EQ(s.mapi_recipients.size(), 1u);
        ASSERT_EQ(s.cmc_recipients.size(), 1u);
        EXPECT_EQ(s.mapi_recipients[0].address, "");
        EXPECT_EQ(s.mapi_recipients[0].recip_class, 1u);
        EXPECT_EQ(s.cmc_recipients[0].flags, CmcLastElement);
        EXPECT_EQ(s.recipient_count, count);
        yyemailaddaddress(0, "x@example.org");
        EXPECT_EQ(s.mapi_recipients[0].address, "");
    }

    yyemailclearattach(2);
    yyemailaddattachfile(1, "/tmp/b.grd");
    EXPECT_EQ(s.mapi_files[1].path, "/tmp/b.grd");
    EXPECT_EQ(s.mapi_files[1].position, -1);
    EXPECT_EQ(s.cmc_attachments[1].filename, "/tmp/b.grd");
    EXPECT_EQ(s.cmc_attachments[1].type, "? ? ? ? ? ?");
    EXPECT_EQ(s.cmc_attachments[1].flags, CmcLastElement);
    EXPECT_EQ(s.cmc_attachments[0].flags, 0u);
    // 0 or less: none left.
    for (const std::int32_t count : {0, -1}) {
        SCOPED_TRACE(count);
        yyemailclearattach(2);
        yyemailaddattachfile(0, "/tmp/a.grd");
        yyemailclearattach(count);
        EXPECT_TRUE(s.mapi_files.empty());
        EXPECT_TRUE(s.cmc_attachments.empty());
        EXPECT_EQ(s.attachment_count, 0);
        yyemailaddattachfile(0, "/tmp/a.grd");
        EXPECT_TRUE(s.mapi_files.empty());
    }
}

TEST_F(EmailTest, MessageGoesToTheMailProgramOneArgumentEach) {
    yyemailclearrecip(4);
    const char* addresses[] = {"to@example.org", "cc@example.org", "bcc@example.org", "d@example.org"};
    // Display names go with their addresses; a name the list would split is quoted.
    const char* names[] = {"Ann Smith", "Doe, \"J\"", "", "d@example.org"};
    for (int i = 0; i < 4; ++i) {
        yyemailaddaddress(i, addresses[i]);
        yyemailaddname(i, names[i]);
    }
    yyemailaddtype(1, 2);
    yyemailaddtype(2, 3);
    const std::string odd = dir.file("grid $(touch pwned) `id` it's \"x\".grd");
    yyemailclearattach(2);
    yyemailaddattachfile(0, dir.file("a.grd"));
    yyemailaddattachfile(1, odd);
    std::int32_t status = 9, code = 9;
    const std::string before = fs::current_path().string();
    yyemailsend(0, status, code, "Heads; $(id)", "Line 1\nLine 2");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(recorded(), (std::vector<std::string>{"Ann Smith <to@example.org>", "--cc",
                                                    "\"Doe, \\\"J\\\"\" <cc@example.org>", "--bcc",
                                                    "bcc@example.org", "d@example.org", "--subject", "Heads; $(id)",
                                                    "--body", "Line 1\nLine 2", "--attach", dir.file("a.grd"),
                                                    "--attach", odd}));
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_EQ(fs::current_path().string(), before);

    // No recipients at all: the compose window still takes the message,
    // and nothing of the message before goes with it, also after clearing
    // with a negative count.
    for (const std::int32_t count : {0, -1}) {
        SCOPED_TRACE(count);
        yyemailclearrecip(1);
        yyemailaddaddress(0, "old@example.org");
        yyemailclearattach(1);
        yyemailaddattachfile(0, dir.file("old.grd"));
        yyemailclearrecip(count);
        yyemailclearattach(count);
        yyemailsend(2, status, code, "S", "");
        EXPECT_EQ(status, 0);
        EXPECT_EQ(recorded(), (std::vector<std::string>{"--subject", "S", "--body", ""}));
    }
}

// A recipient without an address cannot be sent to: the caller hears of it
// and the mail program is not started; so for an entry never filled in.
TEST_F(EmailTest, ARecipientWithoutAnAddressIsRefused) {
    for (const char* name : {"Bob", ""}) {
        SCOPED_TRACE(name);
        fs::remove(dir.file("record"));
        yyemailclearrecip(2);
        yyemailaddaddress(0, "to@example.org");
        yyemailaddname(1, name);
        std::int32_t status = 0, code = 0;
        yyemailsend(0, status, code, "S", "T");
        EXPECT_EQ(status, -2);
        EXPECT_EQ(code, MailUnknownRecipient);
        EXPECT_FALSE(fs::exists(dir.file("record")));
    }
}

TEST_F(EmailTest, StatusesOfTheMailProgram) {
    yyemailclearrecip(1);
    yyemailaddaddress(0, "to@example.org");
    std::int32_t status = 0, code = 0;
    {
        ScopedEnv exit_status("MAIL_EXIT", "3");
        yyemailsend(1, status, code, "S", "T");
        EXPECT_EQ(status, -2);
        EXPECT_EQ(code, 3);
    }
    {
        ScopedEnv no_program("PATH", dir.file("none"));
        yyemailsend(1, status, code, "S", "T");
        EXPECT_EQ(status, -1);
        EXPECT_EQ(code, 0);
    }
    EXPECT_EQ(yyEmailUseCMC(), 0);
}
