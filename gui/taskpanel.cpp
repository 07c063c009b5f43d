#include "gui/taskpanel.h"

#include "gui/latitudesharing.h"

#include "gui/controls.h"

#include "engine/modelfiles/modelfilesave.h"
#include "engine/run/processingrun.h"
#include "engine/stage/taskcatalogue.h"
#include "gui/utf8text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

#include <functional>

namespace {

constexpr int kPageWidth = 528;
constexpr int kPageHeight = 170;

QLabel* label(const char* caption, QWidget* parent, int x, int y, int width = 240, int height = 18)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setGeometry(x, y, width, height);
    if (height > 18)
        l->setWordWrap(true);
    return l;
}

QLabel* namedLabel(const char* name, const char* caption, QWidget* parent, int x, int y,
                   int width = 240, int height = 18)
{
    auto* l = label(caption, parent, x, y, width, height);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QGroupBox* group(const char* title, QWidget* parent, const QRect& geometry)
{
    auto* g = new QGroupBox(QString::fromLatin1(title), parent);
    g->setGeometry(geometry);
    return g;
}

QRadioButton* radio(const char* name, const char* caption, QWidget* parent, int x, int y,
                    int width = 220)
{
    auto* r = new QRadioButton(QString::fromLatin1(caption), parent);
    r->setObjectName(QString::fromLatin1(name));
    r->setGeometry(x, y, width, 22);
    return r;
}

QLineEdit* edit(const char* name, QWidget* parent, const QRect& geometry)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(geometry);
    return e;
}

int checkedIndex(const auto& buttons)
{
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return static_cast<int>(i);
    return static_cast<int>(buttons.size()) - 1;
}

std::string utf8(const QLineEdit* box) { return toUtf8(box->text()); }

// Where each task's page sits in the stack, in task-list order: the pages are
// added in the order of their names (TabSheet1 to TabSheet7), not of the tasks.
constexpr std::array<int, pluvora::kTaskCount> kTaskPage{0, 6, 1, 2, 5, 3, 4};

} // namespace

TaskPanel::TaskPanel(QWidget* parent)
    : QGroupBox(QString::fromLatin1(kTitle), parent)
{
    setObjectName("GroupBox3");

    auto* tasks = new ClosingComboBox(this);
    tasks->setObjectName("ComboBox1");
    for (const auto& task : pluvora::kTasks)
        tasks->addItem(QString::fromUtf8(task.item.data(), static_cast<qsizetype>(task.item.size())));
    tasks->setGeometry(10, 22, 520, 24);
    mTasks = tasks;

    mRearrange = new QCheckBox(QString::fromLatin1(kRearrangeCaption), this);
    mRearrange->setObjectName("CheckBox1");
    mRearrange->setGeometry(10, 50, 320, 20);

    mPages = new QStackedWidget(this);
    mPages->setObjectName("PageControl1");
    mPages->setGeometry(6, 74, kPageWidth, kPageHeight);

    // Pages in task-list order of their names, not of the tasks.
    QWidget* modelPage = addPage("TabSheet1");
    buildModelPage(modelPage);
    label(kFormatCaption, modelPage, 300, 4, 220);
    mFormat = new QComboBox(modelPage);
    mFormat->setObjectName("WeatherFileFormat");
    mFormat->setGeometry(300, 24, 220, 24);
    for (const auto item : pluvora::kWeatherFileFormatItems)
        mFormat->addItem(QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size())));
    buildCheckupPage(addPage("TabSheet2"));
    buildTemperaturePage(addPage("TabSheet3"));
    buildPanPage(addPage("TabSheet4"));
    buildPenmanPage(addPage("TabSheet5"));
    buildSunshinePage(addPage("TabSheet6"));
    buildModelPage(addPage("TabSheet7"));
    new LatitudeSharing({mLatitude4, mLatitude5, mLatitude7}, this);

    mTasks->setCurrentIndex(0);
    ComboBox1CloseUp();
    connect(mTasks, &QComboBox::currentIndexChanged, this, &TaskPanel::ComboBox1CloseUp);
    tasks->onCloseUp = [this] { ComboBox1CloseUp(); };

    resize(540, 74 + kPageHeight + 6);
}

