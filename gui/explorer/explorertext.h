#pragma once

#include "gui/utf8text.h"

#include <QString>

// Names from the user's files are shown as typed: an ampersand is no
// keyboard accelerator.
inline QString literalCaption(const QString& text)
{
    QString escaped = text;
    return escaped.replace('&', "&&");
}
