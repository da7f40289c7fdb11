#pragma once
// Help viewers: the viewer is chosen by the help file's type. Every viewer
// is the program the desktop associates with the file, started without a
// shell with the file or address as one argument.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Modes passed to the viewers.
enum HelpMode : std::int32_t { HelpContents = 1, HelpTopic = 2, HelpKeyword = 3, HelpContentsOnly = 4 };

struct HelpState {
    // The mode the last WinHelp or HTML help viewer was asked for (the
    // desktop's viewers take the whole file; the mode cannot be passed on).
    std::int32_t last_mode = 0;
};
extern HelpState help_state;
void reset_help_state();

// topic absent: -1 (contents); popup 1: the topic in a pop-up window.
void WHelpFile(std::string_view name, std::optional<std::int32_t> topic = std::nullopt,
               std::optional<std::int32_t> popup = std::nullopt);

void yyhelphlp(std::int32_t mode, std::int32_t popup, std::int32_t topic, std::int32_t& status,
               const std::string& file);
void yyhelpchm(std::int32_t mode, std::int32_t popup, std::int32_t topic, std::int32_t& status,
               const std::string& file, const std::string& keyword);
// A local page (address empty) or a web address.
void yyhelphtm(std::int32_t mode, std::int32_t topic, std::int32_t& status, const std::string& file,
               const std::string& topic_text, const std::string& address);
void yyhelppdf(std::int32_t& status, const std::string& file);
void yyhelpclose();
