#include "sitecoordinatedialog.h"

#include "controls.h"

#include "run/sitecoordinate.h"
#include "ui/userfeedback.h"

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
        pluvora::reportError(mUi, error->message);
        return;
    }
    emit coordinateAccepted(QString::fromStdString(std::get<std::string>(result)));
    close();
}

void SiteCoordinateDialog::BitBtn2Click() { close(); }

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
