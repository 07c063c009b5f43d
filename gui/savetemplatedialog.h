#pragma once

#include "engine/templates/datatemplate.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;
namespace pluvora {
class TemplateStore;
class UserFeedback;
} // namespace pluvora

// "Save template" (TForm2): stores the current layout under a name,
// asking before it replaces one of the same name.
class SaveTemplateDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Save template";
    static constexpr const char* kSaveAs = "Save as:";
    static constexpr const char* kSave = "Save";
    static constexpr const char* kCancel = "Cancel";

    SaveTemplateDialog(const pluvora::TemplateStore& store, pluvora::UserFeedback& feedback,
                       const QStringList& names, const pluvora::DataTemplate& spec,
                       QWidget* parent = nullptr);

signals:
    // The list after the save, and the name saved under.
    void saved(const QStringList& names, const QString& name);

public slots:
    // "Save": stores the layout under the typed name.
    void bitBtn1Click();

private:
    const pluvora::TemplateStore& mStore;
    pluvora::UserFeedback& mFeedback;
    pluvora::DataTemplate mSpec;
    QLineEdit* mName;
    QListWidget* mNames;
};
