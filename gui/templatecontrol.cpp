#include "gui/templatecontrol.h"

#include "gui/missingvaluebox.h"

#include "gui/columnpanel.h"
#include "gui/fillgapscontrol.h"
#include "gui/savetemplatedialog.h"
#include "gui/templatemanagerdialog.h"

#include "engine/templates/templateoperations.h"
#include "engine/ui/userfeedback.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <exception>

TemplateControl::TemplateControl(const Controls& controls, const pluvora::AppFolder& folder,
                                 pluvora::UserFeedback& feedback, QObject* parent)
    : QObject(parent)
    , mControls(controls)
    , mStore(folder)
    , mUser(feedback)
{
    connect(mControls.templateBox, &QComboBox::currentTextChanged, this,
            &TemplateControl::colourTemplateBox);
    // A choice made in the open list is applied once the list has closed;
    // a choice made with the keys on the closed box arrives here alone.
    connect(mControls.templateBox, &QComboBox::activated, this, [this] {
        if (!mCloseUpPending)
            applySelected();
    });
    colourTemplateBox();
}

pluvora::DataTemplate TemplateControl::current() const
{
    pluvora::DataTemplate spec = mControls.columns->layout();
    if (mControls.missingValues)
        spec.missingTexts = mControls.missingValues->missingTexts();
    if (mControls.fill)
        spec.fill = mControls.fill->choice();
    return spec;
}

void TemplateControl::apply(const pluvora::DataTemplate& spec)
{
    mControls.columns->apply(spec);
    if (mControls.missingValues)
        mControls.missingValues->setMissingTexts(spec.missingTexts);
    if (mControls.fill)
        mControls.fill->setChoice(spec.fill);
}

void TemplateControl::loadTemplateList()
{
    QStringList names;
    try {
        std::vector<std::string> stored = mStore.names();
        pluvora::sortTemplateNames(stored);
        for (const auto& name : stored)
            names << QString::fromStdString(name);
    } catch (const std::exception&) {
        // An unreadable list leaves the box empty; templates can be saved anew.
    }
    showNames(names);
    mControls.templateBox->setCurrentIndex(-1);
}

void TemplateControl::showNames(const QStringList& names)
{
    mControls.templateBox->clear();
    mControls.templateBox->addItems(names);
}

void TemplateControl::listClosed()
{
    // The list closes before the clicked item becomes the box's choice, so
    // applying now would apply the previous one.
    mCloseUpPending = true;
    QTimer::singleShot(0, this, [this] {
        mCloseUpPending = false;
        applySelected();
    });
}

void TemplateControl::applySelected()
{
    auto* box = mControls.templateBox;
    if (!mStore.hasSettings() || box->currentIndex() < 0)
        return;
    // The block is read whole before the panel changes, so a damaged one
    // cannot leave the panel half applied.
    std::optional<pluvora::DataTemplate> spec;
    try {
        spec = mStore.find(box->currentText().toStdString());
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
        return;
    }
    mControls.columns->clearUnitBoxes();
    if (spec)
        apply(*spec);
    else
        pluvora::reportError(mUser, pluvora::kTemplateNotFound);
    colourTemplateBox();
}

void TemplateControl::applyLastSession()
{
    try {
        const auto spec = mStore.lastSession();
        if (!spec)
            return;
        mControls.columns->clearUnitBoxes();
        apply(*spec);
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
    }
    colourTemplateBox();
}

void TemplateControl::Savedatatemplate1Click()
{
    QStringList names;
    for (int i = 0; i < mControls.templateBox->count(); ++i)
        names << mControls.templateBox->itemText(i);
    auto* dialog = new SaveTemplateDialog(mStore, mUser, names, current(), mControls.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SaveTemplateDialog::saved, this,
            [this](const QStringList& list, const QString& name) {
                showNames(list);
                // The name saved is shown, not applied: the panel holds it already.
                const QSignalBlocker quiet(mControls.templateBox);
                const int index = mControls.templateBox->findText(name, Qt::MatchExactly);
                mControls.templateBox->setCurrentIndex(index >= 0
                                                           ? index
                                                           : mControls.templateBox->count() - 1);
                colourTemplateBox();
            });
    dialog->open();
}

void TemplateControl::Managetemplatelist1Click()
{
    if (!mStore.hasList()) {
        pluvora::reportError(mUser, pluvora::kNoTemplateList);
        return;
    }
    auto* dialog = new TemplateManagerDialog(mStore, mUser, mControls.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &TemplateControl::loadTemplateList);
    dialog->open();
}

void TemplateControl::SaveTheTemplate() { mStore.saveLastSession(current()); }

void TemplateControl::colourTemplateBox()
{
    auto* box = mControls.templateBox;
    QPalette palette = box->palette();
    const QColor colour = box->currentText().isEmpty()
        ? QColor(Qt::yellow)
        : QApplication::palette(box).color(QPalette::Base);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    box->setPalette(palette);
}
