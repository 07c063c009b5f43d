#include "engine/fill/referencereading.h"

#include "engine/error.h"
#include "engine/provenance/runprovenance.h"

#include <string>

namespace pluvora {

namespace {

constexpr int kCheckupTaskIndex = 2;

// Keeps the first error of the reference's run; the rest of what a run
// says is about the reference, not the user's file.
class ReferenceFeedback : public UserFeedback {
public:
    void showMessage(MessageKind kind, std::string_view text) override
    {
        if (kind == MessageKind::Error && error.empty())
            error = text;
    }
    bool askYesNo(std::string_view) override { return false; }
    void playSound(Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}

    std::string error;
};

} // namespace

ReferenceSeries readReferenceSeries(RunRequest request, const AppFolder& scratch)
{
    RunProvenance provenance;
    ReferenceFeedback feedback;
    request.taskIndex = kCheckupTaskIndex;
    request.provenance = &provenance;
    request.days = nullptr;
    request.fill = FillSettings{};
    runProcessing(request, scratch, feedback);
    if (!feedback.error.empty())
        throw Error("The reference \"" + request.fileName + "\" cannot be read: " + feedback.error);
    ReferenceSeries series;
    series.name = request.fileName;
    const auto& all = provenance.series();
    for (std::size_t d = 0; d < provenance.dayCount(); ++d) {
        const long long day = RunProvenance::dayNumber(provenance.day(d));
        series.noteDay(day);
        for (std::size_t s = 0; s < all.size(); ++s)
            if (provenance.mark(s, d) == RunProvenance::Mark::Measured && !provenance.flagged(s, d))
                series.add(day, all[s].code, provenance.value(s, d));
    }
    if (series.days() == 0)
        throw Error("The reference \"" + request.fileName + "\" holds no day with a measured value.");
    return series;
}

} // namespace pluvora