QWidget* TaskPanel::addPage(const char* name)
{
    auto* page = new QWidget(mPages);
    page->setObjectName(QString::fromLatin1(name));
    mPages->addWidget(page);
    return page;
}

void TaskPanel::buildModelPage(QWidget* page)
{
    label(kModelNeeds, page, 8, 4, 400);
    int top = 24;
    for (const char* variable : kModelVariables) {
        label(variable, page, 24, top, 400);
        top += 18;
    }
}

void TaskPanel::buildCheckupPage(QWidget* page)
{
    label(kCheckupTitle, page, 8, 8, 510, 36);
    label(kCheckupNote, page, 8, 50, 510, 36);
}

// Tasks 4 and 5 share a page shape: what the method needs, the latitude
// box, and one choice out of three.
QLineEdit* TaskPanel::buildLatitudeChoicePage(QWidget* page, const char* needs,
                                              const char* latitudeName, const char* choiceTitle,
                                              const std::array<const char*, 3>& choiceNames,
                                              const std::array<const char*, 3>& choiceTexts,
                                              std::array<QRadioButton*, 3>& choices)
{
    label(kMethodRequires, page, 8, 4);
    label(needs, page, 20, 22);
    auto* latitudeGroup = group(kLatitudeGroup, page, {8, 46, 250, 118});
    QLineEdit* latitude = edit(latitudeName, latitudeGroup, {10, 22, 100, 24});
    latitude->setToolTip(QString::fromLatin1(kSouthernHemisphere));
    label(kDecimalDegrees, latitudeGroup, 116, 25, 120);
    label(kSouthernHemisphere, latitudeGroup, 10, 54, 230, 36);

    auto* choiceGroup = group(choiceTitle, page, {266, 4, 254, 160});
    for (std::size_t i = 0; i < choices.size(); ++i)
        choices[i] = radio(choiceNames[i], choiceTexts[i], choiceGroup, 10, 24 + 28 * static_cast<int>(i));
    choices[0]->setChecked(true);
    return latitude;
}

void TaskPanel::buildTemperaturePage(QWidget* page)
{
    mLatitude4 = buildLatitudeChoicePage(page, kTemperatureNeeds, "Edit3", kRegionGroup,
                                         {"RadioButton8", "RadioButton9", "RadioButton10"},
                                         kRegions, mRegions);
}

void TaskPanel::buildSunshinePage(QWidget* page)
{
    mLatitude5 = buildLatitudeChoicePage(page, kSunshineNeeds, "Edit6", kClimateZoneGroup,
                                         {"RadioButton15", "RadioButton16", "RadioButton17"},
                                         kClimateZones, mZones);
}

void TaskPanel::buildPanPage(QWidget* page)
{
    namedLabel("Label10", kPanNeeds, page, 8, 4, 200, 36);
    namedLabel("Label3", kPanVariables[0], page, 20, 42, 190);
    namedLabel("Label40", kPanVariables[1], page, 20, 60, 190);
    namedLabel("Label42", kPanVariables[2], page, 20, 78, 190);

    // One parent for all five choices makes them one exclusive group.
    auto* pan = group(kPanGroup, page, {216, 0, 306, 166});
    pan->setObjectName("GroupBox2");
    namedLabel("Label15", kClassAPan, pan, 10, 20);
    mPans[0] = radio("RadioButton3", kGreenFetch, pan, 20, 38, 120);
    mPans[1] = radio("RadioButton4", kDryFetch, pan, 150, 38, 120);
    namedLabel("Label39", kColoradoPan, pan, 10, 62);
    mPans[2] = radio("RadioButton5", kGreenFetch, pan, 20, 80, 120);
    mPans[3] = radio("RadioButton6", kDryFetch, pan, 150, 80, 120);
    mPans[4] = radio("RadioButton7", kPanUnknown, pan, 10, 104, 290);
    mPans[0]->setChecked(true);

    namedLabel("Label12", kFetchCaption, pan, 10, 134, 66);
    mFetch = edit("Edit2", pan, {80, 130, 70, 24});
    mFetch->setText(QString::fromLatin1(kDefaultFetch));

    auto* help = new QPushButton(QString::fromLatin1(kHelpCaption), pan);
    help->setObjectName("BitBtn2");
    help->setGeometry(220, 128, 74, 26);
    connect(help, &QPushButton::clicked, this, &TaskPanel::BitBtn2Click);

    // toggled rather than clicked, so that a choice set from code also
    // switches the fetch box.
    using Handler = void (TaskPanel::*)();
    const Handler handlers[] = {&TaskPanel::RadioButton3Click, &TaskPanel::RadioButton4Click,
                                &TaskPanel::RadioButton5Click, &TaskPanel::RadioButton6Click,
                                &TaskPanel::RadioButton7Click};
    for (std::size_t i = 0; i < mPans.size(); ++i) {
        connect(mPans[i], &QRadioButton::toggled, this, [this, handler = handlers[i]](bool on) {
            if (on)
                (this->*handler)();
        });
    }
}

