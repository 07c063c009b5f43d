#include "gui/getpowerdialog.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text = {})
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QDateEdit* dateEdit(QWidget* parent, const char* name, const QDate& date)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat("yyyy-MM-dd");
    edit->setCalendarPopup(true);
    // The service's series begin in 1981.
    edit->setMinimumDate(QDate(1981, 1, 1));
    return edit;
}

bool inRange(const QString& text, double limit)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && value >= -limit && value <= limit;
}

} // namespace

GetPowerDialog::GetPowerDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("GetPowerDialog");
    setWindowTitle(QString::fromLatin1(kTitle));
    setAttribute(Qt::WA_DeleteOnClose);

    // A whole past year: the service has no data for the last few days.
    const int lastYear = QDate::currentDate().year() - 1;
    mLatitude = lineEdit(this, "PowerLatitudeEdit");
    mLongitude = lineEdit(this, "PowerLongitudeEdit");
    mFrom = dateEdit(this, "PowerFromDate", QDate(lastYear, 1, 1));
    mTo = dateEdit(this, "PowerToDate", QDate(lastYear, 12, 31));
    mParameters = lineEdit(this, "PowerParametersEdit", QString::fromLatin1(pluvora::kPowerDefaultParameters));
    mTimeStandard = new QComboBox(this);
    mTimeStandard->setObjectName("PowerTimeStandardBox");
    mTimeStandard->addItems({QString::fromLatin1(kLocalSolarTime), QString::fromLatin1(kUtc)});
    mUrl = lineEdit(this, "PowerUrlEdit", QString::fromLatin1(pluvora::kPowerDefaultUrl));
    mFault = new QLabel(this);
    mFault->setObjectName("PowerFaultLabel");
    mFault->setStyleSheet("color: #b00020");
    mFault->hide();

    auto* form = new QFormLayout(this);
    form->addRow(QString::fromLatin1(kLatitudeCaption), mLatitude);
    form->addRow(QString::fromLatin1(kLongitudeCaption), mLongitude);
    form->addRow(QString::fromLatin1(kFromCaption), mFrom);
    form->addRow(QString::fromLatin1(kToCaption), mTo);
    form->addRow(QString::fromLatin1(kParametersCaption), mParameters);
    form->addRow(QString::fromLatin1(kTimeCaption), mTimeStandard);
    form->addRow(QString::fromLatin1(kUrlCaption), mUrl);
    form->addRow(mFault);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("PowerButtons");
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &GetPowerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GetPowerDialog::reject);
}

QString GetPowerDialog::fault() const
{
    if (!inRange(mLatitude->text(), 90))
        return QString::fromLatin1(kBadLatitude);
    if (!inRange(mLongitude->text(), 180))
        return QString::fromLatin1(kBadLongitude);
    if (mTo->date() < mFrom->date())
        return QString::fromLatin1(kBadDates);
    if (mParameters->text().trimmed().isEmpty())
        return QString::fromLatin1(kBadParameters);
    const QString url = mUrl->text().trimmed();
    if (!url.startsWith("http://") && !url.startsWith("https://"))
        return QString::fromLatin1(kBadUrl);
    return {};
}

pluvora::PowerRequest GetPowerDialog::request() const
{
    pluvora::PowerRequest request;
    request.latitude = mLatitude->text().trimmed().toStdString();
    request.longitude = mLongitude->text().trimmed().toStdString();
    request.start = mFrom->date().toString("yyyyMMdd").toStdString();
    request.end = mTo->date().toString("yyyyMMdd").toStdString();
    request.parameters = mParameters->text().remove(' ').toStdString();
    request.timeStandard = mTimeStandard->currentIndex() == 0 ? "LST" : "UTC";
    request.baseUrl = mUrl->text().trimmed().toStdString();
    while (request.baseUrl.ends_with('/'))
        request.baseUrl.pop_back();
    return request;
}

void GetPowerDialog::accept()
{
    const QString why = fault();
    mFault->setText(why);
    mFault->setVisible(!why.isEmpty());
    if (!why.isEmpty())
        return;
    emit requestAccepted(request());
    QDialog::accept();
}
