#include "batchoptions.h"

#include "io/numbertext.h"

#include <filesystem>
#include <sstream>
#include <system_error>

using namespace pluvora;

const char* const kBatchUsage =
    "usage: pluvora-batch --task N --rows N --columns LIST [--site \"LAT N|S LON W|E ELEV\"]\n"
    "                     [--latitude TEXT] [--elevation TEXT] [--region 1|2|3]\n"
    "                     [--zone 1|2|3] [--pan 1..5] [--fetch TEXT] [--no-rearrange]\n"
    "                     [--no-substitution] [--sign N] [--substitute TEXT] [--yes]\n"
    "                     [--update FILE]\n"
    "                     INPUT [-o OUTPUT]\n"
    "  --columns  columns 1 to 12 in order, comma-separated, each a variable name\n"
    "             with ':' and a unit for measured variables, e.g.\n"
    "             \"Year,Month,Day,T-max:oF,T-min:oF,Precip:inch\"; an empty item\n"
    "             leaves its column unselected\n"
    "  --site     site coordinates for tasks 1 and 6 (west positive, south negative)\n"
    "  --latitude latitude box of tasks 4, 5 and 7; --elevation: of task 7\n"
    "  --region   task 4: 1 Mid-West of USA, 2 continental, 3 coastal (default 1)\n"
    "  --zone     task 5: 1 cold / temperate, 2 dry tropical, 3 humid tropical\n"
    "             (default 1)\n"
    "  --pan      task 6: 1 Class-A green fetch, 2 Class-A dry fetch, 3 Colorado\n"
    "             green fetch, 4 Colorado dry fetch, 5 unknown (default 1)\n"
    "  --fetch    task 6 fetch in metres, as typed (default 1000)\n"
    "  --no-rearrange  tasks 4 to 7: append the estimate as a last column instead\n"
    "             of converting to the weather-file layout\n"
    "  --yes      answer Yes to every question (default No)\n"
    "  -o         write the result to OUTPUT instead of standard output\n"
    "  --update   task 2: append the new days to the weather file FILE, keeping\n"
    "             its previous content as FILE.old; when FILE is not updated the\n"
    "             result goes to standard output or OUTPUT as for other tasks\n"
    "exit status: 0 the result was written (task 2: the file was updated, or\n"
    "             it needed no update), 1 a stage stopped the run, 2 bad options,\n"
    "             3 task 2 had new days but did not append them (a gap answered No)\n";

namespace {

std::optional<UsageError> parseColumns(std::string_view list, BatchOptions& options)
{
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        items.push_back(list.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (items.size() > static_cast<std::size_t>(kColumnBoxes))
        return UsageError{"--columns lists more than 12 columns"};

    const auto names = variableItems();
    for (std::size_t column = 0; column < items.size(); ++column) {
        const std::string_view item = items[column];
        if (item.empty())
            continue;
        const std::size_t colon = item.find(':');
        const std::string_view name = item.substr(0, colon);
        const bool unitGiven = colon != std::string_view::npos;
        const std::string_view unit = unitGiven ? item.substr(colon + 1) : std::string_view();

        int code = -1;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                code = static_cast<int>(i);
        const std::string where = "column " + std::to_string(column + 1) + ": ";
        if (code < 0)
            return UsageError{where + "unknown variable '" + std::string(name) + "'"};
        options.variableIndex[column] = code;

        const VariableInfo& info = variableInfo(code);
        if (!isMeasured(code)) {
            if (unitGiven)
                return UsageError{where + std::string(name) + " takes no unit"};
            continue;
        }
        if (!unitGiven) {
            // Single-unit variables get their unit with the choice, as in
            // the window; the others stay empty and the run names the column.
            if (info.fixedUnit >= 0)
                options.unitShown[column] = std::string(info.units[static_cast<std::size_t>(info.fixedUnit)]);
            continue;
        }
        bool known = false;
        for (const auto u : info.units)
            known = known || u == unit;
        if (!known)
            return UsageError{where + "unknown unit '" + std::string(unit) + "' for " + std::string(name)};
        options.unitShown[column] = std::string(unit);
    }
    return std::nullopt;
}

// Whether two names reach one file, also through links or "..", and for a
// file that does not exist yet.
bool sameFile(const std::string& a, const std::string& b)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    std::error_code ecA, ecB;
    const fs::path fullA = fs::weakly_canonical(a, ecA);
    const fs::path fullB = fs::weakly_canonical(b, ecB);
    return !ecA && !ecB && fullA == fullB;
}

std::variant<std::string, UsageError> parseSite(std::string_view text)
{
    std::istringstream in{std::string(text)};
    std::string lat, ns, lon, we, elev, extra;
    if (!(in >> lat >> ns >> lon >> we >> elev) || (in >> extra) || (ns != "N" && ns != "S")
        || (we != "W" && we != "E"))
        return UsageError{"--site needs \"LAT N|S LON W|E ELEV\", e.g. \"40.5 N 96.25 W 350\""};
    auto line = siteCoordinateLine(lat, ns == "N" ? Hemisphere::North : Hemisphere::South, lon,
                                   we == "W" ? LongitudeSide::West : LongitudeSide::East, elev);
    if (auto* error = std::get_if<SiteCoordinateError>(&line))
        return UsageError{std::string(error->message), true};
    return std::get<std::string>(line);
}

} // namespace

