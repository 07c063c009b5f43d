#include "engine/suggest/layoutsuggestion.h"

#include "engine/columns/datetext.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/error.h"
#include "engine/formats/knownformat.h"
#include "engine/io/numbertext.h"
#include "engine/suggest/datevalues.h"
#include "engine/suggest/suggestfields.h"
#include "engine/suggest/unitevidence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>

namespace pluvora {

namespace {

using namespace suggest;

constexpr int kTail = 40;          // lines that decide the fields setting

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string linesText(int count)
{
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

std::string columnLabel(const SuggestedColumn& c)
{
    std::string label = "column " + std::to_string(c.field);
    if (!c.header.empty())
        label += " (" + c.header + ")";
    return label;
}

class Suggester {
public:
    Suggester(std::string_view text, const SuggestionTables& tables, int maxLines)
        : mTables(tables)
    {
        std::size_t start = 0;
        while (start < text.size() && static_cast<int>(mLines.size()) < maxLines) {
            auto end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            mLines.push_back(line);
            start = end + 1;
        }
    }

    LayoutSuggestion run()
    {
        chooseFields();
        if (!findDataRows())
            return mOut;
        mOut.found = true;
        readHeader();
        gatherValues();
        for (int f = 0; f < mOut.fieldCount; ++f)
            mOut.columns.push_back(suggestColumn(f));
        leaveTextColumns();
        settleTenths();
        settleDegrees();
        checkTemperaturePair();
        settleDate();
        settleTimes();
        settleRepeats();
        settleHumidity();
        choosePicked();
        noteMissing();
        noteTrace();
        return mOut;
    }

private:
    std::vector<std::string_view> fieldsOf(std::size_t line) const
    {
        if (!mOut.fieldEnds.empty())
            return splitFixed(mLines[line], mOut.fieldEnds);
        return splitFields(mLines[line], mSep);
    }

    // Where each blank-separated token of a line ends (1-based).
    static std::vector<int> tokenEnds(std::string_view line)
    {
        std::vector<int> ends;
        for (std::size_t i = 0; i < line.size(); ++i)
            if (!isBlank(line[i]) && (i + 1 == line.size() || isBlank(line[i + 1])))
                ends.push_back(static_cast<int>(i + 1));
        return ends;
    }

    // Rows of one length whose numbers stand right-aligned at fixed places
    // but touch where a value is wide or negative ("12.5-10.3"): blanks
    // then split some rows into fewer fields, and only the places read
    // them alike.
    void chooseFixedWidths(const std::vector<std::size_t>& tail)
    {
        std::map<std::size_t, int> lengths;
        for (std::size_t i : tail)
            ++lengths[mLines[i].size()];
        const std::size_t length =
            std::max_element(lengths.begin(), lengths.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; })
                ->first;
        if (lengths[length] * 10 < static_cast<int>(tail.size()) * 9)
            return;
        // Every row of that length, as the touching values may stand well
        // above the last rows.
        std::vector<std::vector<int>> ends;
        const auto numeric = [](std::string_view line) {
            return line.find_first_not_of("0123456789.-+ \t") == std::string_view::npos;
        };
        for (std::string_view line : mLines)
            if (line.size() == length && numeric(line))
                ends.push_back(tokenEnds(line));
        if (ends.size() < 5)
            return;
        const auto widest = std::max_element(ends.begin(), ends.end(),
                                             [](const auto& a, const auto& b) { return a.size() < b.size(); });
        const bool differ = std::any_of(ends.begin(), ends.end(),
                                        [&](const auto& e) { return e.size() != widest->size(); });
        if (!differ || widest->size() < 2)
            return;
        for (const auto& e : ends)
            if (!std::includes(widest->begin(), widest->end(), e.begin(), e.end()))
                return;
        mOut.fields = "fixed";
        mOut.fieldEnds = *widest;
    }

    bool blankLine(std::size_t line) const { return trimmed(mLines[line]).empty(); }

    void chooseFields()
    {
        std::vector<std::size_t> tail;
        for (std::size_t i = mLines.size(); i-- > 0 && static_cast<int>(tail.size()) < kTail;)
            if (!blankLine(i))
                tail.push_back(i);
        if (tail.empty())
            return;
        struct Option {
            char sep;
            std::string_view name;
        };
        constexpr Option kOptions[] = {{'\t', "tab"}, {';', "semicolon"}, {',', "comma"}};
        std::size_t best = 1;
        for (const auto& option : kOptions) {
            // The usual count of the last lines; a few notes below the data
            // (a legend, a footer) have another.
            std::map<std::size_t, std::size_t> counts;
            for (std::size_t i : tail)
                ++counts[splitFields(mLines[i], option.sep).size()];
            const auto usual = std::max_element(counts.begin(), counts.end(),
                                                [](const auto& a, const auto& b) { return a.second < b.second; });
            std::size_t count = usual->first;
            bool same = usual->second * 5 >= tail.size() * 4;
            // A short file: the last lines alike, however few.
            const std::size_t last = splitFields(mLines[tail.front()], option.sep).size();
            if ((!same || last > count) && last > 1 && tail.size() > 1 &&
                splitFields(mLines[tail[1]], option.sep).size() == last) {
                count = last;
                same = true;
            }
            if (same && count > best) {
                best = count;
                mSep = option.sep;
                mOut.fields = std::string(option.name);
            }
        }
        if (mSep != ',') {
            for (std::size_t i : tail)
                for (std::string_view f : splitFields(mLines[i], mSep))
                    mOut.decimalComma |= isDecimalCommaNumber(f);
        }
        if (mSep == kBlanks)
            chooseFixedWidths(tail);
        // The usual number of fields among the last lines.
        std::map<std::size_t, int> counts;
        for (std::size_t i : tail)
            ++counts[fieldsOf(i).size()];
        mOut.fieldCount = static_cast<int>(
            std::max_element(counts.begin(), counts.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; })
                ->first);
        // A separator chosen from a short file's last lines sets the count.
        if (mSep != kBlanks)
            mOut.fieldCount = static_cast<int>(best);
    }

