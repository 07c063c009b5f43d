#include "gui/elasticlayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A small window drawn at 200 by 100: a button with its own font, a group
// holding a line edit, a panel of Qt layout and a text panel.
struct Drawn {
    QWidget root;
    QPushButton* button = new QPushButton("OK", &root);
    QGroupBox* group = new QGroupBox("Group", &root);
    QLineEdit* edit = new QLineEdit(group);
    QWidget* laidOut = new QWidget(&root);
    QLabel* label = new QLabel("managed", laidOut);
    QPlainTextEdit* text = new QPlainTextEdit(&root);

    Drawn()
    {
        QFont font = root.font();
        font.setPixelSize(12);
        root.setFont(font);
        font.setBold(true);
        font.setPixelSize(10);
        button->setFont(font);
        root.resize(200, 100);
        button->setGeometry(10, 10, 50, 20);
        group->setGeometry(100, 0, 100, 60);
        edit->setGeometry(5, 20, 40, 20);
        laidOut->setGeometry(0, 60, 100, 40);
        (new QVBoxLayout(laidOut))->addWidget(label);
        text->setGeometry(100, 60, 100, 40);
        root.show(); // a hidden widget gets its resize events only when shown
    }
};

} // namespace

TEST(ElasticLayout, ScalesGeometryAndFontsAndRestoresTheDesign)
{
    Drawn w;
    ElasticLayout elastic(&w.root, {200, 100});
    const QRect viewport = w.text->viewport()->geometry();
    w.root.resize(400, 300); // 2 wide, 3 high: fonts follow the smaller
    EXPECT_EQ(w.button->geometry(), QRect(10, 10, 50, 20)); // off: nothing moves

    elastic.setEnabled(true);
    EXPECT_EQ(w.button->geometry(), QRect(20, 30, 100, 60));
    EXPECT_EQ(w.group->geometry(), QRect(200, 0, 200, 180));
    EXPECT_EQ(w.edit->geometry(), QRect(10, 60, 80, 60));
    EXPECT_EQ(w.text->geometry(), QRect(200, 180, 200, 120));
    EXPECT_EQ(w.button->font().pixelSize(), 20);
    EXPECT_TRUE(w.button->font().bold());
    EXPECT_EQ(w.root.font().pixelSize(), 24);
    EXPECT_EQ(w.label->font().pixelSize(), 24); // inherited
    EXPECT_NE(w.text->viewport()->geometry(), viewport); // left to its panel

    w.root.resize(100, 50); // follows every resize while on
    EXPECT_EQ(w.button->geometry(), QRect(5, 5, 25, 10));
    EXPECT_EQ(w.button->font().pixelSize(), 5);

    elastic.setEnabled(false);
    EXPECT_EQ(w.button->geometry(), QRect(10, 10, 50, 20));
    EXPECT_EQ(w.group->geometry(), QRect(100, 0, 100, 60));
    EXPECT_EQ(w.edit->geometry(), QRect(5, 20, 40, 20));
    EXPECT_EQ(w.button->font().pixelSize(), 10);
    EXPECT_EQ(w.root.font().pixelSize(), 12);
}

TEST(ElasticLayout, AControlTheProgramMovesKeepsItsNewPlace)
{
    Drawn w;
    ElasticLayout elastic(&w.root, {200, 100});
    elastic.setEnabled(true);
    w.root.resize(400, 200);
    w.button->setGeometry(40, 40, 80, 20); // sized by the program while doubled
    w.root.resize(200, 100);
    EXPECT_EQ(w.button->geometry(), QRect(20, 20, 40, 10));
    elastic.setEnabled(false);
    EXPECT_EQ(w.button->geometry(), QRect(20, 20, 40, 10));
}
