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
    for (QChar& c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QChar(0xFFFD);
    return s;
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

}  // namespace orbisto::gui
