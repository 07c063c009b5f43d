#pragma once

#include "engine/site/sitememory.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace pluvora { class UserFeedback; }

// "Site coordinate": asks for latitude, longitude and elevation and hands
// the coordinate row of a weather file to the window. It frees itself when
// closed and keeps its parent window disabled while it is open; show it with
// open() or show().
class SiteCoordinateDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Site coordinate";
    static constexpr const char* kPrompt =
        "Enter site's latitude and longitude (in decimal degree), and elevation (in meter)";
    static constexpr const char* kNote = "The info is normally given in the beginning of the input data.";
    static constexpr const char* kLatitudeCaption = "Latitude";
    static constexpr const char* kLongitudeCaption = "Longitude";
    static constexpr const char* kElevationCaption = "Elevation, m";
    static constexpr const char* kOkCaption = "OK";
    static constexpr const char* kCancelCaption = "Cancel";
    static constexpr const char* kLongitudeSigns = "West is positive, east negative";
    static constexpr const char* kLongitudeSignsHint =
        "The crop model counts longitude positive to the west. A header's -73.13 (west of "
        "Greenwich) is 73.13 W; its 147.46 (east) is 147.46 E.";
    static constexpr const char* kLatitudeNotANumber = "Latitude is not a number.";
    static constexpr const char* kLongitudeNotANumber = "Longitude is not a number.";
    static constexpr const char* kElevationNotANumber = "Elevation is not a number.";
    static constexpr const char* kLatitudeTooFar = "Latitude is beyond 66 degrees.";

    SiteCoordinateDialog(pluvora::UserFeedback& ui, QWidget* parent = nullptr);
    ~SiteCoordinateDialog() override;

    // Fills the boxes, e.g. with the site found in the input's header.
    void setSite(const pluvora::SiteTyped& site);
    pluvora::SiteTyped site() const;

signals:
    // The checked row, e.g. "40.5 -96.25 350  Lat (deg), long (deg), elev(m)";
    // the window inserts it as the second line of the output.
    void coordinateAccepted(const QString& line);

public slots:
    // "OK": checks the three values and hands on the coordinate row.
    void BitBtn1Click();
    // "Cancel": closes, inserting nothing.
    void BitBtn2Click();
    // Enter in a box: as "OK".
    void Edit1KeyDown();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void releaseParent();

    pluvora::UserFeedback& mUi;
    QLineEdit* mLatitude = nullptr;       // Edit1
    QComboBox* mHemisphere = nullptr;     // ComboBox1
    QLineEdit* mLongitude = nullptr;      // Edit2
    QComboBox* mLongitudeSide = nullptr;  // ComboBox2
    QLineEdit* mElevation = nullptr;      // Edit3
    QLabel* mProblem = nullptr;           // which box was refused
    bool mParentDisabled = false;
};
