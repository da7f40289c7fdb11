#pragma once
// Library text (Windows-1252) to and from the toolkit's strings.
#include <QString>
#include <string>
#include <string_view>

#include "platform/os_codepage.h"

inline QString os_qstring(std::string_view text) {
    return QString::fromStdString(os_cp1252_to_utf8(text));
}

inline std::string os_from_qstring(const QString& text) {
    return os_utf8_to_cp1252(text.toStdString());
}