    bool isNumberish(std::string_view field) const
    {
        return numberIn(field, mOut.decimalComma).has_value() || dateFormatOf({field}).has_value();
    }

    bool dataLike(std::size_t line) const
    {
        if (blankLine(line))
            return false;
        const auto fields = fieldsOf(line);
        if (static_cast<int>(fields.size()) != mOut.fieldCount || fields.empty())
            return false;
        // Quality letters beside the values ("M", "T", "*") neither make
        // nor break a data row.
        std::size_t numbers = 0, other = 0;
        for (std::string_view f : fields) {
            if (isNumberish(f))
                ++numbers;
            else if (!f.empty() && !isFlag(f))
                ++other;
        }
        return numbers > 0 && numbers >= other;
    }

    bool findDataRows()
    {
        if (mOut.fieldCount < 1 || mLines.empty())
            return false;
        std::size_t last = mLines.size();
        // A few lines that are not data may close a short file.
        for (int skipped = 0; last > 0 && skipped < 6 && !dataLike(last - 1); ++skipped)
            --last;
        if (last == 0 || !dataLike(last - 1))
            return false;
        std::size_t first = last - 1;
        while (first > 0 && dataLike(first - 1))
            --first;
        mFirst = first;
        mLast = last;
        mOut.rowsBefore = static_cast<int>(first);
        return true;
    }

    // A row of units under the names: "(mm)", "[oC]", or unit words the
    // table knows ("C_deg", "J cm-2", "mm").
    bool looksLikeUnits(const std::vector<std::string_view>& fields) const
    {
        std::size_t units = 0, words = 0;
        for (std::string_view f : fields) {
            f = unquoted(f);
            const bool bracketed = !f.empty() && (f.front() == '(' || f.front() == '[');
            units += f.empty() || bracketed || f == "-" || f == "()";
            words += !f.empty() && !bracketed && !mTables.unitFor(f).empty();
        }
        return units * 2 > fields.size() || (words > 0 && (units + words) * 2 > fields.size() && words * 3 >= fields.size());
    }

    bool headerRowFits(const std::vector<std::string_view>& fields) const
    {
        const int n = static_cast<int>(fields.size());
        if (n < mOut.fieldCount - 1 || n > mOut.fieldCount + 1)
            return false;
        std::size_t text = 0;
        for (std::string_view f : fields)
            text += !f.empty() && !numberIn(f, mOut.decimalComma);
        return text * 2 >= fields.size();
    }

    void readHeader()
    {
        for (std::size_t i = 0; i < mFirst; ++i) {
            for (char c : mLines[i])
                mHeaderLower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            mHeaderLower += '\n';
        }
        std::size_t i = mFirst;
        auto previousFilled = [&]() -> std::optional<std::size_t> {
            while (i > 0) {
                --i;
                if (!blankLine(i))
                    return i;
            }
            return std::nullopt;
        };
        auto line = previousFilled();
        if (!line)
            return;
        auto fields = fieldsOf(*line);
        if (headerRowFits(fields) && looksLikeUnits(fields)) {
            mUnitsRow = fields;
            line = previousFilled();
            if (!line)
                return;
            fields = fieldsOf(*line);
        }
        if (headerRowFits(fields) && !looksLikeUnits(fields)) {
            mNames = fields;
            mNamesLine = *line;
            mOut.rowsConfidence = Confidence::High;
        } else {
            mOut.rowsConfidence = Confidence::Medium;
        }
        // A names row that starts with "#", as some services write it,
        // splits into one field more only when the mark stands alone.
        if (!mNames.empty() && mNames.front().size() == 1 &&
            std::string_view("#!@*%").find(mNames.front()) != std::string_view::npos)
            mNames.erase(mNames.begin());
    }

    void gatherValues()
    {
        mValues.assign(static_cast<std::size_t>(mOut.fieldCount), {});
        for (std::size_t line = mFirst; line < mLast; ++line) {
            const auto fields = fieldsOf(line);
            for (std::size_t f = 0; f < fields.size() && f < mValues.size(); ++f) {
                auto& v = mValues[f];
                const std::string_view token = fields[f];
                if (token.empty()) {
                    if (v.empty++ == 0)
                        v.firstEmptyLine = static_cast<int>(line);
                    continue;
                }
                if (isMissingWord(token)) {
                    ++v.missingWords[token];
                    continue;
                }
                v.tokens.push_back(token);
                auto number = numberIn(token, mOut.decimalComma);
                if (!number)
                    number = numberBeforeFlag(token);
                if (!number) {
                    if (v.text++ == 0) {
                        v.firstTextLine = static_cast<int>(line);
                        v.textSample = token;
                    }
                } else if (isSignValue(*number)) {
                    ++v.signCounts[static_cast<int>(std::lround(*number))];
                } else {
                    v.numbers.push_back(*number);
                    v.numberLines.push_back(static_cast<int>(line));
                }
            }
        }
    }

