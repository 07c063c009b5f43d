#pragma once

#include <QGroupBox>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
namespace pluvora {
class UserFeedback;
struct RunRequest;
}

// "Missing value substitution": whether sign values are replaced before a
// run, the sign (an integer) and the text put in its place.
class MissingValueBox : public QGroupBox {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Missing value substitution";
    static constexpr const char* kEnabledCaption = "Enabled";
    static constexpr const char* kSignCaption = "Sign of missing values";
    static constexpr const char* kSubstitutionCaption = "Substitution";
    static constexpr const char* kDefaultSign = "-99";
    static constexpr const char* kDefaultSubstitute = "0.01";
    static constexpr const char* kMissingTextsCaption = "Missing texts";
    static constexpr const char* kMissingTextsHint =
        "Fields holding exactly one of these comma-separated texts are missing values, e.g. NA,M,null,-99.9";
    static constexpr const char* kIntegerOnly =
        "Only an integer type value is allowed! Correct the setting.";

    MissingValueBox(pluvora::UserFeedback& ui, QWidget* parent = nullptr);

    bool substitutionEnabled() const;
    QString signText() const;
    QString substituteText() const;

    // Restoring from the settings file.
    void setSubstitutionEnabled(bool enabled);
    void setSignText(const QString& text);
    void setSubstituteText(const QString& text);

    // The texts a service writes for a missing value; kept with the layout
    // (templates, the last session), so they are set from it and read into it.
    std::vector<std::string> missingTexts() const;
    void setMissingTexts(const std::vector<std::string>& texts);

    void fillRequest(pluvora::RunRequest& request) const;

public slots:
    // "Enabled": turns the sign and substitute boxes on or off.
    void CheckBox2Click();
    // The sign box lost focus: anything but an integer is refused with a sound.
    void testInputTypeOne();
    // The substitute box lost focus: any text is taken as it is.
    void testInputTypeTwo();

private:
    pluvora::UserFeedback& mUi;
    QCheckBox* mEnabled = nullptr;   // CheckBox2
    QLabel* mSignLabel = nullptr;    // Label59
    QLineEdit* mSign = nullptr;      // adpEdit2
    QLabel* mSubstituteLabel = nullptr; // Label60
    QLineEdit* mSubstitute = nullptr;   // adpEdit3
    QLineEdit* mMissingTexts = nullptr;
};
