#pragma once

#include <QString>

#include <filesystem>
#include <string>

// The engine speaks UTF-8 in std::string and std::filesystem::path; the
// window speaks QString. These are the one bridge between them.

inline QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

inline std::filesystem::path pathOf(const QString& file) { return std::filesystem::path(toUtf8(file)); }
