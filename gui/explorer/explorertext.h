#pragma once

#include <QString>

#include <string>

// Text between the explorer's widgets and the engine's UTF-8 strings.
namespace explorertext {

inline QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// Names from the user's files are shown as typed: an ampersand is no
// keyboard accelerator.
inline QString literalCaption(const QString& text)
{
    QString escaped = text;
    return escaped.replace('&', "&&");
}

} // namespace explorertext