    // The unit a header row writes for field f: in the names row's
    // brackets, in a units row, or on a line of the header that describes
    // the name ("T2M_MAX   ... Maximum (C)").
    std::string unitHint(std::size_t f, std::string_view name) const
    {
        auto fromText = [&](std::string_view text) -> std::string {
            std::string_view t = trimmed(text);
            if (!t.empty() && (t.front() == '(' || t.front() == '['))
                t = unitInName(t);
            t = trimmed(t);
            if (t.substr(0, 3) == "in ")
                t.remove_prefix(3);
            return mTables.unitFor(t);
        };
        if (auto unit = fromText(unitInName(name)); !unit.empty())
            return unit;
        if (f < mUnitsRow.size())
            if (auto unit = fromText(mUnitsRow[f]); !unit.empty())
                return unit;
        const std::string key = normaliseHeaderName(name);
        if (key.empty())
            return {};
        for (std::size_t i = 0; i < mFirst; ++i) {
            if (mNamesLine && i == *mNamesLine)
                continue;
            const auto words = splitFields(mLines[i], kBlanks);
            if (words.empty() || normaliseHeaderName(words.front()) != key)
                continue;
            std::string_view rest = mLines[i];
            for (auto open = rest.find('('); open != std::string_view::npos;
                 open = rest.find('(', open + 1)) {
                if (auto unit = fromText(rest.substr(open)); !unit.empty())
                    return unit;
            }
        }
        return {};
    }

    SuggestedColumn suggestColumn(int f)
    {
        SuggestedColumn c;
        c.field = f + 1;
        const auto fi = static_cast<std::size_t>(f);
        if (fi < mNames.size())
            c.header = std::string(mNames[fi]);
        const FieldValues& values = mValues[fi];
        if (values.tokens.empty()) {
            c.reason = "no values";
            return c;
        }
        const auto entries = mTables.lookUp(normaliseHeaderName(c.header), mHeaderLower);
        if (entries.empty()) {
            if (suggestDateFromValues(c, values, f))
                return c;
            c.reason = c.header.empty() ? "no name above the data" : "name not known";
            c.mightHold = variablesFitting(values);
            return c;
        }
        // Lines for one name that differ in case or context: the first the
        // values fit wins, else the first says why not.
        std::optional<SuggestedColumn> first;
        for (const KnownColumnName* entry : entries) {
            SuggestedColumn attempt = columnFromEntry(c, values, *entry, fi);
            if (attempt.variable != "Ignore" || entry->variable == "Ignore")
                return attempt;
            if (!first)
                first = std::move(attempt);
        }
        return *first;
    }

    // The variables of a weather file whose plausible values the column holds.
    std::vector<std::string> variablesFitting(const FieldValues& values) const
    {
        std::vector<std::string> fitting;
        if (values.text > 0 || values.numbers.empty())
            return fitting;
        for (int code : {kSolar, kTmax, kTmin, kPrecip, kRelHum}) {
            const std::string variable(variableInfo(code).item);
            for (std::string_view unit : variableInfo(code).units)
                if (fits(values, variable, unit)) {
                    fitting.push_back(variable);
                    break;
                }
        }
        return fitting;
    }

    SuggestedColumn columnFromEntry(SuggestedColumn c, const FieldValues& values, const KnownColumnName& entry,
                                    std::size_t fi)
    {
        const std::string source = entry.note.empty() ? "" : " (" + entry.note + ")";
        if (entry.variable == "Ignore") {
            c.confidence = Confidence::High;
            c.reason = entry.note.empty() ? "left alone by the names table" : entry.note;
            return c;
        }
        if (suggestDatePart(c, values, entry.variable))
            return c;
        const int code = variableCode(entry.variable);
        if (code < 0) {
            c.reason = entry.variable + " is not a variable of this version" + source;
            return c;
        }
        if (isMeasured(code))
            c.namedVariable = entry.variable;
        const std::string hint = unitHint(fi, c.header);
        std::vector<std::string> candidates;
        if (!hint.empty())
            candidates.push_back(hint);
        else
            candidates = entry.units;
        std::vector<std::string> readable;
        for (const auto& unit : candidates)
            if (variableHasUnit(code, unit))
                readable.push_back(unit);
        if (readable.empty()) {
            c.reason = "the unit " + (candidates.empty() ? std::string("?") : candidates.front()) +
                       " of " + entry.variable + " is not one this version reads" + source;
            return c;
        }
        std::vector<std::string> fitting;
        for (const auto& unit : readable)
            if (fits(values, entry.variable, unit))
                fitting.push_back(unit);
        if (fitting.empty()) {
            c.reason = "values do not fit " + entry.variable + " in " + readable.front() + source;
            return c;
        }
        if (fitting.size() > 1)
            fitting = narrowedByTheFile(entry.variable, fitting);
        if (fitting.size() > 1) {
            c.reason = "unit not known: the values fit " + fitting[0] + " and " + fitting[1] + source;
            mUnitsFitting[c.field] = fitting;
            return c;
        }
        c.variable = entry.variable;
        c.unit = fitting.front();
        c.confidence = hint.empty() ? Confidence::Medium : Confidence::High;
        c.reason = std::string(hint.empty() ? "name" : "name and unit in the header") + source;
        return c;
    }

