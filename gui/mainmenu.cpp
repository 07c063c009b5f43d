#include "gui/mainmenu.h"

#include "gui/inputfindbar.h"
#include "gui/mainwindow.h"

#include <QMenu>
#include <QMenuBar>

namespace {

template <typename Receiver, typename Slot>
QAction* addItem(QMenu* menu, const char* caption, const char* name, Receiver& receiver, Slot slot)
{
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    QObject::connect(item, &QAction::triggered, &receiver, slot);
    return item;
}

QMenu* addMenu(MainWindow& window, const char* caption, const char* name)
{
    QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addToggle(QMenu* menu, const char* caption, const char* name, MainWindow& window,
                   void (MainWindow::*slot)())
{
    QAction* toggle = addItem(menu, caption, name, window, slot);
    toggle->setCheckable(true);
    return toggle;
}

} // namespace

ViewToggles buildMainMenu(MainWindow& window, QMenu* recent, InputFindBar* find,
                          const QList<QAction*>& views)
{
    using namespace menucaption;
    using W = MainWindow;

    QMenu* file = addMenu(window, kFile, "File1");
    addItem(file, kOpen, "Open1", window, &W::BitBtn3Click)->setShortcut(QKeySequence::Open);
    addItem(file, kSaveInputFile, "Saveinputfile1", window, &W::Saveinputfile1Click);
    addItem(file, kGetPower, "GetPowerAction", window, &W::GetPower1Click);
    file->addMenu(recent);
    file->addSeparator();
    QAction* exit = addItem(file, kExit, "Exit1", window, &W::Exit1Click);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = addMenu(window, kEdit, "EditMenu1");
    addItem(edit, kFind, "Find1", *find, &InputFindBar::startFind)->setShortcut(QKeySequence::Find);
    // F3 alone: the desktop's FindNext also means Ctrl+G, which is Go to line here.
    addItem(edit, kFindNext, "FindNext1", *find, &InputFindBar::findNext)->setShortcut(QKeySequence(Qt::Key_F3));
    addItem(edit, kGoToLine, "GoToLine1", *find, &InputFindBar::startGoToLine)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    QMenu* control = addMenu(window, kControl, "Control1");
    addItem(control, kSaveTemplate, "Savedatatemplate1", window, &W::Savedatatemplate1Click);
    addItem(control, kRetrieveLastTemplate, "Retrievelastsessiontemplate1", window,
            &W::retrieveLastSessionTemplate);
    addItem(control, kManageTemplates, "Managetemplatelist1", window, &W::Managetemplatelist1Click);
    control->addSeparator();
    addItem(control, kFillGaps, "FillGaps1", window, &W::FillGaps1Click);
    control->addSeparator();
    addItem(control, kDefaultFolders, "Preferences1", window, &W::Preferences1Click);
    control->addSeparator();
    addItem(control, kCleanInput, "CleanData1", window, &W::CleanData1Click);
    addItem(control, kAlignWithTabs, "Usetabtoaligninputdata1", window,
            &W::Usetabtoaligninputdata1Click);
    addItem(control, kRemoveColumns, "RemoveDataColumns", window, &W::RemoveDataColumnsClick);
    control->addSeparator();
    QAction* caption = control->addAction(QString::fromLatin1(kCheckBelow));
    caption->setObjectName("Checkuncheckbelow1");
    caption->setEnabled(false);
    ViewToggles toggles;
    toggles.elasticWindow =
        addToggle(control, kElasticWindow, "Elasticwindow1", window, &W::Elasticwindow1Click);
    toggles.horizontalScrollBar = addToggle(control, kHorizontalScrollBar, "Showhorizontalscrolbar1",
                                            window, &W::Showhorizontalscrolbar1Click);
    toggles.enableSpacer =
        addToggle(control, kEnableSpacer, "Enablespacer1", window, &W::Enablespacer1Click);

    QMenu* view = addMenu(window, kView, "View1");
    view->addActions(views);

    QMenu* help = addMenu(window, kHelp, "Help1");
    QAction* instructions = addItem(help, kInstructions, "Instructions1", window, &W::Instructions1Click);
    instructions->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    addItem(help, kAboutPluvora, "AboutPluvora1", window, &W::AboutPluvora1Click);
    return toggles;
}
