#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class UrlOpener;

// "About Pluvora": created on each choice of the menu item, freed when
// closed; its owner is disabled while it is open.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Pluvora";
    static constexpr const char* kProgram = "Pluvora  (ver. 2016.4.1)";
    static constexpr const char* kCredits =
        "Written by the Pluvora developers.\n"
        "Released 2007 to 2016.";
    static constexpr const char* kContactHeading = "For further informtaion, contact:";
    static constexpr const char* kContact =
        "The Pluvora developers\n"
        "Questions and bug reports:\n"
        "https://pluvora.example.org/issues";
    static constexpr const char* kDisclaimerHeading = "Disclaimer:";
    static constexpr const char* kDisclaimer =
        "Neither the Pluvora developers nor the institutions they work for accept "
        "any liability for errors or incorrect results of this program, or for "
        "problems with its installation.";
    static constexpr const char* kWebAddress = "https://pluvora.example.org";
    static constexpr const char* kOkCaption = "OK";

    AboutBox(UrlOpener& opener, QWidget* parent);
    ~AboutBox() override;

public slots:
    // "OK": closes the box.
    void Button1Click();
    // The web address: opens it in the browser.
    void StaticText1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* addTextBox(const char* name, const QString& text);
    void releaseParent();

    UrlOpener& mOpener;
    QLabel* mLink = nullptr;
    bool mParentDisabled = false;
};
