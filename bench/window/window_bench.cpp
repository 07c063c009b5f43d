// The window's own open and Process on a long generated file, timed as a
// user meets them: from the click to the file in the panel, from the
// Process click to the site dialog, and on to the output panel's last line
// (it goes in while the dialog waits for the user).
#include "gui/filechooser.h"
#include "gui/mainwindow.h"
#include "engine/ui/userfeedback.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <ctime>

namespace {

class QuietFeedback : public pluvora::UserFeedback {
public:
    void showMessage(pluvora::MessageKind, std::string_view text) override
    {
        std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
    }
    bool askYesNo(std::string_view text) override
    {
        std::fprintf(stderr, "question: %.*s\n", static_cast<int>(text.size()), text.data());
        return true;
    }
    void playSound(pluvora::Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}
};

class OneFileChooser : public FileChooser {
public:
    QString path;
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return path; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

// The machine is shared: CPU time compares where wall time wanders.
double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

template <typename T>
T* child(MainWindow& window, const QString& name)
{
    T* found = window.centralWidget()->findChild<T*>(name);
    if (!found) {
        std::fprintf(stderr, "no control %s\n", qPrintable(name));
        std::exit(EXIT_FAILURE);
    }
    return found;
}

void setColumn(MainWindow& window, int column, const char* variable, const char* unit)
{
    auto* box = child<QComboBox>(window, "ComboBox" + QString::number(11 + column));
    const int index = box->findText(variable);
    if (index < 0) {
        std::fprintf(stderr, "no variable %s\n", variable);
        std::exit(EXIT_FAILURE);
    }
    box->setCurrentIndex(index);
    emit box->activated(index);
    auto* units = child<QComboBox>(window, "ComboBox" + QString::number(23 + column));
    const int u = units->findText(unit);
    if (u < 0) {
        std::fprintf(stderr, "no unit %s\n", unit);
        std::exit(EXIT_FAILURE);
    }
    units->setCurrentIndex(u);
}

void setRowsBefore(MainWindow& window, int rows)
{
    child<QToolButton>(window, "SpinButton1Up")->click();
    while (child<QLineEdit>(window, "adpEdit1")->text().toInt() > 0)
        child<QToolButton>(window, "SpinButton1Up")->click();
    for (int i = 0; i < rows; ++i)
        child<QToolButton>(window, "SpinButton1Down")->click();
}

// Days from 1900/01/01 in the columns the run is set up for, with values
// well inside the checkup's limits.
void writeInput(const QString& path, int lines)
{
    using namespace std::chrono;
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "Station: generated plains station\n"
        << "      Date     Tmax     Tmin  Precip     RH   Wind   Solar\n"
        << "YYYY/MM/DD       oF       oF    inch      %  mile/hr  W/m2\n";
    sys_days day = year{1900} / January / 1;
    char row[128];
    for (int i = 0; i < lines; ++i, day += days{1}) {
        const year_month_day date{day};
        const double season = std::cos(2 * 3.14159265 * ((i % 365) - 200) / 365.0);
        const double tmax = 66 + 22 * season + (i * 7 % 11) - 5;
        std::snprintf(row, sizeof row, "%04d/%02u/%02u %8.1f %8.1f %7.2f %6.1f %6.1f %7.1f\n",
                      static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                      static_cast<unsigned>(date.day()), tmax, tmax - 18 - (i % 5),
                      i % 4 == 0 ? 0.01 * (i % 97) : 0.0, 55.0 + (i % 40), 3.0 + (i % 9),
                      180 + 120 * season);
        out << row;
    }
}

} // namespace

// usage: pluvora_window_bench [LINES [ROUNDS [INPUT]]]; without INPUT the
// input is generated here.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 365000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;

    QTemporaryDir work;
    QString input = argc > 3 ? QString::fromLocal8Bit(argv[3]) : work.filePath("weather.txt");
    if (argc <= 3)
        writeInput(input, lines);

    for (int round = 0; round < rounds; ++round) {
        QTemporaryDir appDir;
        QuietFeedback feedback;
        OneFileChooser chooser;
        chooser.path = input;
        MainWindowSetup setup;
        setup.appFolder = appDir.path().toStdString();
        setup.feedback = &feedback;
        setup.fileChooser = &chooser;
        MainWindow window(setup);
        window.setCompletionPause(0);
        if (auto* suggest = window.findChild<QAction*>("Suggestlayout1"))
            suggest->setChecked(false);
        window.show();
        QApplication::processEvents();

        QElapsedTimer clock;
        clock.start();
        double cpu = cpuSeconds();
        child<QPushButton>(window, "BitBtn3")->click();
        QApplication::processEvents();
        const double openSeconds = clock.nsecsElapsed() / 1e9;
        const double openCpu = cpuSeconds() - cpu;
        const int panelLines = child<QPlainTextEdit>(window, "Memo1")->blockCount();

        setRowsBefore(window, 3);
        setColumn(window, 1, "Date", "YYYY/MM/DD");
        setColumn(window, 2, "T-max", "oF");
        setColumn(window, 3, "T-min", "oF");
        setColumn(window, 4, "Precip", "inch");
        setColumn(window, 5, "RelHum", "%");
        setColumn(window, 6, "WndSpd", "mile/hr");
        setColumn(window, 7, "Solar", "W/m2");
        child<QComboBox>(window, "ComboBox1")->setCurrentIndex(0);
        QApplication::processEvents();

        clock.restart();
        cpu = cpuSeconds();
        child<QPushButton>(window, "BitBtn1")->click();
        QDialog* site = window.findChild<QDialog*>("TForm11");
        const double processSeconds = clock.nsecsElapsed() / 1e9;
        const double processCpu = cpuSeconds() - cpu;
        if (!site || !site->isVisible()) {
            std::fprintf(stderr, "Process did not reach the site dialog\n");
            return EXIT_FAILURE;
        }
        auto* output = child<QPlainTextEdit>(window, "Memo2");
        while (output->isReadOnly())
            QApplication::processEvents();
        const double filledSeconds = clock.nsecsElapsed() / 1e9;
        const int outputLines = output->blockCount();
        std::printf("round %d: open %.3f s (CPU %.3f s, %d lines), process to site dialog %.3f s "
                    "(CPU %.3f s), to the output filled %.3f s (%d output lines)\n",
                    round + 1, openSeconds, openCpu, panelLines, processSeconds, processCpu, filledSeconds,
                    outputLines);
        std::fflush(stdout);
        site->reject();
    }
    return EXIT_SUCCESS;
}