    // Units the values fit alike, told apart by what the header says of
    // the whole file ("degrees Fahrenheit", "tenths of").
    std::vector<std::string> narrowedByTheFile(std::string_view variable, std::vector<std::string> units) const
    {
        const auto says = [&](std::initializer_list<std::string_view> words) {
            return std::any_of(words.begin(), words.end(),
                               [&](std::string_view w) { return mHeaderLower.find(w) != std::string::npos; });
        };
        const bool temperature = variable == "T-max" || variable == "T-min" || variable == "DewPt" ||
                                 variable == "Soil-T";
        if (temperature) {
            const bool celsius = says({"celsius", "degc", "deg c", "\xc2\xb0" "c", "&#176;c", "oc)", "(c)"});
            const bool fahrenheit = says({"fahrenheit", "degf", "deg f", "\xc2\xb0" "f", "&#176;f", "of)", "(f)"});
            if (celsius != fahrenheit) {
                const std::string keep = celsius ? "oC" : "oF";
                std::erase_if(units, [&](const std::string& u) { return u != keep && (u == "oC" || u == "oF"); });
            }
        }
        return units;
    }

    // Year, Month, Day, DOY, Date and YYDOY named in the header: the values decide.
    bool suggestDatePart(SuggestedColumn& c, const FieldValues& values, std::string_view variable)
    {
        if (variable == "Date") {
            const bool fiveDigits = std::all_of(values.tokens.begin(), values.tokens.end(),
                                                [](std::string_view t) { return t.size() == 5; });
            if (auto format = dateFormatOf(values.tokens)) {
                assignDate(c, *format, Confidence::High, "name and date values");
            } else if (fiveDigits && wholeNumbersIn(values, 1001, 99366)) {
                c.variable = "YYDOY";
                c.confidence = Confidence::High;
                c.reason = "name and values: year of two digits and day of year";
            } else if (wholeNumbersIn(values, 1, 31) || wholeNumbersIn(values, 1, 366)) {
                return false; // a "day"-like column under another name
            } else {
                c.reason = "dates in a form this version does not read";
            }
            return true;
        }
        if (variable == "YYDOY") {
            if (dateFormatOf(values.tokens) == std::optional<std::string>("YYYYDDD") ||
                wholeNumbersIn(values, 1001, 99366)) {
                c.variable = "YYDOY";
                c.confidence = Confidence::High;
                c.reason = "name and values";
            } else {
                c.reason = "values are no year and day of year";
            }
            return true;
        }
        if (variable != "Year" && variable != "Month" && variable != "Day" && variable != "DOY")
            return false;
        if (variable == "Year" && wholeNumbersIn(values, 1800, 2200)) {
            c.variable = "Year";
        } else if (variable == "Month" && wholeNumbersIn(values, 1, 12)) {
            c.variable = "Month";
        } else if ((variable == "Day" || variable == "DOY") && wholeNumbersIn(values, 1, 366)) {
            const double top = *std::max_element(values.numbers.begin(), values.numbers.end());
            c.variable = top > 31 || variable == "DOY" ? "DOY" : "Day";
        } else if (auto format = dateFormatOf(values.tokens)) {
            assignDate(c, *format, Confidence::Medium, "date values");
            return true;
        } else {
            c.reason = "values do not fit " + std::string(variable);
            return true;
        }
        c.confidence = Confidence::High;
        c.reason = "name and values";
        return true;
    }

    void assignDate(SuggestedColumn& c, const std::string& format, Confidence confidence,
                    std::string_view why)
    {
        if (variableCode("Date") >= 0 && variableHasUnit(variableCode("Date"), format)) {
            c.variable = "Date";
            c.unit = format;
        } else if (format == "YYYYDDD") {
            c.variable = "YYDOY";
        } else {
            c.reason = "dates written " + format + ", a form this version does not read";
            return;
        }
        c.confidence = confidence;
        c.reason = std::string(why);
    }

    // Unnamed columns: dates whose form is plain, and the parts of a date
    // standing in a row (year, then month and day or day of year).
    bool suggestDateFromValues(SuggestedColumn& c, const FieldValues& values, int f)
    {
        // Dates with separators are no numbers: they are looked at first.
        if (auto format = dateFormatOf(values.tokens)) {
            assignDate(c, *format, Confidence::Medium, "date values");
            return c.variable != "Ignore";
        }
        if (values.text > 0)
            return false;
        const std::string before = f > 0 ? mOut.columns[static_cast<std::size_t>(f - 1)].variable : "";
        if ((before.empty() || before == "Ignore") && wholeNumbersIn(values, 1800, 2200) &&
            std::is_sorted(values.numbers.begin(), values.numbers.end())) {
            c.variable = "Year";
        } else if (before == "Year" && wholeNumbersIn(values, 1, 12) && !countsUp(values)) {
            c.variable = "Month";
        } else if (before == "Month" && wholeNumbersIn(values, 1, 31) && countsUp(values)) {
            c.variable = "Day";
        } else if (before == "Year" && wholeNumbersIn(values, 1, 366) && countsUp(values)) {
            c.variable = "DOY";
        } else {
            return false;
        }
        c.confidence = Confidence::Medium;
        c.reason = "values";
        return true;
    }

