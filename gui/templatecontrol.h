#pragma once

#include "engine/templates/datatemplate.h"
#include "engine/templates/templatestore.h"

#include <QObject>

class ColumnPanel;
class FillGapsControl;
class MissingValueBox;
class QComboBox;
class QLineEdit;
class QWidget;
namespace pluvora {
class AppFolder;
class UserFeedback;
} // namespace pluvora

// The "Data template" box and the template commands: applying a stored
// layout to the column panel, saving and managing templates, and the
// layout kept from the last session.
class TemplateControl : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* window;
        QComboBox* templateBox;   // ComboBox2
        ColumnPanel* columns;
        MissingValueBox* missingValues = nullptr; // its missing texts go with the layout
        FillGapsControl* fill = nullptr;          // the fill settings go with it too
    };

    TemplateControl(const Controls& controls, const pluvora::AppFolder& folder,
                    pluvora::UserFeedback& feedback, QObject* parent = nullptr);

    // The layout the panel shows now, with the fill settings; an empty
    // rows box counts as 0.
    pluvora::DataTemplate current() const;
    void apply(const pluvora::DataTemplate& spec);

public slots:
    // Fills the box from "TemplateList.pvd", with nothing selected.
    void loadTemplateList();
    // Applies the template the box shows.
    void applySelected();
    // The box's list has closed, with or without a choice.
    void listClosed();
    // Applies the layout kept from the last session.
    void applyLastSession();
    // "Save current data template...": asks a name and stores the layout.
    void Savedatatemplate1Click();
    // "Manage template list...": renames and deletes templates.
    void Managetemplatelist1Click();
    // Keeps the current layout as the last session's.
    void SaveTheTemplate();
    // Yellow while the box shows no name.
    void colourTemplateBox();

private:
    void showNames(const QStringList& names);

    Controls mControls;
    pluvora::TemplateStore mStore;
    pluvora::UserFeedback& mUser;
    bool mCloseUpPending = false;
};
