#pragma once

#include <QDialog>

class QComboBox;
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

    SiteCoordinateDialog(pluvora::UserFeedback& ui, QWidget* parent = nullptr);
    ~SiteCoordinateDialog() override;

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
    bool mParentDisabled = false;
};
