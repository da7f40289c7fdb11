// E-mail through the desktop's mail program.
#include "lib/window/email.h"

#include <algorithm>

#include "lib/window/osservices.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_process.h"

EmailState email_state;

void reset_email_state() { email_state = EmailState{}; }

namespace {

constexpr const char* kMailProgram = "xdg-email";

bool recipient_index(std::int32_t i) {
    const EmailState& s = email_state;
    return i >= 0 && i < s.recipient_count && static_cast<std::size_t>(i) < s.mapi_recipients.size();
}
bool attachment_index(std::int32_t i) {
    const EmailState& s = email_state;
    return i >= 0 && i < s.attachment_count && static_cast<std::size_t>(i) < s.mapi_files.size();
}

// A recipient as the mail program takes it: "Name <address>", the name
// quoted where its characters would otherwise end it or split the list.
std::string addressed(const MapiRecipient& r) {
    if (r.name.empty() || r.name == r.address) return r.address;
    const bool plain = r.name.find_first_of("()<>[]:;@\\,.\"") == std::string::npos;
    std::string name;
    if (plain) {
        name = r.name;
    } else {
        name = "\"";
        for (char c : r.name) {
            if (c == '"' || c == '\\') name += '\\';
            name += c;
        }
        name += '"';
    }
    return name + " <" + r.address + ">";
}

}  // namespace

// A count of 0 or less discards the old entries all the same: a later send
// must not go out to recipients or with files of an earlier message.
void yyemailclearrecip(std::int32_t count) {
    EmailState& s = email_state;
    const std::size_t n = static_cast<std::size_t>(std::max(count, 1));
    s.mapi_recipients.assign(n, MapiRecipient{});
    s.cmc_recipients.assign(n, CmcRecipient{});
    s.mapi_recipients[0].recip_class = 1;   // the first is addressed To
    s.cmc_recipients.back().flags = CmcLastElement;
    s.recipient_count = count;
}

void yyemailaddaddress(std::int32_t index, std::string_view address) {
    if (!recipient_index(index)) return;
    const auto i = static_cast<std::size_t>(index);
    email_state.mapi_recipients[i].address = std::string(address);
    email_state.cmc_recipients[i].address = std::string(address);
}

void yyemailaddname(std::int32_t index, std::string_view name) {
    if (!recipient_index(index)) return;
    const auto i = static_cast<std::size_t>(index);
    email_state.mapi_recipients[i].name = std::string(name);
    CmcRecipient& c = email_state.cmc_recipients[i];
    c.name = name.empty() ? c.address : std::string(name);
}

void yyemailaddtype(std::int32_t index, std::int32_t type) {
    if (!recipient_index(index)) return;
    const auto i = static_cast<std::size_t>(index);
    const std::int32_t t = type == 2 || type == 3 ? type : 1;
    email_state.mapi_recipients[i].recip_class = static_cast<std::uint32_t>(t);
    email_state.cmc_recipients[i].role = t - 1;
}

void yyemailclearattach(std::int32_t count) {
    EmailState& s = email_state;
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    s.mapi_files.assign(n, MapiFile{});
    s.cmc_attachments.assign(n, CmcAttachment{});
    if (n > 0) s.cmc_attachments.back().flags = CmcLastElement;
    s.attachment_count = static_cast<std::int32_t>(n);
}

void yyemailaddattachfile(std::int32_t index, std::string_view path) {
    if (!attachment_index(index)) return;
    const auto i = static_cast<std::size_t>(index);
    email_state.mapi_files[i].path = std::string(path);
    email_state.cmc_attachments[i].filename = std::string(path);
}

std::int32_t yyEmailUseCMC() { return 0; }

void yyemailsend([[maybe_unused]] std::int32_t options, std::int32_t& status, std::int32_t& mail_code, std::string_view subject,
                 std::string_view text) {
    status = 0;
    mail_code = 0;
    // 1. CMC goes only where the system prefers it (never here: yyEmailUseCMC)
    // and unless option bit 2; the message takes the other path.
    // 3. The message, every part one argument of the mail program.
    const EmailState& s = email_state;
    std::vector<std::string> args{kMailProgram};
    for (std::int32_t i = 0; i < s.recipient_count && static_cast<std::size_t>(i) < s.mapi_recipients.size(); ++i) {
        const MapiRecipient& r = s.mapi_recipients[static_cast<std::size_t>(i)];
        // The desktop's mail program cannot look a name up: a recipient
        // without an address is refused as the mail interface refuses an
        // unknown recipient, and nothing is sent.
        if (r.address.empty()) {
            status = -2;
            mail_code = MailUnknownRecipient;
            return;
        }
        if (r.recip_class == 2) args.push_back("--cc");
        if (r.recip_class == 3) args.push_back("--bcc");
        args.push_back(addressed(r));
    }
    args.push_back("--subject");
    args.push_back(std::string(subject));
    args.push_back("--body");
    args.push_back(std::string(text));
    for (std::int32_t i = 0; i < s.attachment_count && static_cast<std::size_t>(i) < s.mapi_files.size(); ++i) {
        args.push_back("--attach");
        args.push_back(s.mapi_files[static_cast<std::size_t>(i)].path);
    }
    std::string cwd;
    os_dir_current(cwd);
    std::int32_t process = -1;
    // 2. Without the mail program there is nothing to send with.
    if (os_process_start_args(args, process) != OS_OK) {
        status = -1;
        return;
    }
    int code = 0;
    int rc = OS_OK;
    while ((rc = os_process_wait(process, 100, code)) == OS_ERROR_WAIT_TIMEOUT)
        if (command_wait_hook) command_wait_hook();
    os_process_close(process);
    if (!cwd.empty()) os_dir_set_current(cwd);
    if (rc != OS_OK || code != 0) {
        status = -2;
        mail_code = rc != OS_OK ? rc : code;
    }
}
