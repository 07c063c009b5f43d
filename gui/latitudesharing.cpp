#include "gui/latitudesharing.h"

#include <QLineEdit>

LatitudeSharing::LatitudeSharing(std::initializer_list<QLineEdit*> boxes, QObject* parent)
    : QObject(parent)
    , mBoxes(boxes)
{
    for (QLineEdit* box : mBoxes)
        connect(box, &QLineEdit::editingFinished, this, [this, box] { offer(box); });
}

void LatitudeSharing::offer(QLineEdit* typedIn)
{
    const QString latitude = typedIn->text().trimmed();
    if (latitude.isEmpty())
        return;
    for (QLineEdit* box : mBoxes)
        if (box != typedIn && box->text().isEmpty())
            box->setText(latitude);
}