void TaskPanel::buildPenmanPage(QWidget* page)
{
    namedLabel("Label17", kPenmanNeeds, page, 8, 4, 510);
    const char* names[] = {"Label44", "Label45", "Label46", "Label47"};
    for (std::size_t i = 0; i < kPenmanVariables.size(); ++i)
        namedLabel(names[i], kPenmanVariables[i], page, 24, 22 + 16 * static_cast<int>(i), 300);

    auto* location = group(kLocationGroup, page, {8, 88, 512, 80});
    location->setObjectName("GroupBox7");
    namedLabel("Label49", kLatitudeDegree, location, 10, 21, 156);
    mLatitude7 = edit("Edit4", location, {168, 18, 80, 22});
    mLatitude7->setToolTip(QString::fromLatin1(kSouthernHemisphere));
    namedLabel("Label38", kSouthernHemisphere, location, 258, 18, 246, 36);
    namedLabel("Label48", kElevationMeter, location, 10, 45, 156);
    mElevation7 = edit("Edit5", location, {168, 42, 80, 22});
}

int TaskPanel::taskIndex() const { return mTasks->currentIndex(); }

void TaskPanel::setTaskIndex(int index)
{
    mTasks->setCurrentIndex(index >= 0 && index < mTasks->count() ? index : -1);
}

void TaskPanel::fillRequest(pluvora::RunRequest& request) const
{
    request.taskIndex = taskIndex();
    request.rearrange = mRearrange->isEnabled() && mRearrange->isChecked();
    auto& pages = request.pages;
    pages.latitudeTask4 = utf8(mLatitude4);
    pages.regionTask4 = checkedIndex(mRegions);
    pages.latitudeTask5 = utf8(mLatitude5);
    pages.climateZoneTask5 = checkedIndex(mZones);
    pages.panChoiceTask6 = checkedIndex(mPans);
    pages.fetchTask6 = utf8(mFetch);
    pages.latitudeTask7 = utf8(mLatitude7);
    pages.elevationTask7 = utf8(mElevation7);
}

pluvora::ModelFormat TaskPanel::weatherFileFormat() const
{
    return pluvora::modelFormatAt(mFormat->currentIndex());
}

void TaskPanel::ComboBox1CloseUp()
{
    const int index = mTasks->currentIndex();
    if (index < 0 || index >= pluvora::kTaskCount) {
        mRearrange->setEnabled(false);
        mRearrange->setChecked(false);
        return;
    }
    const auto& task = pluvora::kTasks[static_cast<std::size_t>(index)];
    mPages->setCurrentIndex(kTaskPage[static_cast<std::size_t>(index)]);
    // Re-checked on every choice, even after the user unticked it.
    mRearrange->setEnabled(task.rearrangeOffered);
    mRearrange->setChecked(task.rearrangeOffered);
}

void TaskPanel::RadioButton3Click() { mFetch->setEnabled(true); }
void TaskPanel::RadioButton4Click() { mFetch->setEnabled(true); }
void TaskPanel::RadioButton5Click() { mFetch->setEnabled(true); }
void TaskPanel::RadioButton6Click() { mFetch->setEnabled(true); }
void TaskPanel::RadioButton7Click() { mFetch->setEnabled(false); }

void TaskPanel::BitBtn2Click() { emit helpRequested(kPanHelpContext); }
