#pragma once

#include "engine/fill/fillchoice.h"

#include <QDialog>

class FileChooser;
class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
namespace pluvora { class UserFeedback; }

// "Fill gaps": whether short gaps are interpolated and up to how long, the
// reference that longer gaps and rain are taken from, its layout, and the
// least R² a month's correction needs.
class FillGapsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Fill gaps";
    static constexpr const char* kInterpolateCaption = "Interpolate short gaps";
    static constexpr const char* kLimitsCaption = "Longest gaps (days)";
    static constexpr const char* kLimitsPlaceholder = "T-max=3,T-min=3,RelHum=2,WndSpd=2,Solar=2";
    static constexpr const char* kReferenceCaption = "Reference file";
    static constexpr const char* kBrowseCaption = "Browse...";
    static constexpr const char* kReferenceTitle = " Select reference file";
    static constexpr const char* kReferenceFilter = "All files (*)";
    static constexpr const char* kLayoutCaption = "Reference template";
    static constexpr const char* kLayoutPlaceholder = "suggested from the file";
    static constexpr const char* kLeastR2Caption = "Least R\u00b2";
    static constexpr const char* kInterpolateHint =
        "A straight line across a gap up to the longest length per variable; rain is never interpolated.";
    static constexpr const char* kReferenceHint =
        "Missing days, rain included, are taken from this file, corrected per month.";
    static constexpr const char* kLayoutHint =
        "The name of a data template that reads the reference; empty: the layout suggested from it.";

    FillGapsDialog(const pluvora::FillChoice& choice, FileChooser& files, pluvora::UserFeedback& feedback,
                   QWidget* parent = nullptr);

    pluvora::FillChoice choice() const;

signals:
    // OK with settings that read.
    void chosen(const pluvora::FillChoice& choice);

public slots:
    // OK: checks the limits, then hands the settings on.
    void okClick();
    // "Browse...": picks the reference file.
    void browseClick();

private:
    FileChooser& mFiles;
    pluvora::UserFeedback& mFeedback;
    QCheckBox* mInterpolate;
    QLineEdit* mLimits;
    QLineEdit* mReference;
    QLineEdit* mLayout;
    QDoubleSpinBox* mLeastR2;
};
