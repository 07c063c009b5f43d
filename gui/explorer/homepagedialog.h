#pragma once

#include <QDialog>

class QLineEdit;

// "Set as home page": names the current site as the first links button.
class HomePageDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Set as home page";
    static constexpr const char* kOk = "OK";
    static constexpr const char* kCancel = "Cancel";

    HomePageDialog(const QString& title, QWidget* parent);

signals:
    void homePageAccepted(const QString& name);

public slots:
    // "OK": the current page becomes the home page under the typed name.
    void BitBtn1Click();
    // "Cancel": closes, changing nothing.
    void BitBtn2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* mName = nullptr; // Edit1
};
