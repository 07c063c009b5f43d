#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QPushButton>

#include <functional>

// A drop-down list that tells when its list closes, with or without a choice.
class ClosingComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> onCloseUp;

    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (onCloseUp)
            onCloseUp();
    }
};

// A dialog button that Enter does not press: each dialog decides what Enter
// means itself.
inline QPushButton* makeButton(const char* name, const char* text, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The font the window's pixel layout was drawn for. Captions keep this size
// whatever text size the desktop uses, so none is cut off by a larger one.
inline QFont layoutFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(12);
    return font;
}
