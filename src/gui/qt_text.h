// Conversions between the core's UTF-8 texts and Qt's strings. Texts that
// come from a catalogue are untrusted: invalid bytes become U+FFFD, and for
// one-line places (a list row, a tree node) control characters such as line
// breaks become U+FFFD too, so no name can break a row.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orbisto::gui {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString qs(const char* text) {
    return QString::fromUtf8(text);
}

// A text for one line of a view.
inline QString one_line(std::string_view text) {
    QString s = qs(text);
    for (QChar& c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QChar(0xFFFD);
    return s;
}

inline std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace orbisto::gui
