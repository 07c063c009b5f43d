#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// Thrown out of a step of long work when the user pressed Cancel. Not a
// std::exception, so the handlers that report failures let it pass.
struct LongWorkCancelled {};

// Progress with a Cancel button for work done on the window's thread:
// appears when the work lasts, keeps the window painted and answering
// between steps, and makes the next step throw LongWorkCancelled once
// Cancel is pressed. The window behind waits, so nothing changes under the
// work.
class LongWork {
public:
    static constexpr const char* kCancelCaption = "Cancel";
    // A pass's progress: what it does, lines done, of how many.
    static constexpr const char* kPassProgress = "%1: %L2 of %L3 lines";
    static constexpr const char* kPassProgressOpen = "%1: %L2 lines";

    // `total` steps, or 0 when the number is not known.
    LongWork(QWidget* parent, const QString& label, int total = 0);
    ~LongWork();
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    // One step done; may throw LongWorkCancelled.
    void step(int count = 1);
    // One step done, for work that stops on its own once cancelled():
    // gives the window its turn when it is due.
    void look(int count = 1);
    bool cancelled() const;
    // A new pass over the `total` lines begins, named `what`; the count
    // starts again.
    void setPass(const QString& what);
    // The work is done: a Cancel pressed since the last step still throws
    // LongWorkCancelled; otherwise the dialog is taken off the screen
    // before the window shows the result.
    void finish();

    // Time before the dialog shows and between two looks at the window;
    // tests set both to 0.
    static void setTiming(int showDelayMs, int lookEveryMs);

private:
    QWidget* mParent;
    QPointer<QProgressDialog> mDialog; // made once the work lasts
    QElapsedTimer mStarted;
    QElapsedTimer mLastLook;
    QString mLabel;
    QString mPass;
    int mTotal;
    long long mDone = 0;
};

// Hands `work` to a sink's gauge steps (WindowFeedback::setLongWork) for as
// long as it lives.
template <typename Sink>
class LongWorkWatch {
public:
    LongWorkWatch(Sink& sink, LongWork& work) : mSink(sink) { mSink.setLongWork(&work); }
    ~LongWorkWatch() { mSink.setLongWork(nullptr); }
    LongWorkWatch(const LongWorkWatch&) = delete;
    LongWorkWatch& operator=(const LongWorkWatch&) = delete;

private:
    Sink& mSink;
};
