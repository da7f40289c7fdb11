#pragma once
// E-mail: recipients and attachments are kept in the shapes of the two
// published mail interfaces (Simple MAPI and CMC); the message goes to the
// desktop's mail program through xdg-email, which shows its compose window.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr std::uint32_t CmcLastElement = 0x80000000u;
// The mail interface's code for a recipient it cannot resolve.
constexpr std::int32_t MailUnknownRecipient = 14;

// MapiRecipDesc: reserved, class (1 To, 2 Cc, 3 Bcc, 0 not set), name, address, entry id.
struct MapiRecipient {
    std::uint32_t reserved = 0;
    std::uint32_t recip_class = 0;
    std::string name, address;
    std::uint32_t entry_id_size = 0;
};
// CMC_recipient: name, name type, address, role (0 To, 1 Cc, 2 Bcc), flags.
struct CmcRecipient {
    std::string name;
    std::int32_t name_type = 0;
    std::string address;
    std::int32_t role = 0;
    std::uint32_t flags = 0;
};
// MapiFileDesc: reserved, flags, position, path name.
struct MapiFile {
    std::uint32_t reserved = 0, flags = 0;
    std::int32_t position = -1;
    std::string path;
};
// CMC_attachment: type (arbitrary data), file name, flags.
struct CmcAttachment {
    std::string type = "? ? ? ? ? ?";
    std::string filename;
    std::uint32_t flags = 0;
};

struct EmailState {
    std::vector<MapiRecipient> mapi_recipients;
    std::vector<CmcRecipient> cmc_recipients;
    std::int32_t recipient_count = 0;
    std::vector<MapiFile> mapi_files;
    std::vector<CmcAttachment> cmc_attachments;
    std::int32_t attachment_count = 0;
};
extern EmailState email_state;
void reset_email_state();

void yyemailclearrecip(std::int32_t count);
void yyemailaddaddress(std::int32_t index, std::string_view address);
void yyemailaddname(std::int32_t index, std::string_view name);
void yyemailaddtype(std::int32_t index, std::int32_t type);
void yyemailclearattach(std::int32_t count);
void yyemailaddattachfile(std::int32_t index, std::string_view path);
// status 0 sent, -1 no mail program (1082), -2 the mail program failed
// with mail_code (1083), also a recipient without an address
// (MailUnknownRecipient, nothing sent). Recipients with a display name go
// as "Name <address>". Option bit 1 asks for the compose window, which
// the desktop's mail program always shows; bit 2 keeps off CMC.
void yyemailsend(std::int32_t options, std::int32_t& status, std::int32_t& mail_code, std::string_view subject,
                 std::string_view text);
// 1 when the system prefers CMC; there is no such setting here.
std::int32_t yyEmailUseCMC();
