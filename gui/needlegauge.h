#pragma once

#include <QElapsedTimer>
#include <QWidget>

// The run's progress gauge: a dial whose red needle turns one step per record.
class NeedleGauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaximum = 1000;

    explicit NeedleGauge(QWidget* parent = nullptr);

    int position() const { return mPosition; }
    void setPosition(int position);

    // One step: position + 1, modulo the maximum. Called once per record.
    void gaugeDisplay();

    QSize sizeHint() const override { return {48, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int mPosition = 0;
    unsigned mTicks = 0;
    QElapsedTimer mSinceRepaint;
};
