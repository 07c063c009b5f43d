#pragma once

#include "gui/mainwindow.h"
#include "recordingfeedback.h"
#include "scripteddocumentopener.h"
#include "scriptedfilechooser.h"
#include "tempfolder.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The real main window in a temporary application folder, with a recorder
// for messages and a scripted file chooser; helpers act as a user would.
class WindowFixture : public ::testing::Test {
protected:
    pluvora::test::TempFolder appDir;
    pluvora::test::TempFolder userDir;
    pluvora::test::RecordingFeedback feedback;
    ScriptedFileChooser chooser;
    ScriptedDocumentOpener opener;
    std::unique_ptr<MainWindow> window;

    void SetUp() override
    {
        MainWindowSetup setup;
        setup.appFolder = appDir.path();
        setup.feedback = &feedback;
        setup.fileChooser = &chooser;
        setup.documentOpener = &opener;
        window = std::make_unique<MainWindow>(setup);
        window->setCompletionPause(0);
        // Tests describe their layouts by hand; the suggestion's own tests
        // turn it back on.
        if (auto* suggest = window->findChild<QAction*>("Suggestlayout1"))
            suggest->setChecked(false);
    }

    // Searches the window's own controls, not those of an open dialog that
    // reuses a name.
    template <typename T>
    T* child(const char* name)
    {
        return find<T>(window->centralWidget(), name);
    }

    template <typename T>
    T* find(QObject* parent, const char* name)
    {
        T* found = parent->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void open(const std::filesystem::path& file)
    {
        chooser.paths << QString::fromStdString(file.string());
        child<QPushButton>("BitBtn3")->click();
    }

    void setColumn(int column, const char* variable, const char* unit = nullptr)
    {
        auto* box = child<QComboBox>(("ComboBox" + std::to_string(11 + column)).c_str());
        const int index = box->findText(variable);
        ASSERT_GE(index, 0) << variable;
        box->setCurrentIndex(index);
        emit box->activated(index);
        if (unit) {
            auto* units = child<QComboBox>(("ComboBox" + std::to_string(23 + column)).c_str());
            const int u = units->findText(unit);
            ASSERT_GE(u, 0) << unit;
            units->setCurrentIndex(u);
        }
    }

    void setRowsBefore(int rows)
    {
        child<QToolButton>("SpinButton1Up")->click(); // an empty box becomes "0"
        while (child<QLineEdit>("adpEdit1")->text().toInt() > 0)
            child<QToolButton>("SpinButton1Up")->click();
        for (int i = 0; i < rows; ++i)
            child<QToolButton>("SpinButton1Down")->click();
    }
};
