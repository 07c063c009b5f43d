#include "gui/sitecoordinatedialog.h"

#include "gui/controls.h"

#include "engine/run/sitecoordinate.h"
#include "engine/ui/userfeedback.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SiteCoordinateDialog::SiteCoordinateDialog(pluvora::UserFeedback& ui, QWidget* parent)
    : QDialog(parent)
    , mUi(ui)
{
    setObjectName("TForm11");
    setWindowTitle(QString::fromLatin1(kTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(540, 200);
    setFont(layoutFont());

    auto* prompt = new QLabel(QString::fromLatin1(kPrompt), this);
    prompt->setGeometry(12, 10, 520, 18);
    auto* note = new QLabel(QString::fromLatin1(kNote), this);
    note->setGeometry(12, 30, 520, 18);

    auto addRow = [this](const char* caption, const char* editName, int top) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setGeometry(12, top + 3, 100, 18);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setGeometry(116, top, 120, 24);
        connect(edit, &QLineEdit::returnPressed, this, &SiteCoordinateDialog::Edit1KeyDown);
        return edit;
    };
    mLatitude = addRow(kLatitudeCaption, "Edit1", 60);
    mLongitude = addRow(kLongitudeCaption, "Edit2", 90);
    mElevation = addRow(kElevationCaption, "Edit3", 120);

    mHemisphere = new QComboBox(this);
    mHemisphere->setObjectName("ComboBox1");
    mHemisphere->addItems({"N", "S"});
    mHemisphere->setCurrentIndex(0);
    mHemisphere->setGeometry(244, 60, 50, 24);

    mLongitudeSide = new QComboBox(this);
    mLongitudeSide->setObjectName("ComboBox2");
    mLongitudeSide->addItems({"W", "E"});
    mLongitudeSide->setCurrentIndex(0);
    mLongitudeSide->setGeometry(244, 90, 50, 24);
    mLongitudeSide->setToolTip(QString::fromLatin1(kLongitudeSignsHint));
    auto* signs = new QLabel(QString::fromLatin1(kLongitudeSigns), this);
    signs->setObjectName("LongitudeSigns");
    signs->setWordWrap(true);
    signs->setToolTip(QString::fromLatin1(kLongitudeSignsHint));
    signs->setGeometry(302, 86, 230, 64);
    signs->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    mProblem = new QLabel(this);
    mProblem->setObjectName("SiteFieldProblem");
    mProblem->setWordWrap(true);
    mProblem->setGeometry(12, 152, 330, 44);
    QPalette warning = mProblem->palette();
    warning.setColor(QPalette::WindowText, Qt::darkRed);
    mProblem->setPalette(warning);

    // Enter is handled by the edits; a default button would press OK twice.
    auto* ok = new QPushButton(QString::fromLatin1(kOkCaption), this);
    ok->setObjectName("BitBtn1");
    ok->setAutoDefault(false);
    ok->setGeometry(350, 160, 80, 28);
    connect(ok, &QPushButton::clicked, this, &SiteCoordinateDialog::BitBtn1Click);

    auto* cancel = new QPushButton(QString::fromLatin1(kCancelCaption), this);
    cancel->setObjectName("BitBtn2");
    cancel->setAutoDefault(false);
    cancel->setGeometry(440, 160, 80, 28);
    connect(cancel, &QPushButton::clicked, this, &SiteCoordinateDialog::BitBtn2Click);
}

SiteCoordinateDialog::~SiteCoordinateDialog() { releaseParent(); }

void SiteCoordinateDialog::BitBtn1Click()
{
    const auto result = pluvora::siteCoordinateLine(
        mLatitude->text().toStdString(),
        mHemisphere->currentIndex() == 1 ? pluvora::Hemisphere::South : pluvora::Hemisphere::North,
        mLongitude->text().toStdString(),
        mLongitudeSide->currentIndex() == 1 ? pluvora::LongitudeSide::East
                                            : pluvora::LongitudeSide::West,
        mElevation->text().toStdString());
    if (const auto* error = std::get_if<pluvora::SiteCoordinateError>(&result)) {
        QLineEdit* box = nullptr;
        const char* problem = "";
        switch (error->field) {
        case pluvora::SiteField::Latitude:
            box = mLatitude;
            problem = error->message == pluvora::kLatitudeTooLarge ? kLatitudeTooFar : kLatitudeNotANumber;
            break;
        case pluvora::SiteField::Longitude: box = mLongitude; problem = kLongitudeNotANumber; break;
        case pluvora::SiteField::Elevation: box = mElevation; problem = kElevationNotANumber; break;
        case pluvora::SiteField::None: break;
        }
        mProblem->setText(QString::fromLatin1(problem));
        pluvora::reportError(mUi, error->message);
        if (box) {
            box->setFocus();
            box->selectAll();
        }
        return;
    }
    emit coordinateAccepted(QString::fromStdString(std::get<std::string>(result)));
    close();
}

void SiteCoordinateDialog::BitBtn2Click() { close(); }

void SiteCoordinateDialog::setSite(const pluvora::SiteTyped& site)
{
    mLatitude->setText(QString::fromStdString(site.latitude));
    mHemisphere->setCurrentIndex(site.south ? 1 : 0);
    mLongitude->setText(QString::fromStdString(site.longitude));
    mLongitudeSide->setCurrentIndex(site.east ? 1 : 0);
    mElevation->setText(QString::fromStdString(site.elevation));
}

pluvora::SiteTyped SiteCoordinateDialog::site() const
{
    return {mLatitude->text().toStdString(), mHemisphere->currentIndex() == 1,
            mLongitude->text().toStdString(), mLongitudeSide->currentIndex() == 1,
            mElevation->text().toStdString()};
}

void SiteCoordinateDialog::Edit1KeyDown() { BitBtn1Click(); }

void SiteCoordinateDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    auto* owner = parentWidget();
    if (owner && !mParentDisabled && owner->isEnabled()) {
        owner->setEnabled(false);
        mParentDisabled = true;
        // Disabling the parent disables its child windows too; this one
        // must stay usable.
        setEnabled(true);
    }
}

void SiteCoordinateDialog::closeEvent(QCloseEvent* event)
{
    releaseParent();
    QDialog::closeEvent(event);
}

void SiteCoordinateDialog::done(int result)
{
    // Escape ends here without a close event reaching closeEvent.
    releaseParent();
    QDialog::done(result);
}

void SiteCoordinateDialog::releaseParent()
{
    if (!mParentDisabled)
        return;
    mParentDisabled = false;
    if (auto* owner = parentWidget())
        owner->setEnabled(true);
}
