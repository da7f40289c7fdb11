// Help viewers by the help file's type.
#include "lib/window/help.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_process.h"

HelpState help_state;

void reset_help_state() { help_state = HelpState{}; }

namespace {

constexpr std::size_t WorkText = 513;
constexpr std::string_view kRedirectName = "$$tmp$$.htm";
constexpr std::string_view kRedirectLine = "Temporary Quindarolex file. Please delete.";

bool ends_with(const std::string& s, std::string_view e) {
    return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}

bool exists(const std::string& path) {
    OsFileInfo info;
    return !path.empty() && os_file_info(path, info) == 0;
}

// The program the desktop opens a file with: 0 found, 1 no such file, 1030 otherwise.
std::int32_t viewer_of(const std::string& file, std::string& program) {
    int status = 0;
    std::string buffer;
    yyassocexe(status, file, buffer, static_cast<int>(WorkText));
    if (status == 0) {
        program = buffer;
        return 0;
    }
    return status == 1 ? 1 : 1030;
}

// Starts the viewer with one argument, without a shell; 1030 when it cannot start.
std::int32_t start(const std::string& program, const std::string& argument) {
    std::int32_t process = -1;
    if (os_process_start_args({program, argument}, process) != OS_OK) return 1030;
    os_process_close(process);
    return 0;
}

// The desktop's viewer for a file of a help system that does not exist
// here; without one the help system's own status.
std::int32_t open_whole_file(const std::string& file, std::int32_t missing) {
    std::string program;
    if (viewer_of(file, program) != 0) return missing;
    return start(program, file);
}

}  // namespace

void yyhelphlp(std::int32_t mode, std::int32_t, std::int32_t, std::int32_t& status, const std::string& file) {
    help_state.last_mode = mode;
    status = open_whole_file(file, 1030);
}

void yyhelpchm(std::int32_t mode, std::int32_t, std::int32_t, std::int32_t& status, const std::string& file,
               const std::string&) {
    help_state.last_mode = mode;
    status = open_whole_file(file, 1081);
}

void yyhelphtm(std::int32_t, std::int32_t topic, std::int32_t& status, const std::string& file,
               const std::string& topic_text, const std::string& address) {
    status = 0;
    const bool web = !address.empty();
    std::string target;     // the file the desktop is asked about
    std::string redirect;
    if (web) {
        // 1. The redirect file, an ordinary file of our own: never written
        // through a link or onto something else lying in its place.
        std::string dir(MaxPath, ' ');
        WInfoFilename(10, dir);
        redirect = txt_c(dir) + std::string(kRedirectName);
        const OsPathKind kind = os_path_kind(redirect);
        if (kind == OsPathKind::File) os_file_delete(redirect);
        std::int32_t h = -1;
        if (kind == OsPathKind::Directory || kind == OsPathKind::Other ||
            os_file_open(redirect, OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_NEW, h) != OS_OK) {
            status = 1030;
            return;   // nothing of ours to delete
        }
        const std::string line = std::string(kRedirectLine) + "\n";
        std::int32_t done = 0;
        const int rc = os_file_write(h, line.data(), static_cast<std::int32_t>(line.size()), done);
        os_file_close(h);
        if (rc != OS_OK || done != static_cast<std::int32_t>(line.size())) status = 1030;
        target = redirect;
    } else {
        target = file;
    }
    // 2. The viewer.
    std::string program;
    if (status == 0) status = viewer_of(target, program);
    // 3, 4. One argument: the page as a file address, or the web address, with the topic.
    if (status == 0) {
        std::string argument;
        if (web) {
            argument = address;
        } else {
            argument = "file://" + file;
            std::replace(argument.begin(), argument.end(), '\\', '/');
        }
        if (topic >= 1) argument += "#" + topic_text;
        status = start(program, argument);
    }
    // 5.
    if (web) os_file_delete(redirect);
}

void yyhelppdf(std::int32_t& status, const std::string& file) {
    std::string program;
    status = viewer_of(file, program);
    if (status == 0) status = start(program, file);
}

// No help system keeps windows of its own here: the desktop's viewers are
// programs of their own, so there is nothing to close.
void yyhelpclose() {}

void WHelpFile(std::string_view name, std::optional<std::int32_t> topic_in, std::optional<std::int32_t> popup_in) {
    const std::int32_t topic = topic_in.value_or(-1);
    const std::int32_t popup = popup_in.value_or(0);
    const std::string topic_text = std::to_string(topic);
    std::int32_t status = 0;
    // 1. From the first non-blank character; compared without case.
    const std::string_view t = txt_trim(name);
    const std::size_t c = t.find_first_not_of(' ');
    if (c == std::string_view::npos) {
        yyhelpclose();   // 2.
        return;
    }
    std::string given(t.substr(c));
    if (given.size() > WorkText) given.resize(WorkText);
    std::string lower = given;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    enum Kind { Hlp, Chm, Web, Htm, Pdf, None } kind = None;
    if (ends_with(lower, ".hlp")) kind = Hlp;
    else if (ends_with(lower, ".chm") || ends_with(lower, ".col")) kind = Chm;
    else if (lower.rfind("http://", 0) == 0) kind = Web;
    else if (ends_with(lower, ".htm") || ends_with(lower, ".html")) kind = Htm;
    else if (ends_with(lower, ".pdf")) kind = Pdf;
    if (kind == None) {
        yyerror(1031, "WHelpFile");
        return;
    }
    // 4. The file: its full path, else in the program's directory.
    std::string path;
    if (kind != Web) {
        std::string local = given;
        if (kind == Htm && lower.rfind("file://", 0) == 0) local = given.substr(7);
        int st = 0;
        yyfullpathname(st, local, path, static_cast<int>(WorkText));
        if (st != 0 || !exists(path)) {
            std::string exe(WorkText, ' ');
            iosargument(0, exe);
            std::string full;
            yyfullpathname(st, txt_c(exe), full, static_cast<int>(WorkText));
            const std::size_t slash = full.rfind('/');
            path = (st == 0 && slash != std::string::npos ? full.substr(0, slash + 1) : std::string()) + local;
            if (!exists(path)) status = 1;
        }
    }
    // 5. The viewer.
    if (status == 0) {
        switch (kind) {
        case Hlp: {
            // No topic: the contents, through the contents file when there is one.
            std::string cnt = path.substr(0, path.size() - 3) + "cnt";
            const std::int32_t mode = topic >= 1 ? HelpTopic : (exists(cnt) ? HelpContents : HelpContentsOnly);
            yyhelphlp(mode, popup, topic, status, path);
            break;
        }
        case Chm: yyhelpchm(topic >= 1 ? HelpTopic : HelpContents, popup, topic, status, path, {}); break;
        case Web: yyhelphtm(HelpKeyword, topic, status, {}, topic_text, given); break;
        case Htm: yyhelphtm(topic >= 1 ? HelpTopic : HelpContents, topic, status, path, topic_text, {}); break;
        case Pdf: yyhelppdf(status, path); break;
        case None: break;
        }
    }
    if (status != 0) yyerror(status, "WHelpFile");
}
