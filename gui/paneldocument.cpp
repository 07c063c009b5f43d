#include "gui/paneldocument.h"

#include "gui/inputpanel.h"
#include "gui/longwork.h"

#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace {

constexpr int kLinesPerStep = 8192;
constexpr const char* kOpening = "Opening the input file...";

} // namespace

QTextDocument* buildPanelDocument(const QString& text, InputPanel* panel,
                                  QWidget* progressParent)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
    document->setDefaultFont(panel->font());
    document->setUndoRedoEnabled(false);
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    if (lines <= kLinesPerStep) {
        document->setPlainText(text);
    } else {
        panel->beginFilling(document.get(), static_cast<int>(lines));
        try {
            LongWork work(progressParent, QString::fromLatin1(kOpening),
                          static_cast<int>(lines / kLinesPerStep + 1));
            QTextCursor cursor(document.get());
            qsizetype start = 0;
            while (start < text.size()) {
                qsizetype end = start;
                for (int line = 0; line < kLinesPerStep && end < text.size(); ++line) {
                    const qsizetype next = text.indexOf(QLatin1Char('\n'), end);
                    end = next < 0 ? text.size() : next + 1;
                }
                cursor.insertText(text.sliced(start, end - start));
                start = end;
                work.step();
            }
        } catch (const LongWorkCancelled&) {
            panel->cancelFilling();
            return nullptr;
        } catch (...) {
            panel->cancelFilling();
            throw;
        }
    }
    document->setUndoRedoEnabled(true);
    document->setParent(panel);
    return document.release();
}
