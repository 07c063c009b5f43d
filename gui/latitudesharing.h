#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QLineEdit;

// The latitude boxes of the task pages: a latitude typed on one page is
// offered on the others whose box is still empty, so a site is typed once.
class LatitudeSharing : public QObject {
    Q_OBJECT
public:
    LatitudeSharing(std::initializer_list<QLineEdit*> boxes, QObject* parent);

private:
    void offer(QLineEdit* typedIn);

    std::vector<QLineEdit*> mBoxes;
};
