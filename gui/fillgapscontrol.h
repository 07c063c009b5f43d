#pragma once

#include "engine/fill/fillchoice.h"
#include "engine/fill/referenceseries.h"

#include <QObject>

#include <optional>

class FileChooser;
class QWidget;
namespace pluvora {
class AppFolder;
class UserFeedback;
struct RunRequest;
} // namespace pluvora

// The window's gap-fill settings: kept between runs, changed through the
// "Fill gaps" dialog, and put into every run's request.
class FillGapsControl : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTemplateNotFound =
        "The data template \"%1\" named for the reference is not in the template list.";
    // Offered beside the stop messages of gaps a fill could close.
    static constexpr const char* kFillOffer = "Gaps can be filled instead: Control > Fill gaps...";

    FillGapsControl(QWidget* window, const pluvora::AppFolder& folder, FileChooser& files,
                    pluvora::UserFeedback& feedback, QObject* parent = nullptr);

    const pluvora::FillChoice& choice() const { return mChoice; }
    void setChoice(const pluvora::FillChoice& choice);

    // Sets the fill of `request`, reading the reference afresh: the file
    // may have changed since the last run. False, with the error shown,
    // when the reference or the limits cannot be read.
    bool prepare(pluvora::RunRequest& request);

signals:
    void choiceChanged(const pluvora::FillChoice& choice);

public slots:
    // "Fill gaps...": the dialog, with the settings kept.
    void FillGaps1Click();

private:
    pluvora::ReferenceSeries readReference() const;

    QWidget* mWindow;
    const pluvora::AppFolder& mFolder;
    FileChooser& mFiles;
    pluvora::UserFeedback& mUser;
    pluvora::FillChoice mChoice;
    // Lives as long as the run that points at it.
    std::optional<pluvora::ReferenceSeries> mReference;
};