    // A value column that holds text on some lines would stop every run
    // there: it stays Ignore, and the note says which lines to edit first.
    void leaveTextColumns()
    {
        for (auto& c : mOut.columns) {
            const auto& v = mValues[static_cast<std::size_t>(c.field - 1)];
            if (c.variable == "Ignore" || v.text == 0 || c.variable == "Date")
                continue;
            if (c.variable == "Precip" && takeTraceWord(c, v))
                continue;
            const std::string was = c.variable;
            ignore(c, "would be " + was + ", but holds text such as " + quoted(v.textSample));
            c.confidence = Confidence::Low;
            mOut.notes.push_back(columnLabel(c) + " would be " + was + " but holds text such as " +
                                 quoted(v.textSample) + " on " + linesText(v.text) + " (first line " +
                                 std::to_string(v.firstTextLine + 1) +
                                 "), which no sign value stands for: edit those lines, then set the column.");
        }
    }

    // A service that writes temperatures in tenths writes its rain in
    // tenths too: whole numbers that fit mm fit 0.1 mm as well.
    void settleTenths()
    {
        const bool tenths = std::any_of(mOut.columns.begin(), mOut.columns.end(), [](const SuggestedColumn& c) {
            return (c.variable == "T-max" || c.variable == "T-min") && c.unit == "0.1 oC";
        });
        if (!tenths)
            return;
        for (auto& c : mOut.columns) {
            const auto& v = mValues[static_cast<std::size_t>(c.field - 1)];
            const bool temperature = c.variable == "T-max" || c.variable == "T-min";
            if (c.variable == "Precip" && c.unit == "mm" && fits(v, "Precip", "0.1 mm")) {
                c.unit = "0.1 mm";
                c.reason += "; in tenths, as the temperatures are";
            } else if (temperature && c.unit != "0.1 oC" && fits(v, c.variable, "0.1 oC")) {
                c.unit = "0.1 oC";
                c.reason += "; in tenths, as the other temperature is";
            }
        }
    }

    // Temperatures that fit degrees C and F alike take the system of the
    // file's other units: rain in mm or solar in MJ/m2 says Celsius, rain
    // in inches or solar in langleys says Fahrenheit.
    void settleDegrees()
    {
        static constexpr std::string_view kMetric[] = {"mm", "cm", "0.1 mm", "MJ/m2/d", "J/cm2", "kWh/m2/d",
                                                       "m/s", "0.1 m/s", "km/hr", "hPa", "kPa", "Pa", "0.1 oC"};
        static constexpr std::string_view kImperial[] = {"inch", "mile/hr", "Langley"};
        bool metric = false, imperial = false;
        for (const auto& c : mOut.columns) {
            metric |= std::find(std::begin(kMetric), std::end(kMetric), c.unit) != std::end(kMetric) ||
                      (c.unit == "oC" && c.confidence == Confidence::High);
            imperial |= std::find(std::begin(kImperial), std::end(kImperial), c.unit) != std::end(kImperial) ||
                        (c.unit == "oF" && c.confidence == Confidence::High);
        }
        if (metric == imperial)
            return;
        const std::string unit = metric ? "oC" : "oF";
        for (auto& c : mOut.columns) {
            const auto it = mUnitsFitting.find(c.field);
            if (c.variable != "Ignore" || c.namedVariable.empty() || it == mUnitsFitting.end() ||
                std::find(it->second.begin(), it->second.end(), unit) == it->second.end() ||
                !std::all_of(it->second.begin(), it->second.end(),
                             [](const std::string& u) { return u == "oC" || u == "oF"; }))
                continue;
            c.variable = c.namedVariable;
            c.unit = unit;
            c.confidence = Confidence::Medium;
            c.reason = "name; degrees " + std::string(metric ? "C, as the file's other units are metric"
                                                              : "F, as the file's other units are not metric");
        }
    }

    // T-max under T-min on more than a few rows: the names or units do not
    // say what the columns hold.
    void checkTemperaturePair()
    {
        SuggestedColumn* high = nullptr;
        SuggestedColumn* low = nullptr;
        for (auto& c : mOut.columns) {
            if (c.variable == "T-max" && !high)
                high = &c;
            if (c.variable == "T-min" && !low)
                low = &c;
        }
        if (!high || !low)
            return;
        const auto celsius = [](double v, std::string_view unit) {
            return unit == "oF" ? (v - 32) / 1.8 : unit == "0.1 oC" ? v / 10 : v;
        };
        std::map<int, double> lows;
        const auto& lv = mValues[static_cast<std::size_t>(low->field - 1)];
        for (std::size_t i = 0; i < lv.numbers.size(); ++i)
            lows[lv.numberLines[i]] = celsius(lv.numbers[i], low->unit);
        const auto& hv = mValues[static_cast<std::size_t>(high->field - 1)];
        int pairs = 0, below = 0;
        for (std::size_t i = 0; i < hv.numbers.size(); ++i) {
            const auto it = lows.find(hv.numberLines[i]);
            if (it == lows.end())
                continue;
            ++pairs;
            below += celsius(hv.numbers[i], high->unit) < it->second;
        }
        if (pairs == 0 || below * 20 <= pairs)
            return;
        const std::string why = "T-max is below T-min on " + std::to_string(below) + " of " +
                                std::to_string(pairs) + " rows";
        for (SuggestedColumn* c : {high, low}) {
            c->confidence = Confidence::Low;
            c->reason = why;
        }
    }

