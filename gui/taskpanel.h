#pragma once

#include "engine/modelfiles/modelformat.h"

#include <QGroupBox>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
namespace pluvora { struct RunRequest; }

// "Step 3: Select task": the task list, the rearrange check box and one page
// of settings per task; only the list decides which page is seen.
class TaskPanel : public QGroupBox {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Step 3: Select task";
    static constexpr const char* kRearrangeCaption = "Convert and rearrange for Maravel use";

    static constexpr const char* kModelNeeds = "Maravel requires daily weather data of:";
    static constexpr const char* kFormatCaption = "Weather file format";
    static constexpr std::array<const char*, 6> kModelVariables{
        "Solar radiation",
        "Maximum temperature (T-max)",
        "Minimum temperature (T-min)",
        "Relative humidity of the air",
        "Precipitation",
        "Reference evaportranspiration (ET)",
    };
    static constexpr const char* kCheckupTitle = "Check for erroneous data entries, including missing data";
    static constexpr const char* kCheckupNote =
        "When needed, the input data in the input data panel can be edited directly.";

    static constexpr const char* kMethodRequires = "This method requires:";
    static constexpr const char* kLatitudeGroup = "Latitude";
    static constexpr const char* kDecimalDegrees = "decimal degrees";
    static constexpr const char* kSouthernHemisphere = "Use a negative value for southern hemisphere";

    static constexpr const char* kTemperatureNeeds = "Daily T-max and T-min";
    static constexpr const char* kRegionGroup = "Region";
    static constexpr std::array<const char*, 3> kRegions{
        "Mid-West of USA", "General continental regions", "General coastal regions"};

    static constexpr const char* kSunshineNeeds = "Sunshine hours or sunshine percentage";
    static constexpr const char* kClimateZoneGroup = "Climate zone";
    static constexpr std::array<const char*, 3> kClimateZones{
        "Cold / temperate regions", "Dry tropical regions", "Humid tropical regions"};

    static constexpr const char* kPanNeeds = "ET estimation using this method requires:";
    static constexpr std::array<const char*, 3> kPanVariables{
        "Pan evaporation", "Wind speed", "Relative humidity of the air"};
    static constexpr const char* kPanGroup = "Type of pan and length of fetch";
    static constexpr const char* kClassAPan = "Class-A pan with";
    static constexpr const char* kColoradoPan = "Colorado sunken pan with";
    static constexpr const char* kGreenFetch = "green fetch";
    static constexpr const char* kDryFetch = "dry fetch";
    static constexpr const char* kPanUnknown = "Pan type and site conditions unknown";
    static constexpr const char* kFetchCaption = "Fetch (m)";
    static constexpr const char* kDefaultFetch = "1000";
    static constexpr const char* kHelpCaption = "Help";
    static constexpr int kPanHelpContext = 3210;

    static constexpr const char* kPenmanNeeds =
        "Estimation of reference ET by FAO Penman-Monteith method requires:";
    static constexpr std::array<const char*, 4> kPenmanVariables{
        "Solar radiation", "Maximum and minimum temperature", "Relative humidity of the air",
        "Wind speed"};
    static constexpr const char* kLocationGroup = "Location";
    static constexpr const char* kLatitudeDegree = "Latitude, decimal degree";
    static constexpr const char* kElevationMeter = "Elevation, meter";

    explicit TaskPanel(QWidget* parent = nullptr);

    // -1 for none; selecting shows the task's page as a user's choice would.
    int taskIndex() const;
    void setTaskIndex(int index);

    void fillRequest(pluvora::RunRequest& request) const;
    // Task 1's "Weather file format": the present file or a crop model's own.
    pluvora::ModelFormat weatherFileFormat() const;

signals:
    // The help button of the pan page: open the help file at `context`.
    void helpRequested(int context);

public slots:
    // A task was chosen: shows its page and offers rearranging where it applies.
    void ComboBox1CloseUp();
    // A pan choice with a fetch (this and the next three): the fetch box is on.
    void RadioButton3Click();
    // A pan choice with a fetch: the fetch box is on.
    void RadioButton4Click();
    // A pan choice with a fetch: the fetch box is on.
    void RadioButton5Click();
    // A pan choice with a fetch: the fetch box is on.
    void RadioButton6Click();
    // "Pan type and site conditions unknown": the fetch box is off.
    void RadioButton7Click();
    // "Help" on the pan page: asks for its help page.
    void BitBtn2Click();

private:
    QWidget* addPage(const char* name);
    void buildModelPage(QWidget* page);
    void buildCheckupPage(QWidget* page);
    QLineEdit* buildLatitudeChoicePage(QWidget* page, const char* needs, const char* latitudeName,
                                       const char* choiceTitle,
                                       const std::array<const char*, 3>& choiceNames,
                                       const std::array<const char*, 3>& choiceTexts,
                                       std::array<QRadioButton*, 3>& choices);
    void buildTemperaturePage(QWidget* page);
    void buildSunshinePage(QWidget* page);
    void buildPanPage(QWidget* page);
    void buildPenmanPage(QWidget* page);

    QComboBox* mTasks = nullptr;         // ComboBox1
    QComboBox* mFormat = nullptr;        // WeatherFileFormat
    QCheckBox* mRearrange = nullptr;     // CheckBox1
    QStackedWidget* mPages = nullptr;    // PageControl1
    QLineEdit* mLatitude4 = nullptr;     // Edit3
    std::array<QRadioButton*, 3> mRegions{};      // RadioButton8..10
    QLineEdit* mLatitude5 = nullptr;     // Edit6
    std::array<QRadioButton*, 3> mZones{};        // RadioButton15..17
    std::array<QRadioButton*, 5> mPans{};         // RadioButton3..7
    QLineEdit* mFetch = nullptr;         // Edit2
    QLineEdit* mLatitude7 = nullptr;     // Edit4
    QLineEdit* mElevation7 = nullptr;    // Edit5
};
