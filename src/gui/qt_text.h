// Conversions between the core's UTF-8 texts and Qt's strings. Texts that
// come from a catalogue are untrusted: invalid bytes become U+FFFD, and for
// one-line places (a list row, a tree node) control characters such as line
// breaks become U+FFFD too, so no name can break a row.
#pragma once

#include <QApplication>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStyle>
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
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        // C0 and C1 controls and the Unicode line and paragraph separators:
        // each would break the row or hide text.
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029) c = QChar(0xFFFD);
    }
    return s;
}

// A comment for one line of a view: its lines joined by one blank each (CR
// LF, CR or LF, and tab become a blank, so "JPEG :Holiday\r\n 800 x 600"
// reads as text), every other control as in one_line.
inline QString comment_line(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        joined += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    }
    return one_line(joined);
}

inline std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A standard icon of the style, made once: views ask for it per painted
// row, and making one reads image files of the icon theme.
inline const QIcon& style_icon(QStyle::StandardPixmap which) {
    static QHash<int, QIcon> icons;
    auto it = icons.find(static_cast<int>(which));
    if (it == icons.end())
        it = icons.insert(static_cast<int>(which), QApplication::style()->standardIcon(which));
    return *it;
}

// A text from a catalogue as a tool tip: escaped, so markup stays text.
inline QString plain_tip(std::string_view text) {
    const QString s = qs(text);
    if (s.isEmpty()) return {};
    return QStringLiteral("<p style='white-space:pre-wrap'>%1</p>").arg(s.toHtmlEscaped());
}

}  // namespace orbisto::gui