    // Rain whose only text is one word services write for a trace ("Ip",
    // "T", "Trace"): the word is the trace code, read as 0.
    bool takeTraceWord(const SuggestedColumn& c, const FieldValues& v)
    {
        static constexpr std::string_view kTraceWords[] = {"Ip", "IP", "ip", "T", "Tr", "TR", "Trace", "TRACE", "trace"};
        std::string_view word;
        for (std::string_view token : v.tokens) {
            if (numberIn(token, mOut.decimalComma))
                continue;
            if (!word.empty() && token != word)
                return false;
            word = token;
        }
        if (std::find(std::begin(kTraceWords), std::end(kTraceWords), word) == std::end(kTraceWords) ||
            (!mOut.traceCode.empty() && mOut.traceCode != word))
            return false;
        mOut.traceCode = std::string(word);
        mOut.notes.push_back(columnLabel(c) + " holds " + quoted(word) + " on " + linesText(v.text) +
                             ": a trace of rain, read as 0.");
        return true;
    }

    void ignore(SuggestedColumn& c, std::string reason)
    {
        c.variable = "Ignore";
        c.unit.clear();
        c.confidence = Confidence::High;
        c.reason = std::move(reason);
    }

    // One way to read the date: Year, Month and Day; else Year and DOY;
    // else one Date column; else YYDOY.
    void settleDate()
    {
        auto first = [&](std::string_view variable) -> SuggestedColumn* {
            for (auto& c : mOut.columns)
                if (c.variable == variable)
                    return &c;
            return nullptr;
        };
        std::vector<SuggestedColumn*> keep;
        if (first("Year") && first("Month") && first("Day"))
            keep = {first("Year"), first("Month"), first("Day")};
        else if (first("Year") && first("DOY"))
            keep = {first("Year"), first("DOY")};
        else if (first("Date"))
            keep = {first("Date")};
        else if (first("YYDOY"))
            keep = {first("YYDOY")};
        std::string how;
        for (auto* c : keep)
            how += (how.empty() ? "" : ", ") + c->variable;
        for (auto& c : mOut.columns) {
            const bool datePart = c.variable == "Year" || c.variable == "Month" ||
                                  c.variable == "Day" || c.variable == "DOY" ||
                                  c.variable == "Date" || c.variable == "YYDOY";
            if (datePart && std::find(keep.begin(), keep.end(), &c) == keep.end())
                ignore(c, keep.empty() ? c.variable + " alone does not give the date"
                                       : "the date is read from " + how);
        }
        if (keep.empty())
            mOut.notes.push_back("No date columns were found: give the date columns by hand.");
    }

    // A time of day in blank-separated rows keeps an Ignore box of its own:
    // a run with a Date column reads it as one field (an Ignore box right
    // after the date takes it), and without one each part is a number.
    void settleTimes()
    {
        if (mSep != kBlanks || !mOut.fieldEnds.empty())
            return;
        const bool dated = std::any_of(mOut.columns.begin(), mOut.columns.end(),
                                       [](const SuggestedColumn& c) { return c.variable == "Date"; });
        for (std::size_t f = 0; f < mOut.columns.size(); ++f) {
            const auto& v = mValues[f];
            if (v.tokens.empty() || !std::all_of(v.tokens.begin(), v.tokens.end(), isTimeOfDay))
                continue;
            auto& c = mOut.columns[f];
            if (c.variable != "Ignore")
                ignore(c, "a time of day");
            else
                c.reason = "a time of day";
            if (!dated)
                c.runFields = static_cast<int>(std::count(v.tokens.front().begin(), v.tokens.front().end(), ':')) + 1;
        }
    }

    // Humidity comes from one column: RelHum as measured before a dew
    // point or a vapour pressure, which a run would turn into RelHum too.
    void settleHumidity()
    {
        const auto source = [&](std::string_view variable) {
            return std::find_if(mOut.columns.begin(), mOut.columns.end(),
                                [&](const SuggestedColumn& c) { return c.variable == variable; });
        };
        for (std::string_view kept : {"RelHum", "DewPt", "VapPr"}) {
            const auto keep = source(kept);
            if (keep == mOut.columns.end())
                continue;
            for (auto& c : mOut.columns)
                if (&c != &*keep && (c.variable == "RelHum" || c.variable == "DewPt" || c.variable == "VapPr"))
                    ignore(c, "humidity is read from " + columnLabel(*keep));
            return;
        }
    }

    void settleRepeats()
    {
        for (std::size_t i = 0; i < mOut.columns.size(); ++i) {
            auto& c = mOut.columns[i];
            if (c.variable == "Ignore")
                continue;
            for (std::size_t j = i + 1; j < mOut.columns.size(); ++j) {
                auto& later = mOut.columns[j];
                if (later.variable != c.variable)
                    continue;
                if (later.confidence > c.confidence) {
                    ignore(c, c.variable + " is read from " + columnLabel(later));
                    break;
                }
                ignore(later, later.variable + " is read from " + columnLabel(c));
            }
        }
    }

    void choosePicked()
    {
        if (mOut.fieldCount <= kColumnBoxes)
            return;
        for (const auto& c : mOut.columns)
            if (c.variable != "Ignore")
                mOut.picked.push_back(c.field);
        if (static_cast<int>(mOut.picked.size()) > kColumnBoxes) {
            mOut.picked.resize(kColumnBoxes);
            mOut.notes.push_back("More than twelve columns were suggested; the first twelve are kept.");
            for (auto& c : mOut.columns)
                if (c.variable != "Ignore" &&
                    std::find(mOut.picked.begin(), mOut.picked.end(), c.field) == mOut.picked.end())
                    ignore(c, "more than twelve columns");
        }
    }

