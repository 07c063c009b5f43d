#pragma once

#include "engine/provenance/runprovenance.h"

#include <QWidget>

#include <memory>
#include <vector>

class FileChooser;
class QLabel;
class QPushButton;
class QVBoxLayout;
class SeriesChartView;

// A window of charts, one per measured variable of a run against the date,
// with the task's estimate beside the measured values of its quantity.
class ChartsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Pluvora charts";
    static constexpr const char* kSaveCaption = "Save chart as...";
    static constexpr const char* kSaveTitle = "Save chart as";
    static constexpr const char* kSaveFilter = "PNG image (*.png);;SVG image (*.svg)";
    static constexpr const char* kHint =
        "Drag or arrow keys: pan.  Wheel or +/-: zoom.  Home: all days.  Click a day: its input line.";
    static constexpr const char* kNoDays = "No day was read: nothing to draw.";

    ChartsWindow(FileChooser& files, QWidget* parent = nullptr);

    // Draws `provenance`, which the window keeps; `what` says whose days
    // they are ("Last run: site.txt").
    void show(std::shared_ptr<const pluvora::RunProvenance> provenance, const QString& what);
    const std::vector<SeriesChartView*>& charts() const { return mCharts; }
    // Writes every chart, one under the other, as PNG or SVG by the
    // name's extension; false when it could not be written.
    bool saveCharts(const QString& path);

signals:
    void daySelected(int inputLine);

private:
    void saveChartAs();

    FileChooser& mFiles;
    std::shared_ptr<const pluvora::RunProvenance> mProvenance;
    QLabel* mWhat = nullptr;
    QPushButton* mSave = nullptr;
    QWidget* mChartArea = nullptr;
    QVBoxLayout* mChartLayout = nullptr;
    std::vector<SeriesChartView*> mCharts;
};
