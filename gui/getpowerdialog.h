#pragma once

#include "batch/powerrequest.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

// "Get daily data for a site": asks which NASA POWER series to fetch and
// hands the request on through `requestAccepted`. It frees itself when
// closed; show it with open().
class GetPowerDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Get daily data for a site";
    static constexpr const char* kLatitudeCaption = "Latitude (north positive)";
    static constexpr const char* kLongitudeCaption = "Longitude (east positive)";
    static constexpr const char* kFromCaption = "From";
    static constexpr const char* kToCaption = "To";
    static constexpr const char* kParametersCaption = "Parameters";
    static constexpr const char* kTimeCaption = "Days in";
    static constexpr const char* kLocalSolarTime = "Local solar time";
    static constexpr const char* kUtc = "UTC";
    static constexpr const char* kUrlCaption = "Service address";
    static constexpr const char* kBadLatitude = "Latitude must be a number from -90 to 90.";
    static constexpr const char* kBadLongitude = "Longitude must be a number from -180 to 180.";
    static constexpr const char* kBadDates = "The last day comes before the first.";
    static constexpr const char* kBadParameters = "Give at least one parameter name.";
    static constexpr const char* kBadUrl = "The service address must begin with http:// or https://.";

    explicit GetPowerDialog(QWidget* parent = nullptr);

    // The request the boxes describe; accept() checks them first.
    pluvora::PowerRequest request() const;

signals:
    void requestAccepted(const pluvora::PowerRequest& request);

public slots:
    // "OK": checks the boxes and hands the request on; a fault stays in the dialog.
    void accept() override;

private:
    // The first fault of the boxes, or empty.
    QString fault() const;

    QLineEdit* mLatitude = nullptr;
    QLineEdit* mLongitude = nullptr;
    QDateEdit* mFrom = nullptr;
    QDateEdit* mTo = nullptr;
    QLineEdit* mParameters = nullptr;
    QComboBox* mTimeStandard = nullptr;
    QLineEdit* mUrl = nullptr;
    QLabel* mFault = nullptr;
};