    // A number with a quality flag glued after it ("90.0*", "0.39G"), which
    // a run reads as the number.
    std::optional<double> numberBeforeFlag(std::string_view token) const
    {
        std::size_t end = token.size();
        while (end > 0 && token.size() - end < 2 && isFlag(token.substr(end - 1, 1)))
            --end;
        if (end == token.size() || end == 0)
            return std::nullopt;
        return numberIn(token.substr(0, end), mOut.decimalComma);
    }

    void noteMissing()
    {
        std::map<int, int> signs;
        for (const auto& c : mOut.columns) {
            const auto& v = mValues[static_cast<std::size_t>(c.field - 1)];
            if (c.variable == "Ignore")
                continue;
            for (const auto& [sign, count] : v.signCounts)
                signs[sign] += count;
            const std::string label = columnLabel(c);
            if (v.empty > 0)
                mOut.notes.push_back(label + " is empty on " + linesText(v.empty) +
                                     " (first line " + std::to_string(v.firstEmptyLine + 1) +
                                     "): read as missing values.");
        }
        const auto most = std::max_element(signs.begin(), signs.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        });
        if (most != signs.end())
            mOut.missingSign = most->first;
        // Words for a missing value in the columns read: each becomes one of
        // the missing texts.
        for (const auto& c : mOut.columns) {
            if (c.variable == "Ignore")
                continue;
            for (const auto& [word, count] : mValues[static_cast<std::size_t>(c.field - 1)].missingWords) {
                if (std::find(mOut.missingTexts.begin(), mOut.missingTexts.end(), word) == mOut.missingTexts.end())
                    mOut.missingTexts.emplace_back(word);
                mOut.notes.push_back(columnLabel(c) + " holds " + quoted(word) + " on " + linesText(count) +
                                     ": read as a missing value.");
            }
        }
    }

    // Rain in tenths whose only negative value is -1: the trace code of
    // the services that write tenths (under 0.05 mm), not a negative amount.
    void noteTrace()
    {
        for (const auto& c : mOut.columns) {
            if (c.variable != "Precip" || c.unit != "0.1 mm")
                continue;
            const auto& v = mValues[static_cast<std::size_t>(c.field - 1)];
            int traces = 0;
            bool otherNegative = false;
            for (const double x : v.numbers) {
                if (x == -1.0)
                    ++traces;
                else if (x < 0)
                    otherNegative = true;
            }
            if (traces == 0 || otherNegative)
                continue;
            mOut.traceCode = "-1";
            mOut.notes.push_back(columnLabel(c) + " holds -1 on " + linesText(traces) +
                                 ": a trace of rain (under 0.05 mm), read as 0.");
            return;
        }
    }

    const SuggestionTables& mTables;
    std::vector<std::string_view> mLines;
    LayoutSuggestion mOut;
    char mSep = kBlanks;
    std::size_t mFirst = 0, mLast = 0;
    std::vector<std::string_view> mNames, mUnitsRow;
    std::optional<std::size_t> mNamesLine;
    std::string mHeaderLower;
    std::vector<FieldValues> mValues;
    std::map<int, std::vector<std::string>> mUnitsFitting; // field -> units its values fit alike
};

std::string rangesText(const std::vector<int>& fields)
{
    std::string text;
    for (std::size_t i = 0; i < fields.size();) {
        std::size_t j = i;
        while (j + 1 < fields.size() && fields[j + 1] == fields[j] + 1)
            ++j;
        if (!text.empty())
            text += ',';
        text += std::to_string(fields[i]);
        if (j > i)
            text += "-" + std::to_string(fields[j]);
        i = j + 1;
    }
    return text;
}

} // namespace

std::string_view confidenceName(Confidence confidence)
{
    switch (confidence) {
    case Confidence::High: return "sure";
    case Confidence::Medium: return "likely";
    case Confidence::Low: break;
    }
    return "unsure";
}

std::vector<const SuggestedColumn*> LayoutSuggestion::boxColumns(bool picking) const
{
    std::vector<const SuggestedColumn*> boxes;
    if (picking && !picked.empty()) {
        for (int field : picked)
            boxes.push_back(&columns[static_cast<std::size_t>(field - 1)]);
        return boxes;
    }
    // The parts of a time the run reads as numbers of their own.
    static const SuggestedColumn kTimePart{0, "", "Ignore", "", Confidence::High, "a part of a time of day", {}, {}, 1};
    for (const auto& c : columns) {
        for (int part = 0; part < c.runFields && static_cast<int>(boxes.size()) < kColumnBoxes; ++part)
            boxes.push_back(part == 0 ? &c : &kTimePart);
    }
    while (!boxes.empty() && boxes.back()->variable == "Ignore")
        boxes.pop_back();
    return boxes;
}

std::vector<const SuggestedColumn*> LayoutSuggestion::outOfReach() const
{
    std::vector<const SuggestedColumn*> beyond;
    for (const auto& c : columns)
        if (c.field > kColumnBoxes && c.variable != "Ignore")
            beyond.push_back(&c);
    return beyond;
}

bool LayoutSuggestion::anyAssigned() const
{
    return std::any_of(columns.begin(), columns.end(),
                       [](const SuggestedColumn& c) { return c.variable != "Ignore"; });
}