std::variant<BatchOptions, UsageError> parseBatchOptions(const std::vector<std::string_view>& args)
{
    BatchOptions options;
    std::optional<std::string_view> site;
    bool columnsGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto needs = [&](std::string_view what) {
            return UsageError{std::string(arg) + " needs " + std::string(what)};
        };

        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--no-substitution") {
            options.substitution = false;
        } else if (arg == "--yes") {
            options.yes = true;
        } else if (arg == "--task") {
            const auto v = value();
            const auto task = v ? parseInteger(*v) : std::nullopt;
            if (!task || *task < 1 || *task > 7)
                return needs("a task number from 1 to 7");
            options.task = *task;
        } else if (arg == "--rows") {
            const auto v = value();
            const auto rows = v ? parseInteger(*v) : std::nullopt;
            if (!rows || *rows < 0)
                return needs("a number of rows, 0 or more");
            options.rowsText = std::string(*v);
        } else if (arg == "--columns") {
            const auto v = value();
            if (!v)
                return needs("a column list");
            if (auto error = parseColumns(*v, options))
                return *error;
            columnsGiven = true;
        } else if (arg == "--site") {
            site = value();
            if (!site)
                return needs("the site coordinates");
        } else if (arg == "--latitude" || arg == "--elevation") {
            const auto v = value();
            if (!v)
                return needs("a value");
            (arg == "--latitude" ? options.latitude : options.elevation) = std::string(*v);
        } else if (arg == "--region" || arg == "--zone" || arg == "--pan") {
            const int highest = arg == "--pan" ? 5 : 3;
            const auto v = value();
            const auto choice = v ? parseInteger(*v) : std::nullopt;
            if (!choice || *choice < 1 || *choice > highest)
                return needs("a choice from 1 to " + std::to_string(highest));
            (arg == "--region" ? options.region : arg == "--zone" ? options.zone : options.pan) = *choice;
        } else if (arg == "--fetch") {
            const auto v = value();
            if (!v)
                return needs("a value");
            options.fetch = std::string(*v);
        } else if (arg == "--no-rearrange") {
            options.rearrange = false;
        } else if (arg == "--sign") {
            const auto v = value();
            if (!v || !parseInteger(*v))
                return needs("a whole number");
            options.sign = std::string(*v);
        } else if (arg == "--substitute") {
            const auto v = value();
            if (!v)
                return needs("a text");
            options.substitute = std::string(*v);
        } else if (arg == "-o") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a file name");
            options.output = std::string(*v);
        } else if (arg == "--update") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a weather file");
            options.update = std::string(*v);
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError{"unknown option " + std::string(arg)};
        } else if (options.input.empty()) {
            options.input = std::string(arg);
        } else {
            return UsageError{"more than one input file"};
        }
    }
    if (options.help)
        return options;
    if (options.input.empty())
        return UsageError{"no input file"};
    if (!columnsGiven)
        return UsageError{"--columns is required"};
    // Task 2 ends by asking for the weather file to update.
    if (options.task == 2 && !options.update)
        return UsageError{"--update is required for task 2"};
    if (options.task != 2 && options.update)
        return UsageError{"--update is only for task 2"};
    // Data that do not go into the weather file are written to OUTPUT:
    // the same name would overwrite the weather file with them.
    if (options.update && options.output && sameFile(*options.update, *options.output))
        return UsageError{"-o must not name the weather file given to --update"};
    // Tasks 1 and 6 end by asking for the site; a batch run cannot ask.
    const bool siteNeeded = options.task == 1 || (options.task == 6 && options.rearrange);
    if (site) {
        auto line = parseSite(*site);
        if (auto* error = std::get_if<UsageError>(&line))
            return *error;
        options.siteLine = std::get<std::string>(line);
    } else if (siteNeeded) {
        return UsageError{"--site is required for task 1, and for task 6 unless --no-rearrange is given"};
    }
    return options;
}
