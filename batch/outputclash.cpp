#include "batch/outputclash.h"

#include <system_error>
#include <vector>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

// A device such as /dev/null may take several outputs: nothing is kept
// there to lose.
bool isDevice(const fs::path& name)
{
    std::error_code ec;
    const fs::file_status status = fs::status(name, ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

} // namespace

bool sameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    std::error_code ecA, ecB;
    const fs::path fullA = fs::weakly_canonical(a, ecA);
    const fs::path fullB = fs::weakly_canonical(b, ecB);
    return !ecA && !ecB && fullA == fullB;
}

std::optional<std::string> outputClash(const BatchOptions& options)
{
    struct Output {
        std::string option; // the option that writes it
        std::string file;
        std::string asOther; // how another option's message names it
    };
    std::vector<Output> outputs;
    std::string backup;
    if (options.update) {
        backup = *options.update + ".old";
        outputs.push_back({"--update", *options.update, "the weather file given to --update"});
        outputs.push_back({"--update", backup, "the file " + backup + " that --update keeps"});
    }
    if (options.output)
        outputs.push_back({"-o", *options.output, "the file given to -o"});
    if (options.report)
        outputs.push_back({"--report", *options.report, "the file given to --report"});
    if (options.flags)
        outputs.push_back({"--flags", *options.flags, "the file given to --flags"});
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const Output& output = outputs[i];
        if (isDevice(output.file))
            continue;
        if (sameFile(output.file, options.input))
            return output.file == backup ? "the input file must not be " + output.asOther
                                         : output.option + " must not name the input file";
        if (options.fillFrom && !options.fillFromPower() && sameFile(output.file, *options.fillFrom))
            return output.option + " must not name the --fill-from file";
        for (std::size_t j = 0; j < i; ++j)
            if (outputs[j].option != output.option && sameFile(output.file, outputs[j].file))
                return output.option + " must not name " + outputs[j].asOther;
    }
    return std::nullopt;
}

} // namespace pluvora