LayoutSuggestion suggestLayout(std::string_view text, const SuggestionTables& tables, int maxLines)
{
    const std::optional<KnownFormat> known = recogniseFormat(text);
    if (!known)
        return Suggester(text, tables, maxLines).run();
    LayoutSuggestion s = known->layout ? *known->layout : Suggester(text, tables, maxLines).run();
    s.format = known->name + ": " + known->how;
    s.site = known->site;
    s.readAsDays = known->readAsDays;
    if (known->missingSign)
        s.missingSign = known->missingSign;
    for (const auto& code : known->missingTexts)
        if (std::find(s.missingTexts.begin(), s.missingTexts.end(), code) == s.missingTexts.end())
            s.missingTexts.push_back(code);
    return s;
}

namespace {

std::string columnsOf(const LayoutSuggestion& s, bool picking)
{
    std::string columns;
    for (const SuggestedColumn* c : s.boxColumns(picking)) {
        if (!columns.empty())
            columns += ',';
        columns += c->variable;
        if (!c->unit.empty())
            columns += ":" + c->unit;
    }
    return columns;
}

} // namespace

namespace {

bool validUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

// As the input panel reads a file: UTF-8 as it is, anything else as Latin-1,
// so that a header's names and units read the same in both.
std::string asUtf8(std::string text)
{
    if (validUtf8(text))
        return text;
    std::string converted;
    converted.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            converted += ch;
        } else {
            converted += static_cast<char>(0xC0 | (c >> 6));
            converted += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return converted;
}

} // namespace

std::string firstLinesOfFile(const std::filesystem::path& path)
{
    constexpr std::size_t kHead = std::size_t{256} << 10;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Cannot open file \"" + path.string() + "\"");
    std::string head(kHead, '\0');
    in.read(head.data(), static_cast<std::streamsize>(kHead));
    head.resize(static_cast<std::size_t>(in.gcount()));
    // A cut line would look like a short data row.
    if (head.size() == kHead)
        head.resize(head.rfind('\n') == std::string::npos ? 0 : head.rfind('\n') + 1);
    return asUtf8(std::move(head));
}

LayoutSuggestion suggestLayoutOfFile(const std::filesystem::path& path, const SuggestionTables& tables)
{
    return suggestLayout(firstLinesOfFile(path), tables);
}

DataLayout suggestedLayout(const LayoutSuggestion& s, bool picking)
{
    DataLayout layout;
    layout.rowsBefore = s.rowsBefore;
    layout.fields = fieldSeparatorFromName(s.fields);
    layout.fieldEnds = s.fieldEnds;
    layout.decimalComma = s.decimalComma;
    layout.traceCode = s.traceCode;
    layout.missingTexts = s.missingTexts;
    int column = 0;
    for (const SuggestedColumn* c : s.boxColumns(picking)) {
        ++column;
        const int code = variableCode(c->variable);
        if (code < 0)
            throw LayoutTextError("the variable " + c->variable + " is not one of this version", "");
        const int unit = c->unit.empty() ? variableInfo(code).fixedUnit : unitIndex(code, c->unit);
        if (!c->unit.empty() && unit < 0)
            throw LayoutTextError("the unit " + c->unit + " is not one of " + c->variable, "");
        layout.setColumn(column, code, unit);
    }
    return layout;
}

std::string suggestionOptions(const LayoutSuggestion& s)
{
    std::string options = "--rows " + std::to_string(s.rowsBefore);
    if (s.fields != "blanks")
        options += " --fields " + s.fields;
    if (!s.fieldEnds.empty()) {
        std::string widths;
        for (int end : s.fieldEnds)
            widths += (widths.empty() ? "" : ",") + std::to_string(end);
        options += " --widths " + widths;
    }
    if (s.decimalComma)
        options += " --decimal-comma";
    if (!s.picked.empty())
        options += " --pick " + rangesText(s.picked);
    options += " --columns \"" + columnsOf(s, true) + "\"";
    if (s.missingSign)
        options += " --sign " + std::to_string(*s.missingSign);
    if (!s.traceCode.empty())
        options += " --trace " + s.traceCode;
    if (!s.missingTexts.empty())
        options += " --missing \"" + missingTextsText(s.missingTexts) + "\"";
    return options;
}

std::vector<std::string> suggestionReasons(const LayoutSuggestion& s)
{
    std::vector<std::string> lines;
    if (!s.found) {
        lines.push_back("No rows of data were found: the file has no lines that share one pattern of numbers.");
        return lines;
    }
    if (!s.format.empty())
        lines.push_back(s.format);
    if (s.site.any())
        lines.push_back("site from the header: " + (s.site.complete() ? siteOptionText(s.site) : siteDescription(s.site)));
    lines.push_back("rows: " + linesText(s.rowsBefore) + " above the first data row (" +
                    std::string(confidenceName(s.rowsConfidence)) + ")");
    lines.push_back("fields: " + s.fields + (s.decimalComma ? ", decimal comma" : "") + ", " +
                    std::to_string(s.fieldCount) + " in a data row");
    for (const auto& c : s.columns) {
        std::string line = columnLabel(c) + ": " + c.variable;
        if (!c.unit.empty())
            line += " in " + c.unit;
        line += " (" + std::string(confidenceName(c.confidence)) + "; " + c.reason + ")";
        lines.push_back(line);
    }
    if (s.missingSign)
        lines.push_back("missing values: the data use " + std::to_string(*s.missingSign));
    lines.insert(lines.end(), s.notes.begin(), s.notes.end());
    return lines;
}

} // namespace pluvora
